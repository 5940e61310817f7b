// What tests, tools and benchmarks set and read on the software board beyond the board's calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/glide/glide_types.h"

namespace platform::glide {

// Texture memory size in bytes (default 2 MB); takes effect at the next grSstWinOpen. Tests make
// it small to force the texture cache to evict.
void SetTextureMemorySize(std::size_t bytes);
std::span<const std::uint8_t> TextureMemory();

// The builds of the pixel stages, widest first: sixteen lanes for AVX-512, eight for AVX2 and
// eight for the base x86-64 instruction set. The widest build the processor runs draws (rows
// drawn together that are all eight pixels or shorter take the AVX2 build), unless tests cap it
// to check that every build draws the same. The first board opened says on standard error which
// build draws.
enum class StageBuild { kAvx512, kAvx2, kBase };
void CapStageBuild(StageBuild widest);
bool StageBuildRuns(StageBuild build);

// grBufferSwap(1) sleeps to hold 60 frames a second unless pacing is off. The environment
// variable ARENA_GLIDE_PACING=0 turns it off for the whole process.
void SetSwapPacing(bool on);

// The colour buffers (GR_BUFFER_FRONTBUFFER or GR_BUFFER_BACKBUFFER) and the depth buffer,
// 640 x 480 rows from the top; empty before grSstWinOpen.
std::span<const std::uint16_t> ColorBuffer(int buffer);
std::span<const std::uint16_t> DepthBuffer();

// Recording mode: each board call made while recording is kept with its arguments.
struct RecordedCall {
  std::string name;
  std::vector<double> args;
  // The vertices of a draw call.
  std::vector<GrVertex> vertices;
  // Tables passed by pointer (fog table, texture palette, texture info codes).
  std::vector<std::uint32_t> table;
  // "name(arg, arg, ...)" with integral arguments printed as integers.
  std::string Text() const;
};

void StartRecording();
void StopRecording();
const std::vector<RecordedCall>& RecordedCalls();
// The recorded calls as Text(), one per entry.
std::vector<std::string> RecordedCallTexts();

}  // namespace platform::glide
