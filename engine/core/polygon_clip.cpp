// Clipping a polygon against the planes of the view volume that it may cross, one pass per
// plane (Sutherland-Hodgman), interpolating only the intersection vertices.
#include <bit>
#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/core/render_work_arrays.h"
#include "engine/core/vertex_lighting.h"

namespace {

constexpr int kPlaneCount = 6;
// Each plane adds at most one vertex.
constexpr std::uint32_t kClipGrowth = kPlaneCount;

bool SignBit(float d) { return (std::bit_cast<std::uint32_t>(d) & 0x80000000u) != 0; }

// Not negative: the sign bit clear, or negative zero.
bool Kept(float d) { return !SignBit(d) || d == 0.0f; }

// The signed distance into the kept side of each plane, in mask bit order.
float Distance(int plane, const R3xClipVertex& v, float nearDistance, float farDistance) {
  switch (plane) {
    case 0:
      return v.y + v.z;
    case 1:
      return v.z - v.y;
    case 2:
      return v.z + v.x;
    case 3:
      return v.z - v.x;
    case 4:
      return v.z - nearDistance;
    default:
      return farDistance - v.z;
  }
}

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// Interpolates the words the routine carries and puts the vertex on the plane.
void Intersect(int plane, const R3xClipVertex& a, const R3xClipVertex& b, float t, bool textured,
               float nearDistance, float farDistance, R3xClipVertex& out) {
  out.x = Lerp(a.x, b.x, t);
  out.y = Lerp(a.y, b.y, t);
  out.z = Lerp(a.z, b.z, t);
  out.red = Lerp(a.red, b.red, t);
  out.green = Lerp(a.green, b.green, t);
  out.blue = Lerp(a.blue, b.blue, t);
  if (textured) {
    out.u = Lerp(a.u, b.u, t);
    out.v = Lerp(a.v, b.v, t);
  }
  switch (plane) {
    case 0:
      out.y = -out.z;
      break;
    case 1:
      out.y = out.z;
      break;
    case 2:
      out.x = -out.z;
      break;
    case 3:
      out.x = out.z;
      break;
    case 4:
      out.z = nearDistance;
      break;
    default:
      out.z = farDistance;
      break;
  }
}

std::int32_t ClipPolygon(R3xRenderContext* context, std::int32_t count, R3xClipVertex** out,
                         bool textured) {
  R3xRenderWorkArrays& work = context->work;
  *out = work.clip[1];
  if (count < 3) {
    return 0;
  }
  const std::uint32_t mask = context->clipMask;
  if (mask == 0) {
    return count;
  }
  if (static_cast<std::uint32_t>(count) + kClipGrowth > work.vertexCapacity) {
    return R3X_ERR_FAILED;
  }
  const float nearDistance = context->nearDistance;
  const float farDistance = context->farDistance;
  R3xClipVertex* current = work.clip[1];
  R3xClipVertex* target = work.clip[2];
  for (int plane = 0; plane < kPlaneCount; ++plane) {
    if ((mask & (1u << plane)) == 0) {
      continue;
    }
    // The plane's distances go to its word of the scratch records.
    R3xTransformedVertex* distances = work.transformed;
    for (std::int32_t i = 0; i < count; ++i) {
      distances[i].words[plane] = Distance(plane, current[i], nearDistance, farDistance);
    }
    // A convex polygon gains at most one vertex a plane, so n + 6 hold it to the last pass;
    // only one that is not convex could outgrow the arrays. Each edge is checked for the
    // vertices it writes: one that writes a single vertex may fill the last slot.
    const auto capacity = static_cast<std::int32_t>(work.vertexCapacity);
    std::int32_t written = 0;
    for (std::int32_t i = 0; i < count; ++i) {
      const std::int32_t next = i + 1 == count ? 0 : i + 1;
      const float d = distances[i].words[plane];
      const float dNext = distances[next].words[plane];
      const bool kept = Kept(d);
      const bool crosses = SignBit(d) != SignBit(dNext);
      if (written + (kept ? 1 : 0) + (crosses ? 1 : 0) > capacity) {
        *out = work.clip[1];
        return R3X_ERR_FAILED;
      }
      if (kept) {
        target[written++] = current[i];
      }
      if (crosses) {
        Intersect(plane, current[i], current[next], d / (d - dNext), textured, nearDistance,
                  farDistance, target[written++]);
      }
    }
    if (written < 3) {
      *out = target;
      return 0;
    }
    count = written;
    R3xClipVertex* swap = current;
    current = target;
    target = swap;
  }
  *out = current;
  return count;
}

}  // namespace

std::int32_t _r3xClipPolygonRGB(R3xRenderContext* context, std::int32_t count,
                                R3xClipVertex** out) {
  return ClipPolygon(context, count, out, false);
}

std::int32_t _r3xClipPolygon(R3xRenderContext* context, std::int32_t count, R3xClipVertex** out) {
  return ClipPolygon(context, count, out, true);
}
