// Linear frame-buffer access. Write locks hand out a window in the lock's write mode (RGB555 or
// ARGB1555, rows from the top) and, at unlock, pass the pixels that were written through the
// pixel pipeline: clip window, chroma key (the pixel widened to 8 bits a channel as the board
// widens, (v << 3) | (v >> 2)), alpha blend with the 1555 alpha bit as 0 or 255; never depth or
// fog. Read locks hand out a copy of a buffer; an "any origin" lock gives rows from the bottom
// (row 0 is the lowest screen row), as the lens flare's depth read expects.
#include <algorithm>
#include <cstring>
#include <optional>

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
// buffer itself, kept to compare against. A window of the same uniform content as the last lock's
// is ready as it is: unlock put the content back where it was written.
void FillWriteWindow(Board& board, LfbLock& lock) {
  const GrState& state = board.state;
  const bool blending = state.blendSrc == GR_BLEND_SRC_ALPHA &&
                        state.blendDst == GR_BLEND_ONE_MINUS_SRC_ALPHA &&
                        state.alphaCombine == static_cast<int>(ColourSource::kOther);
  const std::uint32_t key = state.chromakeyValue & 0xFFFFFF;
  const auto key555 = static_cast<std::uint16_t>(arena::Pack555(key));
  lock.before.clear();
  std::optional<std::uint16_t> fill;
  if (lock.writeMode == GR_LFBWRITEMODE_1555 && blending) {
    fill = 0x0000;
  } else if (lock.writeMode == GR_LFBWRITEMODE_555 && state.chromakey &&
             arena::Widen555(key555) == key) {
    fill = key555;
  }
  if (fill.has_value()) {
    if (!lock.windowFilled || lock.fill != *fill) {
      lock.fill = *fill;
      lock.window.assign(kScreenPixels, lock.fill);
      lock.fillRow.assign(kScreenWidth, lock.fill);
      lock.windowFilled = true;
    }
    return;
  }
  lock.windowFilled = false;
  lock.window.resize(kScreenPixels);
  const std::uint16_t alphaBit = lock.writeMode == GR_LFBWRITEMODE_1555 ? 0x8000 : 0;
  const std::uint16_t* back = board.Back();
  for (std::size_t i = 0; i < kScreenPixels; ++i) {
    lock.window[i] = To555(back[i]) | alphaBit;
  }
  lock.before = lock.window;
}

// What unlock does with the written pixels: chroma key, the 1555 alpha bit, blend; never depth or
// fog.
class WrittenPixelPass {
 public:
  WrittenPixelPass(Board& board, const LfbLock& lock) : lock_(lock) {
    PrepareDraw(board, setup_);
    const GrState& state = board.state;
    alphaFromPixel_ = state.alphaCombine == static_cast<int>(ColourSource::kOther);
    keyed_ = state.chromakey;
    key_ = state.chromakeyValue & 0xFFFFFF;
    // A keyed RGB555 window filled with the key, replacing the frame's pixels: how the game
    // writes its panels. The pixels equal to the key are then exactly those unwritten or keyed.
    keyedCopy_ = lock.windowFilled && lock.writeMode == GR_LFBWRITEMODE_555 && keyed_ &&
                 arena::Widen555(lock.fill) == key_ && setup_.blendReplace;
  }

  const DrawSetup& Setup() const { return setup_; }

  // Passes on the pixels [first, last) of a window row that differ from what it held at the lock.
  void PassRun(int row, int first, int last) const {
    if (!setup_.colourWrite) {
      return;
    }
    const std::size_t rowStart = static_cast<std::size_t>(row) * kScreenWidth;
    const std::uint16_t* written = lock_.window.data() + rowStart;
    std::uint16_t* frame = setup_.colour + rowStart;
    if (keyedCopy_) {
      // Without branches, so that the loop runs several pixels a step.
      const std::uint16_t key = lock_.fill;
      for (int x = first; x < last; ++x) {
        const std::uint16_t pixel = written[x];
        const auto converted = static_cast<std::uint16_t>(arena::Pack565(arena::Widen555(pixel)));
        frame[x] = (pixel & 0x7FFF) == key ? frame[x] : converted;
      }
      return;
    }
    for (int x = first; x < last; ++x) {
      const std::uint16_t pixel = written[x];
      const std::uint16_t unwritten = lock_.windowFilled ? lock_.fill : lock_.before[rowStart + x];
      if (pixel == unwritten) {
        continue;
      }
      const std::uint32_t colour = arena::Widen555(pixel);
      if (keyed_ && colour == key_) {
        continue;
      }
      int alpha = 255;
      if (alphaFromPixel_ && lock_.writeMode == GR_LFBWRITEMODE_1555) {
        alpha = (pixel & 0x8000) != 0 ? 255 : 0;
      }
      frame[x] = static_cast<std::uint16_t>(arena::Pack565(
          setup_.blendReplace ? colour : Blend(setup_, colour, alpha, arena::Widen565(frame[x]))));
    }
  }

 private:
  const LfbLock& lock_;
  DrawSetup setup_;
  bool alphaFromPixel_;
  bool keyed_;
  std::uint32_t key_;
  bool keyedCopy_;
};

// The pixels [first, last) of a window row from the first to the last one that is not the fill;
// first == last for a row of fill only. Whole blocks are compared first, so that the cost follows
// the pixels written.
struct WrittenRun {
  int first;
  int last;
};

WrittenRun FindWrittenRun(const std::uint16_t* row, const std::uint16_t* fillRow) {
  constexpr int kBlock = 32;
  static_assert(kScreenWidth % kBlock == 0);
  if (std::memcmp(row, fillRow, kStride) == 0) {
    return {0, 0};
  }
  int first = 0;
  while (std::memcmp(row + first, fillRow, kBlock * 2) == 0) {
    first += kBlock;
  }
  int last = kScreenWidth;
  while (std::memcmp(row + last - kBlock, fillRow, kBlock * 2) == 0) {
    last -= kBlock;
  }
  while (row[first] == fillRow[0]) {
    ++first;
  }
  while (row[last - 1] == fillRow[0]) {
    --last;
  }
  return {first, last};
}

// Passes on the pixels that differ from what the window held at the lock. A uniform window is
// compared row by row against the fill, only the written run of each row is passed on and
// filled again; a window that held the back buffer is compared over the clip window.
void PassWrittenPixels(Board& board, LfbLock& lock) {
  const WrittenPixelPass pass(board, lock);
  const DrawSetup& setup = pass.Setup();
  if (!lock.windowFilled) {
    for (int row = setup.clipTop; row < setup.clipBottom; ++row) {
      pass.PassRun(row, setup.clipLeft, setup.clipRight);
    }
    return;
  }
  for (int row = 0; row < kScreenHeight; ++row) {
    std::uint16_t* line = lock.window.data() + static_cast<std::size_t>(row) * kScreenWidth;
    const WrittenRun run = FindWrittenRun(line, lock.fillRow.data());
    if (run.first == run.last) {
      continue;
    }
    if (row >= setup.clipTop && row < setup.clipBottom) {
      pass.PassRun(row, std::max(run.first, setup.clipLeft), std::min(run.last, setup.clipRight));
    }
    std::memcpy(line + run.first, lock.fillRow.data() + run.first,
                static_cast<std::size_t>(run.last - run.first) * 2);
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
    lock.copy.resize(kScreenPixels);
    for (int row = 0; row < kScreenHeight; ++row) {
      const int from = origin == GR_ORIGIN_ANY ? kScreenHeight - 1 - row : row;
      std::memcpy(lock.copy.data() + static_cast<std::size_t>(row) * kScreenWidth,
                  source + static_cast<std::size_t>(from) * kScreenWidth, kStride);
    }
    lock.writeMode = writeMode;
  }
  lock.held = true;
  lock.type = type;
  lock.buffer = buffer;
  info->lfbPtr = type == GR_LFB_WRITE_ONLY ? lock.window.data() : lock.copy.data();
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
