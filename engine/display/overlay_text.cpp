#include <algorithm>
#include <cstdio>

#include "engine/display/overlay_text_internal.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/text_output.h"

void _r3xWriteOverlayText(HDC dc, const RECT& area, double framesPerSecond, std::int32_t width,
                          std::int32_t height, std::uint32_t polygons, std::uint32_t regions) {
  SetTextColor(dc, RGB(0, 200, 100));
  SetBkMode(dc, TRANSPARENT);
  char line[64];
  const auto write = [&](int y, int length) {
    const int shown = std::clamp(length, 0, static_cast<int>(sizeof line) - 1);
    ExtTextOutA(dc, 0, y, 0, &area, line, static_cast<UINT>(shown), nullptr);
  };
  write(0, std::snprintf(line, sizeof line, "fps: %3.2f  %dx%d", framesPerSecond, width, height));
  if (polygons != 0) {
    write(20, std::snprintf(line, sizeof line, "polys: %lu", static_cast<unsigned long>(polygons)));
  }
  if (regions != 0) {
    write(40, std::snprintf(line, sizeof line, "rgns: %lu", static_cast<unsigned long>(regions)));
  }
}
