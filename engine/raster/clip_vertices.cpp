// One Sutherland-Hodgman pass per enabled plane; inside vertices are copied whole, only
// intersection vertices are computed.
#include <bit>
#include <cstdint>

#include "engine/core/render_context.h"
#include "engine/core/render_work_arrays.h"
#include "engine/raster/clip_vertices_internal.h"

namespace {

constexpr int kPlaneCount = 6;
// A convex polygon gains at most one vertex per plane.
constexpr std::uint32_t kClipGrowth = kPlaneCount;

bool SignBit(float d) { return (std::bit_cast<std::uint32_t>(d) & 0x80000000u) != 0; }

// Not negative: the sign bit clear, or negative zero.
bool Inside(float d) { return !SignBit(d) || d == 0.0f; }

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

struct Words {
  bool light;
  bool uv;
};

void Intersect(int plane, const R3xClipVertex& a, const R3xClipVertex& b, float t, Words words,
               float nearDistance, float farDistance, R3xClipVertex& out) {
  out.x = Lerp(a.x, b.x, t);
  out.y = Lerp(a.y, b.y, t);
  out.z = Lerp(a.z, b.z, t);
  if (words.light) {
    out.red = Lerp(a.red, b.red, t);
  }
  if (words.uv) {
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

std::int32_t Clip(R3xRenderContext* context, std::int32_t count, R3xClipVertex** out, Words words) {
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
    R3xTransformedVertex* distances = work.transformed;
    for (std::int32_t i = 0; i < count; ++i) {
      distances[i].words[plane] = Distance(plane, current[i], nearDistance, farDistance);
    }
    std::int32_t written = 0;
    for (std::int32_t i = 0; i < count; ++i) {
      const std::int32_t next = i + 1 == count ? 0 : i + 1;
      const float d = distances[i].words[plane];
      const float dNext = distances[next].words[plane];
      if (static_cast<std::uint32_t>(written) + 2 > work.vertexCapacity) {
        *out = work.clip[1];
        return R3X_ERR_FAILED;
      }
      if (Inside(d)) {
        target[written++] = current[i];
      }
      if (SignBit(d) != SignBit(dNext)) {
        Intersect(plane, current[i], current[next], d / (d - dNext), words, nearDistance,
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

std::int32_t _r3xCopyVertexUV(R3xRenderContext* context, std::int32_t count) {
  if (count < 0 || static_cast<std::uint32_t>(count) > context->work.vertexCapacity) {
    return R3X_ERR_FAILED;
  }
  const R3xClipVertex* source = context->work.clip[0];
  R3xClipVertex* input = context->work.clip[1];
  for (std::int32_t i = 0; i < count; ++i) {
    input[i].u = source[i].u;
    input[i].v = source[i].v;
  }
  return R3X_DONE;
}

std::int32_t _r3xClipVertices(R3xRenderContext* context, std::int32_t count, R3xClipVertex** out) {
  return Clip(context, count, out, {false, false});
}

std::int32_t _r3xClipVerticesUV(R3xRenderContext* context, std::int32_t count,
                                R3xClipVertex** out) {
  return Clip(context, count, out, {false, true});
}

std::int32_t _r3xClipVerticesLit(R3xRenderContext* context, std::int32_t count,
                                 R3xClipVertex** out) {
  return Clip(context, count, out, {true, false});
}

std::int32_t _r3xClipVerticesLitUV(R3xRenderContext* context, std::int32_t count,
                                   R3xClipVertex** out) {
  return Clip(context, count, out, {true, true});
}
