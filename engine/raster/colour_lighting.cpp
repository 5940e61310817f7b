#include <algorithm>
#include <cstdint>

#include "engine/core/directional_light.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/object.h"
#include "engine/core/point_light.h"
#include "engine/core/render_context.h"
#include "engine/core/vertex_lighting.h"
#include "engine/raster/colour_lighting_internal.h"
#include "engine/raster/raster_numeric_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"

namespace {

// Closer to a light than the root of this (the float 0x38800001) a vertex gains nothing.
constexpr float kNearestLightDistance2 = 6.1035164e-05f;
constexpr float kRadiusFactor = 0.05f;
constexpr std::uint32_t kIdentityRow = 32 * 256;

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
float Cap(float channel) {
  return channel >= R3X_LIGHT_CHANNEL_LIMIT ? R3X_LIGHT_CHANNEL_LIMIT : channel;
}

void AddColour(R3xClipVertex& vertex, const R3xLightColour& colour, float f) {
  vertex.red += colour.red * f;
  vertex.green += colour.green * f;
  vertex.blue += colour.blue * f;
}

std::int32_t LightNormals(R3xRenderContext* context, std::int32_t count, float red, float green,
                          float blue, R3xRenderMethod method, bool textured) {
  if (count < 0 || static_cast<std::uint32_t>(count) > context->work.vertexCapacity) {
    return R3X_ERR_FAILED;
  }
  R3xClipVertex* source = context->work.clip[0];
  for (std::int32_t i = 0; i < count; ++i) {
    source[i].red = red;
    source[i].green = green;
    source[i].blue = blue;
  }
  const bool points = (method & R3X_METHOD_SMOOTH) != 0;
  const bool directional = (method & R3X_METHOD_DIRECTIONAL) != 0;
  for (std::uint32_t l = 0; l < context->lightCount; ++l) {
    R3xObjectHeader* object = context->lights[l];
    if (points && object->type == R3X_TYPE_POINT_LIGHT && object != context->excludedLight) {
      const auto& light = *reinterpret_cast<const R3xPointLight*>(object);
      const R3xLightColour colour = _r3xCurrentLightColor(light.light, context->worldTime);
      const float k = light.radius * light.radius * kRadiusFactor;
      for (std::int32_t i = 0; i < count; ++i) {
        R3xClipVertex& vertex = source[i];
        const float d[3] = {light.position[0] - vertex.x, light.position[1] - vertex.y,
                            light.position[2] - vertex.z};
        const float d2 = Dot(d, d);
        if (!(d2 > kNearestLightDistance2)) {
          continue;
        }
        const float c = Dot(vertex.normal, d) * r3xInvSqrt(d2);
        if (c > 0.0f) {
          AddColour(vertex, colour, k * (c / (d2 + 1.0f)));
        }
      }
    } else if (directional && object->type == R3X_TYPE_DIRECTIONAL_LIGHT) {
      const auto& light = *reinterpret_cast<const R3xDirectionalLight*>(object);
      const R3xLightColour colour = _r3xCurrentLightColor(light.light, context->worldTime);
      for (std::int32_t i = 0; i < count; ++i) {
        const float c = -Dot(source[i].normal, light.direction);
        if (c > 0.0f) {
          AddColour(source[i], colour, c);
        }
      }
    }
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

std::uint32_t LevelRow(std::int32_t word) {
  return (static_cast<std::uint32_t>(word) & 0x1F8000u) >> 7;
}

}  // namespace

std::int32_t _r3xLightVerticesNormalsRGB(R3xRenderContext* context, std::int32_t count, float red,
                                         float green, float blue, R3xRenderMethod method) {
  return LightNormals(context, count, red, green, blue, method, false);
}

std::int32_t _r3xLightTexturedVerticesNormalsRGB(R3xRenderContext* context, std::int32_t count,
                                                 float red, float green, float blue,
                                                 R3xRenderMethod method) {
  return LightNormals(context, count, red, green, blue, method, true);
}

std::int32_t _r3xAddViewLightNormalsRGB(R3xRenderContext* context, R3xClipVertex* vertices,
                                        std::int32_t count) {
  const float* view = context->view;
  const float* light = context->viewLight;
  for (std::int32_t i = 0; i < count; ++i) {
    R3xClipVertex& vertex = vertices[i];
    const float* n = vertex.normal;
    const float normal[3] = {Dot(n, context->clipColumns[0]), Dot(n, context->clipColumns[1]),
                             n[0] * view[2] + n[1] * view[5] + n[2] * view[8]};
    const float q[3] = {vertex.x, vertex.y, vertex.z};
    const float d2 = Dot(q, q);
    const float c = d2 <= kNearestLightDistance2 ? 0.0f : -Dot(normal, q) * r3xInvSqrt(d2);
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

void _r3xModulatePaletteRGB(R3xRenderContext* context, float red, float green, float blue) {
  R3xSpanState& span = context->span;
  const std::uint8_t* m = context->modulation;
  const std::uint32_t rows[3] = {LevelRow(_r3xLevelWord(red)), LevelRow(_r3xLevelWord(green)),
                                 LevelRow(_r3xLevelWord(blue))};
  const std::uint8_t* from = span.paletteColours;
  std::uint8_t* to = span.colourBuffer;
  for (std::int32_t i = 0; i < R3X_COLOUR_BUFFER_BYTES; i += R3X_PALETTE_COLOUR_BYTES) {
    const std::uint8_t r = from[i];
    const std::uint8_t g = from[i + 1];
    const std::uint8_t b = from[i + 2];
    to[i] = m[rows[0] + r];
    to[i + 1] = m[rows[1] + g];
    to[i + 2] = m[rows[2] + b];
    to[i + 3] = 0;
  }
  span.paletteColours = to;
}

void _r3xFogPaletteRGB(R3xRenderContext* context, std::int32_t fog) {
  R3xSpanState& span = context->span;
  const std::uint8_t* m = context->modulation;
  const std::uint32_t f = std::min(LevelRow(fog), kIdentityRow);
  const std::uint32_t keep = kIdentityRow - f;
  const std::uint32_t fogColour = context->raster.fogColour;
  const std::uint8_t fogged[3] = {m[f + (fogColour & 0xFF)], m[f + (fogColour >> 8 & 0xFF)],
                                  m[f + (fogColour >> 16 & 0xFF)]};
  const std::uint8_t* from = span.paletteColours;
  std::uint8_t* to = span.colourBuffer;
  for (std::int32_t i = 0; i < R3X_COLOUR_BUFFER_BYTES; i += R3X_PALETTE_COLOUR_BYTES) {
    const std::uint8_t r = from[i];
    const std::uint8_t g = from[i + 1];
    const std::uint8_t b = from[i + 2];
    to[i] = static_cast<std::uint8_t>(m[keep + r] + fogged[0]);
    to[i + 1] = static_cast<std::uint8_t>(m[keep + g] + fogged[1]);
    to[i + 2] = static_cast<std::uint8_t>(m[keep + b] + fogged[2]);
    to[i + 3] = 0;
  }
  span.paletteColours = to;
}
