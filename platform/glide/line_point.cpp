// Lines and points. A point lights the pixel whose square holds it. A line steps one pixel per
// unit along its longer axis from its first end, the pixel at each step being the one whose
// square holds the point on the line; the last end is not drawn, so a closed outline draws each
// corner once, and a line shorter than one step draws nothing. Colour, alpha, oow and texture
// coordinates iterate linearly from end to end; textured lines and points sample the largest
// level.
#include <cmath>

#include "platform/glide/primitives.h"

namespace platform::glide {
namespace {

bool Usable(const GrVertex& v) {
  return std::fabs(v.x) <= kGuardBand && std::fabs(v.y) <= kGuardBand;
}

void Plot(const DrawSetup& setup, double x, double y, const Fragment& f) {
  const double column = std::floor(x);
  const double row = std::floor(y);
  if (column < setup.clipLeft || column >= setup.clipRight || row < setup.clipTop ||
      row >= setup.clipBottom) {
    return;
  }
  const std::size_t index =
      static_cast<std::size_t>(row) * kScreenWidth + static_cast<std::size_t>(column);
  const Span pixel{index, 1, f};
  RenderSpans(setup, &pixel, 1, Fragment{}, nullptr);
}

Fragment FragmentOf(const GrVertex& v) {
  return Fragment{v.r, v.g, v.b, v.a, v.oow, v.tmuvtx[0].sow, v.tmuvtx[0].tow};
}

}  // namespace

void DrawPoint(const DrawSetup& setup, const GrVertex& point) {
  if (Usable(point)) {
    Plot(setup, point.x, point.y, FragmentOf(point));
  }
}

void DrawLine(const DrawSetup& setup, const GrVertex& a, const GrVertex& b) {
  if (!Usable(a) || !Usable(b)) {
    return;
  }
  const float dx = b.x - a.x;
  const float dy = b.y - a.y;
  const int steps = static_cast<int>(std::fmax(std::fabs(dx), std::fabs(dy)));
  if (steps == 0) {
    return;
  }
  const float k = 1.0f / static_cast<float>(steps);
  const Fragment from = FragmentOf(a);
  const Fragment to = FragmentOf(b);
  auto lerp = [](float p, float q, float t) { return p + (q - p) * t; };
  for (int i = 0; i < steps; ++i) {
    // Positions in double precision, so that whole-pixel ends give whole-pixel steps.
    const float t = static_cast<float>(i) * k;
    const Fragment f{lerp(from.r, to.r, t),    lerp(from.g, to.g, t),     lerp(from.b, to.b, t),
                     lerp(from.a, to.a, t),    lerp(from.oow, to.oow, t), lerp(from.sow, to.sow, t),
                     lerp(from.tow, to.tow, t)};
    Plot(setup, a.x + static_cast<double>(dx) * i / steps,
         a.y + static_cast<double>(dy) * i / steps, f);
  }
}

}  // namespace platform::glide
