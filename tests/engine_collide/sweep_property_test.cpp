// The swept tests against a brute-force walk: for random spheres and motions against random
// planes, edges, XY edges and convex polygons, the first touch that the swept test reports lies
// where the static test, stepped along the motion, first finds an overlap.
//
// Stated tolerance: with h = distance / 4000 and a radius margin m = 2/1024, the swept touch time
// t must satisfy s+ - h - 1e-3 <= t <= s- + 1e-3, where s+ is the first step at which a sphere of
// radius r + m overlaps and s- the first step at which one of radius r - m does; without a swept
// touch no step before the end may overlap with radius r - m. Motions whose start overlaps with
// radius r + m are not compared (a sphere already in contact is another case).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "engine/collide/point_in_polygon.h"
#include "engine/collide/sphere_overlap.h"
#include "engine/collide/sweep_edge.h"
#include "engine/collide/sweep_edge_polygon.h"
#include "engine/collide/sweep_plane.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/test_options.h"
#include "engine/r3x.h"
#include "test_shapes.h"

namespace {

constexpr int kCases = 500;
constexpr int kSteps = 4000;
constexpr float kMargin = 2.0f / 1024;
constexpr float kSlack = 1e-3f;
constexpr std::uint32_t kOptions = R3X_TEST_TOUCH | R3X_SWEEP_EXACT | R3X_TEST_BOX;

using Overlap = std::function<bool(const float* centre, float radius)>;
// A new random obstacle: its static test, a point near it to aim at, and whether it is tested in
// x and y only (the XY kinds take the direction's x and y as they are, so their times are
// distances along the motion only for motions in x and y).
struct Obstacle {
  Overlap overlaps;
  Vec3 near;
  bool flat;
};
using Sweep = std::function<std::optional<float>(const R3xSweepSegment& segment)>;

class Random {
 public:
  explicit Random(unsigned seed) : generator_(seed) {}
  float uniform(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(generator_);
  }
  Vec3 point(float extent) {
    return {uniform(-extent, extent), uniform(-extent, extent), uniform(-extent, extent)};
  }
  Vec3 unit() {
    for (;;) {
      const Vec3 v = point(1);
      const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
      if (length > 0.1f && length <= 1.0f) {
        return {v.x / length, v.y / length, v.z / length};
      }
    }
  }
  // A motion from a random start roughly towards the target; a flat one keeps its z.
  R3xSweepSegment segment(Vec3 target, bool flat) {
    const Vec3 start = point(6);
    const Vec3 aim = point(2.5f);
    Vec3 direction{target.x + aim.x - start.x, target.y + aim.y - start.y,
                   flat ? 0.0f : target.z + aim.z - start.z};
    const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y +
                                   direction.z * direction.z);
    direction = {direction.x / length, direction.y / length, direction.z / length};
    const float distance = uniform(1, 12);
    const Vec3 end{start.x + direction.x * distance, start.y + direction.y * distance,
                   start.z + direction.z * distance};
    return makeSegment(start, end, uniform(0.25f, 2));
  }

 private:
  std::mt19937 generator_;
};

struct Walk {
  std::optional<float> outer;
  std::optional<float> inner;
};

Walk walk(const R3xSweepSegment& segment, const Overlap& overlaps) {
  Walk found;
  const float h = segment.distance / kSteps;
  for (int k = 0; k < kSteps && !found.inner; ++k) {
    const float s = h * static_cast<float>(k);
    float centre[3];
    for (int i = 0; i < 3; ++i) {
      centre[i] = segment.start[i] + segment.direction[i] * s;
    }
    if (!found.outer && overlaps(centre, segment.radius + kMargin)) {
      found.outer = s;
    }
    if (overlaps(centre, segment.radius - kMargin)) {
      found.inner = s;
    }
  }
  return found;
}

// Runs the cases of one kind; returns how many were compared and how many touched.
void checkAgainstWalk(Random& random, const std::function<Obstacle()>& makeObstacle,
                      const Sweep& sweep, const char* kind) {
  int compared = 0;
  int touched = 0;
  for (int n = 0; n < kCases; ++n) {
    const Obstacle obstacle = makeObstacle();
    const Overlap& overlaps = obstacle.overlaps;
    const R3xSweepSegment segment = random.segment(obstacle.near, obstacle.flat);
    if (overlaps(segment.start, segment.radius + kMargin)) {
      continue;
    }
    ++compared;
    const Walk found = walk(segment, overlaps);
    const std::optional<float> t = sweep(segment);
    const float h = segment.distance / kSteps;
    if (t) {
      ++touched;
      ASSERT_TRUE(found.outer.has_value()) << kind << " case " << n << ": touch at " << *t;
      EXPECT_GE(*t, *found.outer - h - kSlack) << kind << " case " << n;
      if (found.inner) {
        EXPECT_LE(*t, *found.inner + kSlack) << kind << " case " << n;
      }
    } else {
      EXPECT_FALSE(found.inner.has_value())
          << kind << " case " << n << ": overlap at " << *found.inner;
    }
  }
  // Enough motions of each kind are compared and meet their obstacle to make the check count.
  EXPECT_GT(compared, kCases / 2) << kind;
  EXPECT_GT(touched, kCases / 5) << kind;
}

// The touch time the swept test finds against the record, if any.
template <typename Record>
std::optional<float> sweptTouch(void (*sweep)(const R3xSweepSegment*, const Record*, std::uint32_t,
                                              R3xSweepResult*),
                                const R3xSweepSegment& segment, const Record* record) {
  R3xSweepResult result{};
  sweep(&segment, record, kOptions, &result);
  return result.touch != 0 ? std::optional<float>(result.touchTime) : std::nullopt;
}

// Random edges between points within 4 of the origin; a flat (XY) edge is tested as circles, its
// inner point on z = 0.
template <typename EdgeShape, typename Record>
void checkEdgesAgainstWalk(unsigned seed, bool flat,
                           std::int32_t (*hits)(const float*, float, const Record*),
                           void (*sweep)(const R3xSweepSegment*, const Record*, std::uint32_t,
                                         R3xSweepResult*),
                           const char* name) {
  Random random(seed);
  std::optional<EdgeShape> edge;
  checkAgainstWalk(
      random,
      [&] {
        const Vec3 a = random.point(4);
        const Vec3 b = random.point(4);
        edge.emplace(a, b);
        const float w = random.uniform(0, 1);
        return Obstacle{
            [&](const float* c, float r) { return hits(c, r, &edge->record) != 0; },
            {a.x + (b.x - a.x) * w, a.y + (b.y - a.y) * w, flat ? 0.0f : a.z + (b.z - a.z) * w},
            flat};
      },
      [&](const R3xSweepSegment& segment) { return sweptTouch(sweep, segment, &edge->record); },
      name);
}

TEST(SweepAgainstWalk, Planes) {
  Random random(1);
  R3xPlane plane{};
  checkAgainstWalk(
      random,
      [&] {
        const Vec3 n = random.unit();
        const Vec3 p = random.point(3);
        plane = {R3X_TYPE_PLANE, n.x, n.y, n.z, -(n.x * p.x + n.y * p.y + n.z * p.z)};
        return Obstacle{
            [&](const float* c, float r) { return _r3xSphereHitsPlane(c, r, &plane) != 0; }, p,
            false};
      },
      [&](const R3xSweepSegment& segment) {
        return sweptTouch(_r3xSweepSpherePlane, segment, &plane);
      },
      "plane");
}

TEST(SweepAgainstWalk, Edges) {
  checkEdgesAgainstWalk<Edge>(2, false, _r3xSphereHitsEdge, _r3xSweepSphereEdge, "edge");
}

TEST(SweepAgainstWalk, XYEdges) {
  checkEdgesAgainstWalk<XYEdge>(4, true, _r3xCircleHitsEdge2D, _r3xSweepCircleEdge2D, "XY edge");
}

TEST(SweepAgainstWalk, ConvexPolygons) {
  Random random(3);
  std::optional<Polygon> polygon;
  checkAgainstWalk(
      random,
      [&] {
        // Corners on a circle in a random plane, in angle order.
        const Vec3 n = random.unit();
        const Vec3 centre = random.point(3);
        const Vec3 helper = std::fabs(n.x) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
        Vec3 u{n.y * helper.z - n.z * helper.y, n.z * helper.x - n.x * helper.z,
               n.x * helper.y - n.y * helper.x};
        const float ul = std::sqrt(u.x * u.x + u.y * u.y + u.z * u.z);
        u = {u.x / ul, u.y / ul, u.z / ul};
        const Vec3 v{n.y * u.z - n.z * u.y, n.z * u.x - n.x * u.z, n.x * u.y - n.y * u.x};
        const int k = static_cast<int>(random.uniform(3, 8));
        std::vector<float> angles;
        for (int i = 0; i < k; ++i) {
          angles.push_back(random.uniform(0, 6.2831853f));
        }
        std::sort(angles.begin(), angles.end());
        const float radius = random.uniform(1, 4);
        std::vector<Vec3> corners;
        for (const float a : angles) {
          const float cu = radius * std::cos(a);
          const float cv = radius * std::sin(a);
          corners.push_back({centre.x + u.x * cu + v.x * cv, centre.y + u.y * cu + v.y * cv,
                             centre.z + u.z * cu + v.z * cv});
        }
        const float d = -(n.x * centre.x + n.y * centre.y + n.z * centre.z);
        auto build = [&](bool reversed) {
          polygon.reset();
          auto& p = polygon.emplace(std::initializer_list<Vec3>{}, n, d);
          const int count = static_cast<int>(corners.size());
          for (int i = 0; i < count; ++i) {
            const Vec3& c = corners[reversed ? count - 1 - i : i];
            p.corners[i][0] = c.x;
            p.corners[i][1] = c.y;
            p.corners[i][2] = c.z;
          }
          for (int i = 0; i < count; ++i) {
            float* a = p.corners[i];
            float* b = p.corners[(i + 1) % count];
            const float dx = b[0] - a[0];
            const float dy = b[1] - a[1];
            const float dz = b[2] - a[2];
            p.edges[i] = {R3X_TYPE_XYZ_EDGE, a, b, std::sqrt(dx * dx + dy * dy + dz * dz)};
          }
          p.record.edgeCount = count;
        };
        // The corners must run clockwise seen from the side the normal faces.
        build(false);
        float mid[3] = {0, 0, 0};
        for (const Vec3& c : corners) {
          mid[0] += c.x / static_cast<float>(corners.size());
          mid[1] += c.y / static_cast<float>(corners.size());
          mid[2] += c.z / static_cast<float>(corners.size());
        }
        if (_r3xPointInEdgePolygon(mid, &polygon->record) < 0) {
          build(true);
        }
        return Obstacle{[&](const float* c, float r) {
                          return _r3xSphereHitsEdgePolygon(c, r, &polygon->record) != 0;
                        },
                        centre, false};
      },
      [&](const R3xSweepSegment& segment) {
        return sweptTouch(_r3xSweepSphereEdgePolygon, segment, &polygon->record);
      },
      "polygon");
}

}  // namespace
