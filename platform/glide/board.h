// The software board: two RGB565 colour buffers, one 16-bit W depth buffer, texture memory and
// the pipeline state, one per process (the game draws from its main thread only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/glide/glide_types.h"
#include "platform/glide/texel_cache.h"

namespace platform::glide {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;
inline constexpr std::size_t kScreenPixels = std::size_t{kScreenWidth} * kScreenHeight;
inline constexpr std::size_t kDefaultTextureMemory = 2 * 1024 * 1024;

// The texture selected by grTexSource, resolved to its place in texture memory.
struct TextureLevel {
  std::uint32_t offset;
  int width;
  int height;
};

struct SourceTexture {
  int levelCount = 0;
  // Texels on the larger side of the largest level.
  int largestSide = 0;
  int bytesPerTexel = 1;
  TextureLevel levels[9] = {};
};

// A linear frame-buffer lock in progress.
struct LfbLock {
  bool held = false;
  int type = 0;
  int buffer = 0;
  int writeMode = 0;
  // Write locks: the window the caller writes into and what it held before, so that unlock
  // passes on exactly the pixels that were written.
  std::vector<std::uint16_t> window;
  std::vector<std::uint16_t> before;
  // The window's uniform content when `before` is empty. Unlock puts it back over the pixels
  // that were written, so that the next lock with the same content finds the window ready.
  std::uint16_t fill = 0;
  bool windowFilled = false;
  // One row of `fill`, to compare the window's rows against.
  std::vector<std::uint16_t> fillRow;
  // Read locks: a copy of the buffer read, apart from the write window.
  std::vector<std::uint16_t> copy;
};

// The fog table's entries as mix weights (0..256), kept with the table they were made from:
// the table changes a few times a frame at most, draws are many.
struct FogWeights {
  bool made = false;
  FxU8 table[GR_FOG_TABLE_SIZE] = {};
  std::uint32_t weights[GR_FOG_TABLE_SIZE] = {};
};

struct Board {
  bool open = false;
  std::vector<std::uint16_t> colour[2];
  int front = 0;
  std::vector<std::uint16_t> depth;
  std::vector<std::uint8_t> textureMemory;
  std::uint32_t palette[256] = {};
  GrState state = {};
  SourceTexture source;
  TexelCache texels;
  LfbLock lock;
  FogWeights fogWeights;

  std::uint16_t* Back() { return colour[1 - front].data(); }
  std::uint16_t* Front() { return colour[front].data(); }
};

Board& GetBoard();
// The texture memory size the next grSstWinOpen allocates.
std::size_t& TextureMemorySetting();
// The state of a freshly opened board.
GrState DefaultState();
// Resolves the state's texture source against texture memory (after grTexSource or a restore).
void ResolveSource(Board& board);

}  // namespace platform::glide
