#include <cstdint>

#include "engine/core/directional_light.h"
#include "engine/core/light_internal.h"
#include "engine/core/math_convert.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/object.h"
#include "engine/core/render_context.h"
#include "engine/core/surface.h"
#include "engine/raster/face_shading8_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"

namespace {

// A face lit to this or more (the float 0x3F700000) is drawn flat.
constexpr std::int32_t kFlatLightBits = 0x3F700000;
constexpr float kLevels = 16.0f;
constexpr float kLevelWidth = 1.0f / kLevels;
constexpr std::int32_t kTopLevel = 15;
constexpr std::size_t kFogBlockBytes = 4096;

float BaseLight(const R3xRenderContext* context, const R3xSurface* surface,
                R3xRenderMethod method) {
  switch (method & R3X_RENDER_LIGHTING_MASK) {
    case R3X_LIGHTING_FULL:
      return R3X_LIGHT_LIMIT;
    case R3X_LIGHTING_CONSTANT:
      return _r3xLimitLight(surface->intensity);
    case R3X_LIGHTING_AMBIENT:
      return _r3xLimitLight(context->raster.ambientLight);
    case R3X_LIGHTING_SCALED_AMBIENT: {
      const float light = context->raster.ambientLight * surface->ambientScale;
      return light > R3X_LIGHT_LIMIT ? R3X_LIGHT_LIMIT : light;
    }
    default:
      // Zero, and the codes that name no light.
      return 0.0f;
  }
}

}  // namespace

R3xFaceShading _r3xFaceBaseLight8(R3xRenderContext* context, const R3xSurface* surface,
                                  R3xRenderMethod method, const float* faceNormal) {
  R3xFaceShading shading{};
  shading.method = method;
  shading.smooth = (method & R3X_METHOD_SMOOTH) != 0;
  shading.spot =
      shading.smooth && (method & R3X_METHOD_KEYED) == 0 && context->raster.currentFace != nullptr;
  shading.fog = context->fogMode == R3X_FOG_MODE_2;
  shading.shadeData = context->shadeData;
  shading.light = BaseLight(context, surface, method);
  if (_r3xFloatBits(shading.light) >= kFlatLightBits) {
    shading.smooth = false;
    shading.method &= ~R3X_METHOD_DIRECTIONAL;
  }
  if ((shading.method & R3X_METHOD_DIRECTIONAL) == 0) {
    return shading;
  }
  if ((shading.method & R3X_METHOD_VERTEX_NORMALS) != 0) {
    shading.smooth = true;
    return shading;
  }
  for (std::uint32_t l = 0; l < context->lightCount; ++l) {
    const R3xObjectHeader* object = context->lights[l];
    if (object->type != R3X_TYPE_DIRECTIONAL_LIGHT) {
      break;
    }
    const auto& light = *reinterpret_cast<const R3xDirectionalLight*>(object);
    const float intensity = _r3xCurrentLightIntensity(light.light, context->worldTime);
    const float term = -(light.direction[0] * faceNormal[0] + light.direction[1] * faceNormal[1] +
                         light.direction[2] * faceNormal[2]) *
                       intensity;
    if (term > 0.0f) {
      shading.light += term;
      if (shading.light >= R3X_LIGHT_LIMIT) {
        shading.light = R3X_LIGHT_LIMIT;
        break;
      }
    }
  }
  return shading;
}

void _r3xDecideFaceFog8(R3xRenderContext* context, R3xClipVertex* vertices, std::int32_t count,
                        R3xFaceShading* shading) {
  if (!shading->fog) {
    return;
  }
  const R3xRasterInputs& raster = context->raster;
  const float start = raster.fogStart;
  const float range = context->fogDistance;
  const float scale = context->fogScale;
  if (!shading->smooth) {
    shading->fogAmount = _r3xPolygonFogFactor(context, count, vertices);
    shading->fog = _r3xFloatBits(shading->fogAmount) >= _r3xFloatBits(R3X_FOG_THRESHOLD);
    return;
  }
  float nearest = 0.0f;
  float farthest = 0.0f;
  for (std::int32_t i = 0; i < count; ++i) {
    R3xClipVertex& v = vertices[i];
    const float d =
        r3xSqrt(v.x * v.x * raster.fogWeights[0] + v.y * v.y * raster.fogWeights[1] + v.z * v.z);
    v.fog = d;
    nearest = i == 0 || d < nearest ? d : nearest;
    farthest = i == 0 || d > farthest ? d : farthest;
  }
  const float far = farthest - start;
  if (far <= 0.0f) {
    shading->fog = false;
    shading->fogAmount = 0.0f;
    return;
  }
  const std::int32_t high = far >= range ? kTopLevel : r3xFloatToInt(far * scale * kLevels);
  const float near = nearest - start;
  const std::int32_t low = near <= 0.0f ? 0 : r3xFloatToInt(near * scale * kLevels);
  if (high == low) {
    const float amount = far * scale;
    shading->fogAmount = amount > R3X_LIGHT_LIMIT ? R3X_LIGHT_LIMIT : amount;
    shading->fog = false;
    shading->shadeData = context->shadeData + static_cast<std::size_t>(high) * kFogBlockBytes;
    return;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    const float f = vertices[i].fog - start;
    vertices[i].fog = f <= 0.0f ? 0.0f : f >= range ? R3X_LIGHT_LIMIT : f * scale;
  }
}

void _r3xFlatFallback8(R3xRenderContext* context, const R3xClipVertex* vertices, std::int32_t count,
                       R3xFaceShading* shading) {
  if (!shading->smooth || shading->spot || shading->fog) {
    return;
  }
  float smallest = R3X_LIGHT_LIMIT;
  float largest = 0.0f;
  for (std::int32_t i = 0; i < count; ++i) {
    smallest = vertices[i].red < smallest ? vertices[i].red : smallest;
    largest = vertices[i].red > largest ? vertices[i].red : largest;
  }
  if (!(largest - smallest < kLevelWidth) ||
      r3xFloatToInt(smallest * kLevels) != r3xFloatToInt(largest * kLevels)) {
    return;
  }
  shading->smooth = false;
  shading->light = largest;
  if (shading->shadeData != context->shadeData) {
    shading->shadeData = context->shadeData;
    shading->fog = true;
  }
}
