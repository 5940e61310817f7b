// Recording of board calls (see board_control.h).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "platform/glide/glide_types.h"

namespace platform::glide {

bool Recording();
// Records a call while recording is on, and always keeps its name and codes as the call under way.
void Record(const char* name, std::initializer_list<double> args,
            std::span<const GrVertex> vertices = {}, std::span<const std::uint32_t> table = {});

// Says on standard error that the call under way passed a code outside the game's list and is
// ignored: once per call until grGlideShutdown, so that a bad code passed every frame is said once.
void NoteUnknownCode();
void ForgetUnknownCodeNotes();

// Passes through whether the call under way has codes the game uses; any other is a caller's
// fault, noted and ignored.
inline bool Known(bool ok) {
  if (!ok) {
    NoteUnknownCode();
  }
  return ok;
}

}  // namespace platform::glide
