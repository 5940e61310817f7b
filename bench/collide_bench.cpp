// Calls per second of each swept obstacle test, over motions aimed near the obstacle so that
// the tests do their full work about half the time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

#include "engine/collide/sphere_list_sweep.h"
#include "engine/collide/sweep_edge.h"
#include "engine/collide/sweep_edge_polygon.h"
#include "engine/collide/sweep_plane.h"
#include "engine/collide/sweep_point.h"
#include "engine/collide/sweep_query.h"
#include "engine/collide/sweep_result.h"
#include "engine/collide/sweep_segment.h"
#include "engine/collide/test_options.h"
#include "engine/core/math_tables_internal.h"
#include "engine/r3x.h"

namespace {

constexpr std::size_t kMotionCount = 1024;
// The mode of every sweep: touch, cross, leave with its time, box; exact vertex times.
constexpr std::uint32_t kMode = 0xF7;

struct Tables {
  Tables() { _r3xInitMathTables(); }
  ~Tables() { _r3xFreeMathTables(); }
};
const Tables kTables;

// Motions of radius 1 from within 8 of the origin towards within 2 of it.
std::vector<R3xSweepSegment> motions() {
  std::mt19937 generator(4105);
  std::uniform_real_distribution<float> far(-8, 8);
  std::uniform_real_distribution<float> near(-2, 2);
  std::uniform_real_distribution<float> length(1, 12);
  std::vector<R3xSweepSegment> segments(kMotionCount);
  for (R3xSweepSegment& s : segments) {
    float target[3];
    float d2 = 0;
    for (int i = 0; i < 3; ++i) {
      s.start[i] = far(generator);
      target[i] = near(generator);
      d2 += (target[i] - s.start[i]) * (target[i] - s.start[i]);
    }
    const float d = std::sqrt(d2);
    s.distance = length(generator);
    s.radius = 1;
    for (int i = 0; i < 3; ++i) {
      s.direction[i] = (target[i] - s.start[i]) / d;
      s.end[i] = s.start[i] + s.direction[i] * s.distance;
    }
  }
  return segments;
}
const std::vector<R3xSweepSegment> kMotions = motions();

template <typename F>
void run(benchmark::State& state, F test) {
  std::size_t i = 0;
  for (auto _ : state) {
    test(kMotions[i]);
    i = (i + 1) % kMotionCount;
  }
  state.counters["calls"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The obstacles, all near the origin: a vertex, an edge with its x and y as an XY edge and line
// (normal (1, -3) / sqrt(10)), a plane, and a regular hexagon of radius 3 at z = 0 facing +z.
struct Obstacles {
  float vertex[3] = {0.5f, -0.25f, 0.25f};
  float edgeStart[3] = {-3, -1, 0.5f};
  float edgeEnd[3] = {3, 1, -0.5f};
  R3xXYZEdge edge{R3X_TYPE_XYZ_EDGE, edgeStart, edgeEnd, 6.4031242f};
  R3xXYLine xyEdge{R3X_TYPE_XY_EDGE, 0.31622776f, -0.9486833f, 0.0f,
                   edgeStart,        edgeEnd,     6.3245553f};
  R3xPlane plane{R3X_TYPE_PLANE, 0.48f, 0.6f, 0.64f, -0.5f};
  float corners[6][3] = {};
  R3xXYZEdge hexagonEdges[6] = {};
  R3xEdgePolygon hexagon{};

  Obstacles() {
    for (int i = 0; i < 6; ++i) {
      const float a = -static_cast<float>(i) * 1.0471976f;
      corners[i][0] = 3 * std::cos(a);
      corners[i][1] = 3 * std::sin(a);
    }
    for (int i = 0; i < 6; ++i) {
      hexagonEdges[i] = {R3X_TYPE_XYZ_EDGE, corners[i], corners[(i + 1) % 6], 3.0f};
    }
    hexagon = {R3X_TYPE_EDGE_POLYGON, 6, hexagonEdges, {0, 0, 1}, 0, 1};
  }
  Obstacles(const Obstacles&) = delete;
  Obstacles& operator=(const Obstacles&) = delete;
};
const Obstacles kObstacles;

void BM_SweepCirclePoint2D(benchmark::State& state) {
  run(state, [](const R3xSweepSegment& s) {
    float t = 0;
    benchmark::DoNotOptimize(_r3xSweepCirclePoint2D(&s, kObstacles.vertex, kMode, &t));
  });
}
void BM_SweepSpherePoint(benchmark::State& state) {
  run(state, [](const R3xSweepSegment& s) {
    float t = 0;
    benchmark::DoNotOptimize(_r3xSweepSpherePoint(&s, kObstacles.vertex, kMode, &t));
  });
}
void BM_SweepTouchesPoint(benchmark::State& state) {
  run(state, [](const R3xSweepSegment& s) {
    benchmark::DoNotOptimize(_r3xSweepTouchesPoint(&s, kObstacles.vertex));
  });
}

template <typename Geometry>
void runRecord(benchmark::State& state, const Geometry* geometry,
               void (*test)(const R3xSweepSegment*, const Geometry*, std::uint32_t,
                            R3xSweepResult*)) {
  run(state, [&](const R3xSweepSegment& s) {
    R3xSweepResult result;
    test(&s, geometry, kMode, &result);
    benchmark::DoNotOptimize(result);
  });
}

void BM_SweepCircleLine2D(benchmark::State& state) {
  runRecord(state, &kObstacles.xyEdge, _r3xSweepCircleLine2D);
}
void BM_SweepSpherePlane(benchmark::State& state) {
  runRecord(state, &kObstacles.plane, _r3xSweepSpherePlane);
}
void BM_SweepCircleEdge2D(benchmark::State& state) {
  runRecord(state, &kObstacles.xyEdge, _r3xSweepCircleEdge2D);
}
void BM_SweepSphereEdge(benchmark::State& state) {
  runRecord(state, &kObstacles.edge, _r3xSweepSphereEdge);
}
void BM_SweepSphereEdgePolygon(benchmark::State& state) {
  runRecord(state, &kObstacles.hexagon, _r3xSweepSphereEdgePolygon);
}

// A list of four members on an actor at each motion's start.
struct ListSweep {
  float centres[12] = {1.5f, 0, 0, -1.5f, 0, 0, 0, 1, 0.5f, 0, -1, 0.5f};
  float radii[4] = {1, 1, 0.75f, 0.75f};
  R3xSphereListDef definition{};
  R3xSphereList list{};
  R3xActor actor{};
  R3xSweepQuery query{};
  ListSweep() {
    definition.radius = 2.5f;
    definition.sphereCount = 4;
    definition.centres = centres;
    definition.radii = radii;
    list.scale = 1;
    list.definition = &definition;
    list.owner = &actor;
    actor.scale = 1;
    actor.placement = {0, 0, 0, 100, 0, 0, 0};
    query.sphereList = &list;
  }
  void moveAlong(const R3xSweepSegment& s) {
    actor.placement.x = s.start[0];
    actor.placement.y = s.start[1];
    actor.placement.z = s.start[2];
    query.segment = s;
    query.segment.radius = definition.radius;
  }
};

template <typename Geometry>
void runList(benchmark::State& state, const Geometry* geometry,
             void (*test)(R3xSweepQuery*, const Geometry*, std::uint32_t, R3xSweepResult*)) {
  ListSweep sweep;
  run(state, [&](const R3xSweepSegment& s) {
    sweep.moveAlong(s);
    R3xSweepResult result;
    test(&sweep.query, geometry, kMode, &result);
    benchmark::DoNotOptimize(result);
  });
}

void BM_SweepSphereListPoint(benchmark::State& state) {
  ListSweep sweep;
  run(state, [&](const R3xSweepSegment& s) {
    sweep.moveAlong(s);
    float t = 0;
    benchmark::DoNotOptimize(_r3xSweepSphereListPoint(&sweep.query, kObstacles.vertex, kMode, &t));
  });
}
void BM_SweepSphereListPlane(benchmark::State& state) {
  runList(state, &kObstacles.plane, _r3xSweepSphereListPlane);
}
void BM_SweepSphereListEdge(benchmark::State& state) {
  runList(state, &kObstacles.edge, _r3xSweepSphereListEdge);
}
void BM_SweepSphereListEdgePolygon(benchmark::State& state) {
  runList(state, &kObstacles.hexagon, _r3xSweepSphereListEdgePolygon);
}

}  // namespace

BENCHMARK(BM_SweepCirclePoint2D);
BENCHMARK(BM_SweepSpherePoint);
BENCHMARK(BM_SweepTouchesPoint);
BENCHMARK(BM_SweepCircleLine2D);
BENCHMARK(BM_SweepSpherePlane);
BENCHMARK(BM_SweepCircleEdge2D);
BENCHMARK(BM_SweepSphereEdge);
BENCHMARK(BM_SweepSphereEdgePolygon);
BENCHMARK(BM_SweepSphereListPoint);
BENCHMARK(BM_SweepSphereListPlane);
BENCHMARK(BM_SweepSphereListEdge);
BENCHMARK(BM_SweepSphereListEdgePolygon);

BENCHMARK_MAIN();
