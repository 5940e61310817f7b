// Swapping and showing frames. A swap exchanges the two colour buffers (both keep their
// contents) and hands the new front buffer to the display backend. A swap interval of 1 holds
// the game to 60 frames a second by sleeping on the process clock until the next frame is due;
// a frame that is late by more than one period starts the schedule afresh.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/glide/board.h"
#include "platform/glide/board_control.h"
#include "platform/glide/call_log.h"
#include "platform/glide/glide_calls.h"
#include "platform/kernel/clock.h"

namespace platform::glide {
namespace {

// The pixel storage of the frame shown before the last, filled with the next frame shown: a
// frame's worth of memory is neither allocated nor cleared for every swap.
std::vector<BYTE>& SpareFramePixels() {
  static std::vector<BYTE> pixels;
  return pixels;
}

struct Pacing {
  std::optional<bool> on;
  std::int64_t nextFrame = 0;
  bool started = false;
};

Pacing& GetPacing() {
  static Pacing pacing;
  return pacing;
}

bool PacingOn() {
  Pacing& pacing = GetPacing();
  if (!pacing.on) {
    const char* setting = std::getenv("ARENA_GLIDE_PACING");
    pacing.on = setting == nullptr || std::string_view(setting) != "0";
  }
  return *pacing.on;
}

void WaitForNextFrame() {
  Pacing& pacing = GetPacing();
  ProcessClock& clock = GetProcessClock();
  const std::int64_t frequency = clock.PerformanceFrequency();
  const std::int64_t period = frequency / 60;
  std::int64_t now = clock.PerformanceCounter();
  if (!pacing.started || now - pacing.nextFrame > period) {
    pacing.started = true;
    pacing.nextFrame = now;
  }
  if (now < pacing.nextFrame) {
    const std::int64_t waitMs = ((pacing.nextFrame - now) * 1000 + frequency / 2) / frequency;
    if (waitMs > 0) {
      clock.Sleep(static_cast<DWORD>(waitMs));
    }
  }
  pacing.nextFrame += period;
}

}  // namespace

void SetSwapPacing(bool on) {
  GetPacing().on = on;
  GetPacing().started = false;
}

}  // namespace platform::glide

using namespace platform::glide;

void grBufferSwap(int swapInterval) {
  Record("grBufferSwap", {static_cast<double>(swapInterval)});
  Board& board = GetBoard();
  if (!board.open) {
    return;
  }
  if (swapInterval > 0 && PacingOn()) {
    WaitForNextFrame();
  }
  board.front = 1 - board.front;
  platform::Frame frame;
  frame.width = kScreenWidth;
  frame.height = kScreenHeight;
  frame.bitsPerPixel = 16;
  frame.pixels = std::move(SpareFramePixels());
  const auto* front = reinterpret_cast<const BYTE*>(board.Front());
  frame.pixels.assign(front, front + kScreenPixels * 2);
  SpareFramePixels() = platform::ShowFrame(std::move(frame));
}
