// Triangles: vertices snapped to 1/16 pixel, exact integer edge functions, pixel centres at
// half-pixel positions and the top-left rule (a centre exactly on an edge belongs to the
// triangle when the edge is a left edge or a horizontal top edge), so triangles sharing an edge
// cover each pixel once. Attributes are planes over the triangle; oow, sow and tow are linear in
// screen space and give perspective-correct texture coordinates and W.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/glide/primitives.h"

namespace platform::glide {
namespace {

struct Edge {
  // E(px, py) = dx (py - ay) - dy (px - ax) in 1/16 pixel units; inside is E >= threshold.
  std::int64_t ax;
  std::int64_t ay;
  std::int64_t dx;
  std::int64_t dy;
  std::int64_t threshold;
};

Edge MakeEdge(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by) {
  Edge edge{ax, ay, bx - ax, by - ay, 1};
  const bool left = edge.dy < 0;
  const bool top = edge.dy == 0 && edge.dx > 0;
  edge.threshold = left || top ? 0 : 1;
  return edge;
}

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {
  const std::int64_t q = n / d;
  return (n % d != 0 && ((n < 0) != (d < 0))) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t n, std::int64_t d) { return -FloorDiv(-n, d); }

// One edge's bound on the pixels of each row, walked row by row with exact integer steps. On
// row centre py (1/16 units), E(px) = c + a px with a = -dy and px = 16 x + 8, so the pixels
// inside, a (16 x + 8) + c >= t, are those with 16 a x >= t - c - 8 a. With n = c + 8 a - t and
// d = 16 |a|, that is x >= -floor(n / d) for a > 0 and x <= floor(n / d) for a < 0; n grows by
// 16 dx a row, so floor(n / d) is kept as a quotient and remainder.
struct EdgeWalk {
  // 1: bounds the first column; -1: bounds the last; 0: horizontal, inside on rows where
  // `quotient` (then c itself) is at least `threshold`.
  int side;
  std::int64_t threshold;
  std::int64_t quotient;
  std::int64_t remainder;
  std::int64_t divisor;
  std::int64_t quotientStep;
  std::int64_t remainderStep;
};

EdgeWalk StartWalk(const Edge& e, std::int64_t py) {
  const std::int64_t a = -e.dy;
  const std::int64_t c = e.dx * (py - e.ay) + e.dy * e.ax;
  if (a == 0) {
    return EdgeWalk{0, e.threshold, c, 0, 1, 16 * e.dx, 0};
  }
  const std::int64_t n = c + 8 * a - e.threshold;
  const std::int64_t d = 16 * (a > 0 ? a : -a);
  const std::int64_t q = FloorDiv(n, d);
  const std::int64_t dq = FloorDiv(16 * e.dx, d);
  return EdgeWalk{a > 0 ? 1 : -1, e.threshold, q, n - q * d, d, dq, 16 * e.dx - dq * d};
}

// Narrows [first, last] on the walk's row to the pixels inside the edge.
void ClipRowToEdge(const EdgeWalk& w, std::int64_t& first, std::int64_t& last) {
  if (w.side > 0) {
    first = std::max(first, -w.quotient);
  } else if (w.side < 0) {
    last = std::min(last, w.quotient);
  } else if (w.quotient < w.threshold) {
    first = 1;
    last = 0;
  }
}

void StepWalk(EdgeWalk& w) {
  w.quotient += w.quotientStep;
  w.remainder += w.remainderStep;
  if (w.remainder >= w.divisor) {
    w.remainder -= w.divisor;
    ++w.quotient;
  }
}

bool Usable(const GrVertex& v) {
  return std::fabs(v.x) <= kGuardBand && std::fabs(v.y) <= kGuardBand;
}

std::int64_t Snap(float coordinate) { return std::llround(coordinate * 16.0f); }

struct Plane {
  float atOrigin;
  float x;
  float y;
};

}  // namespace

void DrawTriangle(const DrawSetup& setup, const GrVertex& a, const GrVertex& b, const GrVertex& c) {
  if (!Usable(a) || !Usable(b) || !Usable(c)) {
    return;
  }
  const GrVertex* v[3] = {&a, &b, &c};
  std::int64_t x[3] = {Snap(a.x), Snap(b.x), Snap(c.x)};
  std::int64_t y[3] = {Snap(a.y), Snap(b.y), Snap(c.y)};
  std::int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
  if (area == 0) {
    return;
  }
  if (area < 0) {
    std::swap(v[1], v[2]);
    std::swap(x[1], x[2]);
    std::swap(y[1], y[2]);
    area = -area;
  }
  const Edge edges[3] = {MakeEdge(x[0], y[0], x[1], y[1]), MakeEdge(x[1], y[1], x[2], y[2]),
                         MakeEdge(x[2], y[2], x[0], y[0])};

  // Rows whose centres lie within the triangle's height, inside the clip window.
  const std::int64_t minY = std::min({y[0], y[1], y[2]});
  const std::int64_t maxY = std::max({y[0], y[1], y[2]});
  const std::int64_t minX = std::min({x[0], x[1], x[2]});
  const std::int64_t maxX = std::max({x[0], x[1], x[2]});
  const std::int64_t firstRow = std::max<std::int64_t>(CeilDiv(minY - 8, 16), setup.clipTop);
  const std::int64_t lastRow = std::min<std::int64_t>(FloorDiv(maxY - 8, 16), setup.clipBottom - 1);
  const std::int64_t firstColumn = std::max<std::int64_t>(CeilDiv(minX - 8, 16), setup.clipLeft);
  const std::int64_t lastColumn =
      std::min<std::int64_t>(FloorDiv(maxX - 8, 16), setup.clipRight - 1);
  if (firstRow > lastRow || firstColumn > lastColumn) {
    return;
  }

  // Attribute planes in pixel units, relative to the first vertex.
  const double x0 = static_cast<double>(x[0]) / 16.0;
  const double y0 = static_cast<double>(y[0]) / 16.0;
  const double ex1 = static_cast<double>(x[1] - x[0]) / 16.0;
  const double ey1 = static_cast<double>(y[1] - y[0]) / 16.0;
  const double ex2 = static_cast<double>(x[2] - x[0]) / 16.0;
  const double ey2 = static_cast<double>(y[2] - y[0]) / 16.0;
  const double inverseArea = 256.0 / static_cast<double>(area);
  auto plane = [&](float a0, float a1, float a2) {
    const double d1 = static_cast<double>(a1) - a0;
    const double d2 = static_cast<double>(a2) - a0;
    return Plane{a0, static_cast<float>((d1 * ey2 - d2 * ey1) * inverseArea),
                 static_cast<float>((d2 * ex1 - d1 * ex2) * inverseArea)};
  };
  const Plane pr = plane(v[0]->r, v[1]->r, v[2]->r);
  const Plane pg = plane(v[0]->g, v[1]->g, v[2]->g);
  const Plane pb = plane(v[0]->b, v[1]->b, v[2]->b);
  const Plane pa = plane(v[0]->a, v[1]->a, v[2]->a);
  const Plane pw = plane(v[0]->oow, v[1]->oow, v[2]->oow);
  const Plane ps = plane(v[0]->tmuvtx[0].sow, v[1]->tmuvtx[0].sow, v[2]->tmuvtx[0].sow);
  const Plane pt = plane(v[0]->tmuvtx[0].tow, v[1]->tmuvtx[0].tow, v[2]->tmuvtx[0].tow);
  const Gradients gradients{ps.x, pt.x, pw.x, ps.y, pt.y, pw.y};
  const Fragment step{pr.x, pg.x, pb.x, pa.x, pw.x, ps.x, pt.x};

  // Rows are drawn a few at a time, so that the short rows of small triangles share their
  // groups' stages.
  constexpr int kRowsTogether = 4;
  Span rows[kRowsTogether];
  int held = 0;
  EdgeWalk walks[3] = {StartWalk(edges[0], 16 * firstRow + 8),
                       StartWalk(edges[1], 16 * firstRow + 8),
                       StartWalk(edges[2], 16 * firstRow + 8)};
  for (std::int64_t row = firstRow; row <= lastRow; ++row) {
    std::int64_t first = firstColumn;
    std::int64_t last = lastColumn;
    for (EdgeWalk& walk : walks) {
      ClipRowToEdge(walk, first, last);
      StepWalk(walk);
    }
    if (first > last) {
      continue;
    }
    const float fx = static_cast<float>(static_cast<double>(first) + 0.5 - x0);
    const float fy = static_cast<float>(static_cast<double>(row) + 0.5 - y0);
    auto at = [&](const Plane& p) { return p.atOrigin + fx * p.x + fy * p.y; };
    const Fragment start{at(pr), at(pg), at(pb), at(pa), at(pw), at(ps), at(pt)};
    const std::size_t index =
        static_cast<std::size_t>(row) * kScreenWidth + static_cast<std::size_t>(first);
    // The rows two below are fetched while this one draws: the rows' cache lines lie far apart
    // and the buffers do not stay in cache between passes over the screen.
    if (row + 2 <= lastRow) {
      const std::size_t ahead = index + 2 * kScreenWidth;
      const std::size_t aheadLast = ahead + static_cast<std::size_t>(last - first);
      __builtin_prefetch(setup.colour + ahead, 1);
      __builtin_prefetch(setup.colour + aheadLast, 1);
      __builtin_prefetch(setup.depth + ahead, 1);
      __builtin_prefetch(setup.depth + aheadLast, 1);
    }
    rows[held++] = Span{index, static_cast<int>(last - first + 1), start};
    if (held == kRowsTogether) {
      RenderSpans(setup, rows, held, step, &gradients);
      held = 0;
    }
  }
  if (held > 0) {
    RenderSpans(setup, rows, held, step, &gradients);
  }
}

}  // namespace platform::glide
