#include <cmath>
#include <cstddef>

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/math_plane.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/surface.h"
#include "engine/world/precompiled_records.h"
#include "engine/world/surface_actions.h"

namespace {

constexpr std::uint32_t kPen = 0x01;
constexpr std::uint32_t kBrightness = 0x02;
constexpr std::uint32_t kScaledAmbient = 0x04;
constexpr std::uint32_t kTexture = 0x08;
constexpr std::uint32_t kAxes = 0x10;
constexpr std::uint32_t kUVs = 0x20;
constexpr std::uint32_t kTwoSided = 0x40;

void readVector(arena::ByteReader& in, float* out) {
  for (int i = 0; i < 3; ++i) {
    out[i] = in.F32();
  }
}

std::int32_t axisCode(const float* normal) {
  const float a = std::fabs(normal[0]);
  const float b = std::fabs(normal[1]);
  const float c = std::fabs(normal[2]);
  if (a >= b && a >= c) {
    return R3X_AXIS_CODE_X;
  }
  return b >= c ? R3X_AXIS_CODE_Y : R3X_AXIS_CODE_Z;
}

}  // namespace

bool _r3xReadSurface(R3xWorldReader* reader, arena::ByteReader& in, R3xSurface* surface,
                     std::uint32_t corners) {
  *surface = R3xSurface{};
  surface->type = R3X_TYPE_SURFACE;
  surface->renderMethod = static_cast<R3xRenderMethod>(in.U32());
  const std::uint32_t flags = in.U32();
  if ((flags & kPen) != 0) {
    surface->pen = in.U32() & 0xFFu;
  }
  if ((flags & kBrightness) != 0) {
    surface->intensity = in.F32();
  }
  if ((flags & kScaledAmbient) != 0) {
    surface->ambientScale = in.F32();
  }
  if ((flags & kTexture) != 0) {
    surface->texture = static_cast<R3xObjectHeader*>(
        _r3xResolveObject(reader, in, in.I32(), {R3X_TYPE_SIMPLE_SPRITE}));
  }
  if ((flags & kAxes) != 0) {
    readVector(in, surface->uvOrigin);
    readVector(in, surface->uAxis);
    readVector(in, surface->vAxis);
  }
  std::uint32_t pairs = 0;
  if ((flags & kUVs) != 0) {
    pairs = in.U32();
    if (pairs != 0 && corners != R3X_ANY_CORNERS && pairs != corners) {
      in.Fail("UV pairs do not match the corners");
    }
    if (pairs != 0 && _r3xCountFits(in, pairs, 2 * sizeof(float))) {
      surface->uv = static_cast<float*>(r3xMalloc(std::size_t{pairs} * 2 * sizeof(float)));
      if (surface->uv == nullptr) {
        in.Fail("out of memory");
      }
      for (std::uint32_t i = 0; surface->uv != nullptr && i < 2 * pairs; ++i) {
        surface->uv[i] = in.F32();
      }
    }
  }
  surface->twoSided = (flags & kTwoSided) != 0 ? 1 : 0;
  if (in.failed()) {
    r3xFree(surface->uv);
    surface->uv = nullptr;
    return false;
  }
  parScaleSpriteUVs(surface, surface->uv == nullptr ? 0 : pairs);
  return true;
}

bool _r3xBuildEdgePolygon(float* vertices, const std::int32_t* indexes, std::uint32_t k,
                          R3xEdgePolygon* polygon) {
  polygon->type = R3X_TYPE_EDGE_POLYGON;
  polygon->edgeCount = static_cast<std::int32_t>(k);
  polygon->edges = nullptr;
  if (k == 0) {
    return true;
  }
  polygon->edges = static_cast<R3xXYZEdge*>(r3xMalloc(std::size_t{k} * sizeof(R3xXYZEdge)));
  if (polygon->edges == nullptr) {
    return false;
  }
  for (std::uint32_t i = 0; i < k; ++i) {
    float* a = vertices + 3 * std::size_t(indexes[i]);
    float* b = vertices + 3 * std::size_t(indexes[(i + 1) % k]);
    const float dx = b[0] - a[0];
    const float dy = b[1] - a[1];
    const float dz = b[2] - a[2];
    polygon->edges[i] = {R3X_TYPE_XYZ_EDGE, a, b, r3xSqrt(dx * dx + dy * dy + dz * dz)};
  }
  return true;
}

bool _r3xReadEdgePolygon(arena::ByteReader& in, float* vertices, std::uint32_t vertexCount,
                         bool planeGiven, R3xEdgePolygon* polygon) {
  *polygon = R3xEdgePolygon{};
  const std::uint32_t k = in.U32();
  if (!_r3xCountFits(in, k, sizeof(std::uint32_t))) {
    return false;
  }
  auto* indexes = static_cast<std::int32_t*>(r3xMalloc(std::size_t{k} * sizeof(std::int32_t) + 1));
  if (indexes == nullptr) {
    return in.Fail("out of memory");
  }
  for (std::uint32_t i = 0; i < k; ++i) {
    const std::uint32_t index = in.U32();
    if (index >= vertexCount) {
      in.Fail("polygon vertex out of range");
    }
    indexes[i] = static_cast<std::int32_t>(index);
  }
  bool built = in.ok() && _r3xBuildEdgePolygon(vertices, indexes, k, polygon);
  r3xFree(indexes);
  if (built && planeGiven) {
    readVector(in, polygon->normal);
    polygon->distance = in.F32();
    built = in.ok();
  } else if (built) {
    built = r3xEdgePolygonPlane(polygon) > 0;
  }
  if (!built) {
    r3xFree(polygon->edges);
    *polygon = R3xEdgePolygon{};
    return in.Fail("edge polygon");
  }
  polygon->axisCode = axisCode(polygon->normal);
  return true;
}

bool _r3xReadActions(arena::ByteReader& in, std::uint32_t actionCount, R3xAction** actions,
                     std::uint32_t* partCount) {
  *actions = nullptr;
  *partCount = 0;
  // Every action holds at least its level count.
  if (!_r3xCountFits(in, actionCount, sizeof(std::uint32_t))) {
    return false;
  }
  if (actionCount == 0) {
    return true;
  }
  auto* list = static_cast<R3xAction*>(r3xMalloc(std::size_t{actionCount} * sizeof(R3xAction)));
  if (list == nullptr) {
    return in.Fail("out of memory");
  }
  std::uint32_t parts = 0;
  for (std::uint32_t a = 0; a < actionCount && in.ok(); ++a) {
    const std::uint32_t levels = in.U32();
    if (!_r3xCountFits(in, levels, 2 * sizeof(float))) {
      break;
    }
    // An action without levels is refused by whoever takes the actions.
    if (levels == 0) {
      continue;
    }
    list[a].levels = static_cast<R3xLodLevel*>(r3xMalloc(levels * sizeof(R3xLodLevel)));
    if (list[a].levels == nullptr) {
      in.Fail("out of memory");
      break;
    }
    list[a].levelCount = levels;
    for (std::uint32_t l = 0; l < levels; ++l) {
      list[a].levels[l].switchBackSquared = in.F32();
      list[a].levels[l].upperSquared = in.F32();
      list[a].levels[l].partIndex = static_cast<std::int32_t>(parts++);
    }
  }
  if (in.failed()) {
    _r3xFreeActions(list, actionCount);
    return false;
  }
  *actions = list;
  *partCount = parts;
  return true;
}

void _r3xFreeActions(R3xAction* actions, std::uint32_t count) {
  if (actions == nullptr) {
    return;
  }
  for (std::uint32_t a = 0; a < count; ++a) {
    r3xFree(actions[a].levels);
  }
  r3xFree(actions);
}

void _r3xReadPlacement(arena::ByteReader& in, R3xPlacement* placement) {
  placement->x = in.F32();
  placement->y = in.F32();
  placement->z = in.F32();
  placement->heading = in.F32();
  placement->pitch = in.F32();
  placement->roll = in.F32();
  placement->region = in.I32();
}
