// Recording of board calls (see board_control.h).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "platform/glide/glide_types.h"

namespace platform::glide {

bool Recording();
void Record(const char* name, std::initializer_list<double> args,
            std::span<const GrVertex> vertices = {}, std::span<const std::uint32_t> table = {});

}  // namespace platform::glide
