// Linear frame-buffer access. Write locks hand out a window in the lock's write mode (RGB555 or
// ARGB1555, rows from the top) and, at unlock, pass the pixels that were written through the
// pixel pipeline: clip window, chroma key (the pixel widened to 8 bits a channel as the board
// widens, (v << 3) | (v >> 2)), alpha blend with the 1555 alpha bit as 0 or 255; never depth or
// fog. Read locks hand out a copy of a buffer; an "any origin" lock gives rows from the bottom
// (row 0 is the lowest screen row), as the lens flare's depth read expects.
#include <algorithm>
#include <cstring>

#include "platform/glide/board.h"
#include "platform/glide/call_log.h"
#include "platform/glide/glide_calls.h"
#include "platform/glide/pixel_pipeline.h"

namespace platform::glide {
namespace {

constexpr FxU32 kStride = kScreenWidth * 2;

std::uint16_t To555(std::uint16_t pixel565) {
  return static_cast<std::uint16_t>(((pixel565 >> 1) & 0x7FE0) | (pixel565 & 0x1F));
}

// A window content that unlock would pass on without effect, so that only written pixels count:
// a transparent 1555 pixel under alpha blending, the key under chroma keying; otherwise the back
// buffer itself, kept to compare against.
void FillWriteWindow(Board& board, LfbLock& lock) {
  const GrState& state = board.state;
  const bool blending = state.blendSrc == GR_BLEND_SRC_ALPHA &&
                        state.blendDst == GR_BLEND_ONE_MINUS_SRC_ALPHA &&
                        state.alphaCombine == static_cast<int>(ColourSource::kOther);
  const std::uint32_t key = state.chromakeyValue & 0xFFFFFF;
  const std::uint16_t key555 = static_cast<std::uint16_t>(
      ((key >> 9) & 0x7C00) | ((key >> 6) & 0x03E0) | ((key >> 3) & 0x1F));
  lock.before.clear();
  if (lock.writeMode == GR_LFBWRITEMODE_1555 && blending) {
    lock.fill = 0x0000;
    lock.window.assign(kScreenPixels, lock.fill);
  } else if (lock.writeMode == GR_LFBWRITEMODE_555 && state.chromakey && Unpack555(key555) == key) {
    lock.fill = key555;
    lock.window.assign(kScreenPixels, lock.fill);
  } else {
    lock.window.resize(kScreenPixels);
    const std::uint16_t alphaBit = lock.writeMode == GR_LFBWRITEMODE_1555 ? 0x8000 : 0;
    const std::uint16_t* back = board.Back();
    for (std::size_t i = 0; i < kScreenPixels; ++i) {
      lock.window[i] = To555(back[i]) | alphaBit;
    }
    lock.before = lock.window;
  }
}

void PassWrittenPixels(Board& board, const LfbLock& lock) {
  DrawSetup setup;
  PrepareDraw(board, setup);
  const GrState& state = board.state;
  const bool alphaFromPixel = state.alphaCombine == static_cast<int>(ColourSource::kOther);
  const bool keyed = state.chromakey;
  const std::uint32_t key = state.chromakeyValue & 0xFFFFFF;
  for (int row = setup.clipTop; row < setup.clipBottom; ++row) {
    for (int column = setup.clipLeft; column < setup.clipRight; ++column) {
      const std::size_t i = static_cast<std::size_t>(row) * kScreenWidth + column;
      const std::uint16_t written = lock.window[i];
      const std::uint16_t unwritten = lock.before.empty() ? lock.fill : lock.before[i];
      if (written == unwritten) {
        continue;
      }
      const std::uint32_t colour = Unpack555(written);
      if (keyed && colour == key) {
        continue;
      }
      int alpha = 255;
      if (alphaFromPixel && lock.writeMode == GR_LFBWRITEMODE_1555) {
        alpha = (written & 0x8000) != 0 ? 255 : 0;
      }
      if (!setup.colourWrite) {
        continue;
      }
      std::uint16_t* pixel = setup.colour + i;
      *pixel = setup.blendReplace ? Pack565(colour)
                                  : Pack565(Blend(setup, colour, alpha, Unpack565(*pixel)));
    }
  }
}

}  // namespace
}  // namespace platform::glide

using namespace platform::glide;

FxBool grLfbLock(int type, int buffer, int writeMode, int origin, FxBool pixelPipeline,
                 GrLfbInfo* info) {
  Record("grLfbLock",
         {static_cast<double>(type), static_cast<double>(buffer), static_cast<double>(writeMode),
          static_cast<double>(origin), static_cast<double>(pixelPipeline)});
  Board& board = GetBoard();
  if (!board.open || info == nullptr || board.lock.held) {
    return FXFALSE;
  }
  LfbLock& lock = board.lock;
  if (type == GR_LFB_WRITE_ONLY) {
    if (!Known(buffer == GR_BUFFER_BACKBUFFER &&
               (writeMode == GR_LFBWRITEMODE_555 || writeMode == GR_LFBWRITEMODE_1555) &&
               origin == GR_ORIGIN_UPPER_LEFT && pixelPipeline == GR_LFB_PIXELPIPELINE)) {
      return FXFALSE;
    }
    lock.writeMode = writeMode;
    FillWriteWindow(board, lock);
  } else {
    if (!Known(type == GR_LFB_READ_ONLY && buffer >= GR_BUFFER_FRONTBUFFER &&
               buffer <= GR_BUFFER_AUXBUFFER && writeMode == GR_LFBWRITEMODE_ANY &&
               (origin == GR_ORIGIN_UPPER_LEFT || origin == GR_ORIGIN_ANY) &&
               pixelPipeline == GR_LFB_NOPIPELINE)) {
      return FXFALSE;
    }
    const std::uint16_t* source = buffer == GR_BUFFER_AUXBUFFER    ? board.depth.data()
                                  : buffer == GR_BUFFER_BACKBUFFER ? board.Back()
                                                                   : board.Front();
    lock.window.resize(kScreenPixels);
    for (int row = 0; row < kScreenHeight; ++row) {
      const int from = origin == GR_ORIGIN_ANY ? kScreenHeight - 1 - row : row;
      std::memcpy(lock.window.data() + static_cast<std::size_t>(row) * kScreenWidth,
                  source + static_cast<std::size_t>(from) * kScreenWidth, kStride);
    }
    lock.before.clear();
    lock.writeMode = writeMode;
  }
  lock.held = true;
  lock.type = type;
  lock.buffer = buffer;
  info->lfbPtr = lock.window.data();
  info->strideInBytes = kStride;
  info->writeMode = writeMode;
  info->origin = origin == GR_ORIGIN_ANY ? GR_ORIGIN_LOWER_LEFT : GR_ORIGIN_UPPER_LEFT;
  return FXTRUE;
}

FxBool grLfbUnlock(int type, int buffer) {
  Record("grLfbUnlock", {static_cast<double>(type), static_cast<double>(buffer)});
  Board& board = GetBoard();
  LfbLock& lock = board.lock;
  if (!lock.held || lock.type != type || lock.buffer != buffer) {
    return FXFALSE;
  }
  if (type == GR_LFB_WRITE_ONLY) {
    PassWrittenPixels(board, lock);
  }
  lock.held = false;
  return FXTRUE;
}

FxBool grLfbReadRegion(int buffer, FxU32 x, FxU32 y, FxU32 width, FxU32 height, FxU32 strideInBytes,
                       void* destination) {
  Record("grLfbReadRegion", {static_cast<double>(buffer), static_cast<double>(x),
                             static_cast<double>(y), static_cast<double>(width),
                             static_cast<double>(height), static_cast<double>(strideInBytes)});
  Board& board = GetBoard();
  const bool fits = std::uint64_t{x} + width <= kScreenWidth &&
                    std::uint64_t{y} + height <= kScreenHeight && strideInBytes >= 2 * width;
  if (!board.open || destination == nullptr || !fits ||
      !Known(buffer == GR_BUFFER_FRONTBUFFER || buffer == GR_BUFFER_BACKBUFFER)) {
    return FXFALSE;
  }
  const std::uint16_t* source = buffer == GR_BUFFER_FRONTBUFFER ? board.Front() : board.Back();
  auto* out = static_cast<std::uint8_t*>(destination);
  for (FxU32 row = 0; row < height; ++row) {
    std::memcpy(out + std::size_t{row} * strideInBytes,
                source + std::size_t{y + row} * kScreenWidth + x, std::size_t{width} * 2);
  }
  return FXTRUE;
}
