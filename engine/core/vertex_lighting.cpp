// Vertex lighting: the base colour plus every point light of the region, and the view light.
#include "engine/core/vertex_lighting.h"

#include <cstdint>

#include "engine/core/math_sqrt.h"
#include "engine/core/object.h"
#include "engine/core/point_light.h"
#include "engine/core/render_context.h"
#include "engine/core/render_work_arrays.h"

namespace {

// The single-precision number just above 2^-14: closer than 2^-7 a light gives nothing.
constexpr float kNearestLightDistance2 = 6.1035164e-05f;
constexpr float kRadiusFactor = 0.05f;

float Cap(float channel) {
  return channel >= R3X_LIGHT_CHANNEL_LIMIT ? R3X_LIGHT_CHANNEL_LIMIT : channel;
}

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void AddPointLight(R3xRenderContext* context, R3xPointLight* light, std::int32_t count,
                   const float* normal) {
  const R3xLightColour colour = _r3xCurrentLightColor(light->light, context->worldTime);
  const float k = light->radius * light->radius * kRadiusFactor;
  R3xClipVertex* vertices = context->work.clip[0];
  for (std::int32_t i = 0; i < count; ++i) {
    R3xClipVertex& vertex = vertices[i];
    const float toLight[3] = {light->position[0] - vertex.x, light->position[1] - vertex.y,
                              light->position[2] - vertex.z};
    const float d2 = Dot(toLight, toLight);
    if (d2 <= kNearestLightDistance2) {
      continue;
    }
    const float c = Dot(normal, toLight) * r3xInvSqrt(d2);
    if (c <= 0.0f) {
      continue;
    }
    const float f = c / (d2 + 1.0f);
    vertex.red += colour.red * k * f;
    vertex.green += colour.green * k * f;
    vertex.blue += colour.blue * k * f;
  }
}

std::int32_t LightVertices(R3xRenderContext* context, std::int32_t count, const float* normal,
                           float red, float green, float blue, bool textured) {
  if (count < 0 || static_cast<std::uint32_t>(count) > context->work.vertexCapacity) {
    return R3X_ERR_FAILED;
  }
  R3xClipVertex* source = context->work.clip[0];
  for (std::int32_t i = 0; i < count; ++i) {
    source[i].red = red;
    source[i].green = green;
    source[i].blue = blue;
  }
  for (std::uint32_t l = 0; l < context->lightCount; ++l) {
    R3xObjectHeader* object = context->lights[l];
    if (object->type != R3X_TYPE_POINT_LIGHT || object == context->excludedLight) {
      continue;
    }
    AddPointLight(context, reinterpret_cast<R3xPointLight*>(object), count, normal);
  }
  R3xClipVertex* input = context->work.clip[1];
  for (std::int32_t i = 0; i < count; ++i) {
    input[i].red = Cap(source[i].red);
    input[i].green = Cap(source[i].green);
    input[i].blue = Cap(source[i].blue);
    if (textured) {
      input[i].u = source[i].u;
      input[i].v = source[i].v;
    }
  }
  return R3X_DONE;
}

}  // namespace

std::int32_t _r3xLightVerticesRGB(R3xRenderContext* context, std::int32_t count,
                                  const float* normal, float red, float green, float blue) {
  return LightVertices(context, count, normal, red, green, blue, false);
}

std::int32_t _r3xLightTexturedVerticesRGB(R3xRenderContext* context, std::int32_t count,
                                          const float* normal, float red, float green, float blue) {
  return LightVertices(context, count, normal, red, green, blue, true);
}

std::int32_t _r3xAddViewLightRGB(R3xRenderContext* context, R3xClipVertex* vertices,
                                 std::int32_t count, const float* normal) {
  // The normal in clip space: rotated by the view and scaled by the projection, no offset.
  const float* view = context->view;
  const float clipNormal[3] = {Dot(normal, context->clipColumns[0]),
                               Dot(normal, context->clipColumns[1]),
                               normal[0] * view[2] + normal[1] * view[5] + normal[2] * view[8]};
  const float* light = context->viewLight;
  for (std::int32_t i = 0; i < count; ++i) {
    R3xClipVertex& vertex = vertices[i];
    const float q[3] = {vertex.x, vertex.y, vertex.z};
    const float d2 = Dot(q, q);
    const float c = d2 <= kNearestLightDistance2 ? 0.0f : -Dot(clipNormal, q) * r3xInvSqrt(d2);
    if (c < 0.0f) {
      continue;
    }
    const float f = c / (d2 + 1.0f);
    vertex.red = Cap(vertex.red + light[0] * f);
    vertex.green = Cap(vertex.green + light[1] * f);
    vertex.blue = Cap(vertex.blue + light[2] * f);
  }
  return R3X_DONE;
}
