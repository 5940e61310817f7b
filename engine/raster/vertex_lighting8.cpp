#include <cstdint>

#include "engine/core/directional_light.h"
#include "engine/core/light_internal.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/object.h"
#include "engine/core/point_light.h"
#include "engine/core/render_context.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"

namespace {

// Closer to a light than the root of this (the float 0x38800001) a vertex gains nothing.
constexpr float kNearestLightDistance2 = 6.1035164e-05f;
constexpr float kRadiusFactor = 0.05f;

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

bool FitsWorkArrays(const R3xRenderContext* context, std::int32_t count) {
  return count >= 0 && static_cast<std::uint32_t>(count) <= context->work.vertexCapacity;
}

// The point light's term at a vertex with the unit normal.
float PointTerm(const R3xPointLight& light, float intensity, const R3xClipVertex& vertex,
                const float* normal) {
  const float d[3] = {light.position[0] - vertex.x, light.position[1] - vertex.y,
                      light.position[2] - vertex.z};
  const float dd = Dot(d, d);
  if (!(dd > kNearestLightDistance2)) {
    return 0.0f;
  }
  const float c = Dot(normal, d) * r3xInvSqrt(dd);
  if (!(c > 0.0f)) {
    return 0.0f;
  }
  return c * light.radius * light.radius * intensity * kRadiusFactor / (dd + 1.0f);
}

struct Options {
  bool vertexNormals;
  bool points;
  bool directional;
  bool textured;
};

std::int32_t Light(R3xRenderContext* context, std::int32_t count, const float* faceNormal,
                   float base, Options options) {
  if (!FitsWorkArrays(context, count)) {
    return R3X_ERR_FAILED;
  }
  R3xClipVertex* source = context->work.clip[0];
  for (std::int32_t i = 0; i < count; ++i) {
    source[i].red = base;
  }
  for (std::uint32_t l = 0; l < context->lightCount; ++l) {
    R3xObjectHeader* object = context->lights[l];
    if (options.points && object->type == R3X_TYPE_POINT_LIGHT &&
        object != context->excludedLight) {
      const auto& light = *reinterpret_cast<const R3xPointLight*>(object);
      const float intensity = _r3xCurrentLightIntensity(light.light, context->worldTime);
      for (std::int32_t i = 0; i < count; ++i) {
        const float* normal = options.vertexNormals ? source[i].normal : faceNormal;
        source[i].red += PointTerm(light, intensity, source[i], normal);
      }
    } else if (options.directional && object->type == R3X_TYPE_DIRECTIONAL_LIGHT) {
      const auto& light = *reinterpret_cast<const R3xDirectionalLight*>(object);
      const float intensity = _r3xCurrentLightIntensity(light.light, context->worldTime);
      for (std::int32_t i = 0; i < count; ++i) {
        const float c = -Dot(source[i].normal, light.direction);
        if (c > 0.0f) {
          source[i].red += intensity * c;
        }
      }
    }
  }
  R3xClipVertex* input = context->work.clip[1];
  for (std::int32_t i = 0; i < count; ++i) {
    input[i].red = _r3xLimitLight(source[i].red);
    if (options.textured) {
      input[i].u = source[i].u;
      input[i].v = source[i].v;
    }
  }
  return R3X_DONE;
}

// A normal carried into clip space: rotated by the view and scaled by the projection.
void ToClipSpace(const R3xRenderContext* context, const float* normal, float* out) {
  const float* view = context->view;
  out[0] = Dot(normal, context->clipColumns[0]);
  out[1] = Dot(normal, context->clipColumns[1]);
  out[2] = normal[0] * view[2] + normal[1] * view[5] + normal[2] * view[8];
}

void AddViewLight(const R3xRenderContext* context, R3xClipVertex& vertex, const float* normal) {
  if (_r3xFloatBits(vertex.red) >= R3X_LIGHT_LIMIT_BITS) {
    return;
  }
  const float e[3] = {vertex.x, vertex.y, vertex.z};
  const float dd = Dot(e, e);
  if (!(dd > kNearestLightDistance2)) {
    return;
  }
  const float c = -Dot(normal, e) * r3xInvSqrt(dd);
  if (c < 0.0f) {
    return;
  }
  vertex.red = _r3xLimitLight(vertex.red + context->raster.viewerLight * c / (dd + 1.0f));
}

}  // namespace

std::int32_t _r3xLightVertices8(R3xRenderContext* context, std::int32_t count,
                                const float* faceNormal, float base) {
  return Light(context, count, faceNormal, base, {false, true, false, false});
}

std::int32_t _r3xLightTexturedVertices8(R3xRenderContext* context, std::int32_t count,
                                        const float* faceNormal, float base) {
  return Light(context, count, faceNormal, base, {false, true, false, true});
}

std::int32_t _r3xLightVerticesNormals8(R3xRenderContext* context, std::int32_t count, float base,
                                       R3xRenderMethod method) {
  return Light(
      context, count, nullptr, base,
      {true, (method & R3X_METHOD_SMOOTH) != 0, (method & R3X_METHOD_DIRECTIONAL) != 0, false});
}

std::int32_t _r3xLightTexturedVerticesNormals8(R3xRenderContext* context, std::int32_t count,
                                               float base, R3xRenderMethod method) {
  return Light(
      context, count, nullptr, base,
      {true, (method & R3X_METHOD_SMOOTH) != 0, (method & R3X_METHOD_DIRECTIONAL) != 0, true});
}

std::int32_t _r3xAddViewLight8(R3xRenderContext* context, R3xClipVertex* vertices,
                               std::int32_t count, const float* faceNormal) {
  float normal[3];
  ToClipSpace(context, faceNormal, normal);
  for (std::int32_t i = 0; i < count; ++i) {
    AddViewLight(context, vertices[i], normal);
  }
  return R3X_DONE;
}

std::int32_t _r3xAddViewLightNormals8(R3xRenderContext* context, R3xClipVertex* vertices,
                                      std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    float normal[3];
    ToClipSpace(context, vertices[i].normal, normal);
    AddViewLight(context, vertices[i], normal);
  }
  return R3X_DONE;
}

float _r3xPolygonFogFactor(R3xRenderContext* context, std::int32_t count,
                           const R3xClipVertex* vertices) {
  const R3xRasterInputs& raster = context->raster;
  float sum = 0.0f;
  for (std::int32_t i = 0; i < count; ++i) {
    const R3xClipVertex& v = vertices[i];
    sum += r3xSqrt(v.x * v.x * raster.fogWeights[0] + v.y * v.y * raster.fogWeights[1] + v.z * v.z);
  }
  static constexpr float kInverseCounts[] = {1.0f / 3.0f, 1.0f / 4.0f, 1.0f / 5.0f, 1.0f / 6.0f};
  const float mean =
      count >= 3 && count <= 6 ? sum * kInverseCounts[count - 3] : sum / static_cast<float>(count);
  const float f = mean - raster.fogStart;
  if (f <= 0.0f) {
    return 0.0f;
  }
  if (f >= context->fogDistance) {
    return R3X_LIGHT_LIMIT;
  }
  return f * context->fogScale;
}
