#include <array>
#include <cstdint>

#include "engine/core/light.h"
#include "engine/core/light_internal.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/point_light.h"
#include "engine/core/region.h"
#include "engine/core/render_context.h"
#include "engine/core/vertex_lighting.h"
#include "engine/raster/light_spot_internal.h"
#include "engine/raster/raster_numeric_internal.h"

namespace {

// The float 0x38800001: a light nearer its foot than this adds no other lights' terms.
constexpr float kNearestLightDistance2 = 6.1035164e-05f;
constexpr float kRadiusFactor = 0.05f;
// Keeps a light edge's interpolated light short of the value at its end.
constexpr float kEdgeLightFactor = 0.995f;
constexpr float kNoSubdivision = -1.0f;

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The light's intensity in its current frame, which is not advanced here.
float FrameIntensity(const R3xLight* light) {
  const R3xLightDef* definition = light->definition;
  if (definition->frameCount <= 1) {
    return definition->intensity;
  }
  return definition->intensities[_r3xLightShownFrame(light)];
}

// The 8-bit path's one light value, or the colour path's three channels.
template <int N>
using Channels = std::array<float, N>;

// The light's intensity per channel in its current frame: the colour path takes the frame's
// colour where the definition has colours.
template <int N>
Channels<N> FrameLight(const R3xLight* light) {
  Channels<N> out{};
  const float intensity = FrameIntensity(light);
  out.fill(intensity);
  const R3xLightDef* definition = light->definition;
  if (N == 3 && definition->colours != nullptr) {
    const std::uint32_t frame = definition->frameCount <= 1 ? 0 : _r3xLightShownFrame(light);
    for (int k = 0; k < N; ++k) {
      out[static_cast<std::size_t>(k)] = definition->colours[3 * std::size_t{frame} + k];
    }
  }
  return out;
}

// The 8-bit limit 0.99999, or 1.99999 for every colour channel.
template <int N>
float Limit(float value) {
  if constexpr (N == 1) {
    return _r3xLimitLight(value);
  } else {
    return value >= R3X_LIGHT_CHANNEL_LIMIT ? R3X_LIGHT_CHANNEL_LIMIT : value;
  }
}

// A vertex's light channel: red, green, blue.
float VertexLight(const R3xClipVertex& v, int k) {
  return k == 0 ? v.red : k == 1 ? v.green : v.blue;
}
void SetVertexLight(R3xClipVertex& v, int k, float value) {
  (k == 0 ? v.red : k == 1 ? v.green : v.blue) = value;
}

float OwnFactor(const R3xPointLight& light, float dist) {
  return light.radius * light.radius / (dist * dist + 1.0f);
}

struct Screen {
  float x;
  float y;
};

// The foot point on the screen; false when its depth lies outside the near and far distances.
bool Project(const R3xRenderContext* context, const float* point, Screen* out) {
  const float p[3] = {point[0] + context->translation[0], point[1] + context->translation[1],
                      point[2] + context->translation[2]};
  const float depthRow[3] = {context->view[2], context->view[5], context->view[8]};
  const float depth = Dot(depthRow, p);
  if (!(depth >= context->nearDistance && depth <= context->farDistance)) {
    return false;
  }
  out->x = (Dot(context->clipColumns[0], p) / depth + 1.0f) * (context->halfViewWidth - 0.5f);
  out->y = (1.0f - Dot(context->clipColumns[1], p) / depth) * (context->halfViewHeight - 0.5f);
  return true;
}

float Distance2(float ax, float ay, float bx, float by) {
  return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
}

// Where a spot lies against the polygon: inside, or moved onto the edge it lies beyond (with a
// weight for its own light and the edge's blended light), or not usable.
template <int N>
struct Placement {
  bool usable;
  bool moved;
  Screen at;
  float weight;
  Channels<N> edgeLight;
};

template <int N>
Placement<N> Place(const R3xRenderContext* context, const R3xClipVertex* v, std::int32_t count,
                   Screen s) {
  for (std::int32_t i = 0; i < count; ++i) {
    const R3xClipVertex& a = v[i];
    const R3xClipVertex& b = v[i + 1 == count ? 0 : i + 1];
    const float ex = b.x - a.x;
    const float ey = b.y - a.y;
    const float cross = (s.x - a.x) * ey - (s.y - a.y) * ex;
    if (!(cross > 0.0f)) {
      continue;
    }
    if (context->pointLightMode == 0) {
      return {};
    }
    const float t = ((s.x - a.x) * ex + (s.y - a.y) * ey) / (ex * ex + ey * ey);
    if (!(t > 0.0f && t < 1.0f)) {
      return {};
    }
    const Screen q{a.x + t * ex, a.y + t * ey};
    const float wa = 1.0f / Distance2(q.x, q.y, s.x, s.y);
    const float wb = 1.0f / Distance2(q.x, q.y, a.x, a.y);
    const float wc = 1.0f / Distance2(q.x, q.y, b.x, b.y);
    const float sum = wa + wb + wc;
    Channels<N> edge{};
    for (int k = 0; k < N; ++k) {
      edge[static_cast<std::size_t>(k)] = (wb * VertexLight(a, k) + wc * VertexLight(b, k)) / sum;
    }
    return {true, true, q, wa / sum, edge};
  }
  return {true, false, s, 0.0f, {}};
}

// The other point lights' terms at the foot point.
template <int N>
Channels<N> OtherLights(const R3xRenderContext* context, const R3xPointLight* spotLight,
                        const float* normal, const float* foot) {
  Channels<N> sum{};
  for (std::uint32_t l = 0; l < context->lightCount; ++l) {
    const R3xObjectHeader* object = context->lights[l];
    if (object->type != R3X_TYPE_POINT_LIGHT || object == &spotLight->header) {
      continue;
    }
    const auto& other = *reinterpret_cast<const R3xPointLight*>(object);
    const float g[3] = {other.position[0] - foot[0], other.position[1] - foot[1],
                        other.position[2] - foot[2]};
    const float gg = Dot(g, g);
    // A light at the foot point itself has no direction to shine from.
    if (!(gg > 0.0f)) {
      continue;
    }
    const float cosine = Dot(normal, g) / r3xSqrt(gg);
    if (cosine > 0.0f) {
      const Channels<N> light = FrameLight<N>(other.light);
      for (std::size_t k = 0; k < N; ++k) {
        sum[k] += other.radius * other.radius * light[k] * kRadiusFactor * cosine / (gg + 1.0f);
      }
    }
  }
  return sum;
}

template <int N>
void Subdivide(R3xRenderContext* context, R3xClipVertex* v, std::int32_t* count) {
  const R3xSpanState& span = context->span;
  const float limit = context->subdivisionCosine;
  const auto capacity = static_cast<std::int32_t>(context->work.vertexCapacity);
  for (std::int32_t i = 0; i < *count; ++i) {
    const R3xClipVertex& a = v[i];
    const std::int32_t j = i + 1 == *count ? 0 : i + 1;
    const float ax = a.x - span.spotX;
    const float ay = a.y - span.spotY;
    const float bx = v[j].x - span.spotX;
    const float by = v[j].y - span.spotY;
    float cosine = (ax * bx + ay * by) / (r3xSqrt(ax * ax + ay * ay) * r3xSqrt(bx * bx + by * by));
    while (cosine < limit) {
      if (*count >= capacity) {
        return;
      }
      const R3xClipVertex& b = v[i + 1 == *count ? 0 : i + 1];
      R3xClipVertex m = a;
      m.x = (a.x + b.x) * 0.5f;
      m.y = (a.y + b.y) * 0.5f;
      m.fog = (a.fog + b.fog) * 0.5f;
      m.u = (a.u + b.u) * 0.5f;
      m.v = (a.v + b.v) * 0.5f;
      const float toSpot = 1.0f / Distance2(m.x, m.y, span.spotX, span.spotY);
      const float w = toSpot / (2.0f / Distance2(m.x, m.y, a.x, a.y) + toSpot);
      for (int k = 0; k < N; ++k) {
        SetVertexLight(m, k,
                       Limit<N>((1.0f - w) * (VertexLight(a, k) + VertexLight(b, k)) * 0.5f +
                                w * span.spotLight[k]));
      }
      for (std::int32_t k = *count; k > i + 1; --k) {
        v[k] = v[k - 1];
      }
      v[i + 1] = m;
      ++*count;
      cosine = r3xSqrt(cosine * 0.5f + 0.5f);
    }
  }
}

// Room for one more edge: the list grows by 8 records, or stays as it was.
bool ReserveEdge(R3xSpanState& span) {
  if (span.edgeCount < span.edgeCapacity) {
    return true;
  }
  constexpr std::uint32_t kEdgeGrowth = 8;
  const std::uint32_t capacity = span.edgeCapacity + kEdgeGrowth;
  auto* edges = static_cast<R3xLightEdge*>(
      r3xRealloc(span.edges, std::size_t{capacity} * sizeof(R3xLightEdge)));
  if (edges == nullptr) {
    return false;
  }
  span.edges = edges;
  span.edgeCapacity = capacity;
  return true;
}

// Inserts before the first edge whose x is not below the new one's.
std::int32_t InsertEdge(R3xSpanState& span, const R3xLightEdge& edge) {
  if (!ReserveEdge(span)) {
    return R3X_ERR_FAILED;
  }
  std::uint32_t at = 0;
  while (at < span.edgeCount && span.edges[at].x < edge.x) {
    ++at;
  }
  for (std::uint32_t k = span.edgeCount; k > at; --k) {
    span.edges[k] = span.edges[k - 1];
  }
  span.edges[at] = edge;
  ++span.edgeCount;
  return 0;
}

template <int N>
R3xLightEdge MakeEdge(float x, float toX, const float* light, const float* toLight,
                      std::int32_t rows, std::int32_t endRow) {
  const float k = 1.0f / static_cast<float>(rows);
  R3xLightEdge edge{};
  edge.endRow = endRow;
  edge.x = x;
  edge.xStep = (toX - x) * k;
  for (int c = 0; c < N; ++c) {
    edge.light[c] = light[c];
    edge.lightStep[c] = (toLight[c] - light[c]) * k * kEdgeLightFactor;
  }
  return edge;
}

template <int N>
void Lights(const R3xClipVertex& v, float* out) {
  for (int k = 0; k < N; ++k) {
    out[k] = VertexLight(v, k);
  }
}

// The light gradient of a piece from (fromX, fromLight) toward (toX, toLight), in the span
// state.
void SetPiece(R3xSpanState& span, float fromX, float fromLight, float toX, float toLight) {
  const float gradient = (toLight - fromLight) / ((toX - fromX) + 0.5f);
  span.lightStep = gradient;
  span.lightStepFixed = _r3xStepFixed20(gradient);
  span.light = fromLight - (fromX - span.lightOriginX) * gradient;
}

// The colour path's piece: the three gradients from (fromX, fromLight) toward (toX, toLight),
// their steps without the bias toward zero.
void SetPieceRGB(R3xSpanState& span, float fromX, const float* fromLight, float toX,
                 const float* toLight) {
  const float width = (toX - fromX) + 0.5f;
  float gradients[3];
  for (int k = 0; k < 3; ++k) {
    gradients[k] = (toLight[k] - fromLight[k]) / width;
  }
  span.lightStep = gradients[0];
  span.lightStepFixed = _r3xFixed20(gradients[0]);
  span.light = fromLight[0] - (fromX - span.lightOriginX) * gradients[0];
  span.greenStep = gradients[1];
  span.greenStepFixed = _r3xFixed20(gradients[1]);
  span.green = fromLight[1] - (fromX - span.lightOriginX) * gradients[1];
  span.blueStep = gradients[2];
  span.blueStepFixed = _r3xFixed20(gradients[2]);
  span.blue = fromLight[2] - (fromX - span.lightOriginX) * gradients[2];
}

template <int N>
std::int32_t FindLightSpot(R3xRenderContext* context, const float* base, R3xClipVertex* vertices,
                           std::int32_t* count) {
  const R3xRegionFace* face = context->raster.currentFace;
  if (face == nullptr) {
    return 0;
  }
  R3xSpanState& span = context->span;
  const float* normal = face->polygon.normal;
  float best = context->spotThreshold;
  std::int32_t found = 0;
  for (std::uint32_t l = 0; l < context->lightCount; ++l) {
    const R3xObjectHeader* object = context->lights[l];
    if (object->type != R3X_TYPE_POINT_LIGHT) {
      continue;
    }
    const auto& light = *reinterpret_cast<const R3xPointLight*>(object);
    const float dist = Dot(normal, light.position) + face->polygon.distance;
    if (dist < 0.0f) {
      continue;
    }
    const float own = OwnFactor(light, dist);
    const Channels<N> colour = FrameLight<N>(light.light);
    Channels<N> fs{};
    float f = 0.0f;
    for (std::size_t k = 0; k < N; ++k) {
      fs[k] = own * colour[k] * kRadiusFactor;
      f = k == 0 || fs[k] > f ? fs[k] : f;
    }
    if (!(f > best)) {
      continue;
    }
    const float foot[3] = {light.position[0] - normal[0] * dist,
                           light.position[1] - normal[1] * dist,
                           light.position[2] - normal[2] * dist};
    Screen screen{};
    if (!Project(context, foot, &screen)) {
      continue;
    }
    const Placement<N> place = Place<N>(context, vertices, *count, screen);
    if (!place.usable) {
      continue;
    }
    Channels<N> spotLight = fs;
    if (dist > kNearestLightDistance2) {
      const Channels<N> others = OtherLights<N>(context, &light, normal, foot);
      for (std::size_t k = 0; k < N; ++k) {
        spotLight[k] += others[k];
      }
    }
    for (std::size_t k = 0; k < N; ++k) {
      spotLight[k] = Limit<N>(spotLight[k] + base[k]);
      if (place.moved) {
        spotLight[k] = Limit<N>(place.weight * spotLight[k] + place.edgeLight[k]);
      }
    }
    span.spotX = place.at.x;
    span.spotY = place.at.y;
    span.spotRow = _r3xCeilRow(place.at.y);
    for (std::size_t k = 0; k < N; ++k) {
      span.spotLight[k] = spotLight[k];
    }
    span.edgeCount = 0;
    best = f;
    found = 1;
  }
  if (found != 0 && context->subdivisionCosine > kNoSubdivision) {
    Subdivide<N>(context, vertices, count);
  }
  return found;
}

template <int N>
std::int32_t AdvanceLightEdges(R3xRenderContext* context, const R3xClipVertex* vertices,
                               std::int32_t count, std::int32_t row) {
  R3xSpanState& span = context->span;
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < span.edgeCount; ++i) {
    R3xLightEdge edge = span.edges[i];
    if (edge.endRow < row) {
      continue;
    }
    edge.x += edge.xStep;
    for (int k = 0; k < N; ++k) {
      edge.light[k] += edge.lightStep[k];
    }
    std::uint32_t at = kept;
    while (at > 0 && edge.x < span.edges[at - 1].x) {
      span.edges[at] = span.edges[at - 1];
      --at;
    }
    span.edges[at] = edge;
    ++kept;
  }
  span.edgeCount = kept;
  if (row != span.spotRow) {
    return 0;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    const R3xClipVertex& v = vertices[i];
    const std::int32_t r = _r3xCeilRow(v.y);
    float light[3];
    Lights<N>(v, light);
    if (r > row &&
        InsertEdge(span, MakeEdge<N>(span.spotX, v.x, span.spotLight, light, r - row, r)) != 0) {
      return R3X_ERR_FAILED;
    }
  }
  return 0;
}

template <int N>
std::int32_t AddLightEdgeToSpot(R3xRenderContext* context, const R3xClipVertex* vertex,
                                std::int32_t row) {
  R3xSpanState& span = context->span;
  if (!(row < span.spotRow)) {
    return 0;
  }
  float light[3];
  Lights<N>(*vertex, light);
  return InsertEdge(span, MakeEdge<N>(vertex->x, span.spotX, light, span.spotLight,
                                      span.spotRow - row, span.spotRow));
}

}  // namespace

void _r3xSpanLightDriver(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  R3xSpanState& span = context->span;
  const float entryLight = span.light;
  float prevX = span.lightOriginX;
  float prevLight = span.light;
  float targetX = span.spanEndX;
  float targetLight = span.spanEndLight[0];
  for (std::uint32_t i = 0; i < span.edgeCount; ++i) {
    const R3xLightEdge& edge = span.edges[i];
    const std::int32_t b =
        span.gridX + ((_r3xCeilRow(edge.x) - span.gridX + 8) & ~std::int32_t{15});
    if (b > x) {
      const std::int32_t n = b - x;
      if (n >= count) {
        targetX = static_cast<float>(b);
        targetLight = edge.light[0];
        break;
      }
      SetPiece(span, prevX, prevLight, static_cast<float>(b), edge.light[0]);
      span.routine(context, x, n);
      count -= n;
      x = b;
    }
    prevX = static_cast<float>(b);
    prevLight = edge.light[0];
  }
  if (count > 0) {
    SetPiece(span, prevX, prevLight, targetX, targetLight);
    span.routine(context, x, count);
  }
  span.light = entryLight;
}

std::int32_t _r3xFindLightSpot8(R3xRenderContext* context, float base, R3xClipVertex* vertices,
                                std::int32_t* count) {
  return FindLightSpot<1>(context, &base, vertices, count);
}

std::int32_t _r3xFindLightSpotRGB(R3xRenderContext* context, float red, float green, float blue,
                                  R3xClipVertex* vertices, std::int32_t* count) {
  const float base[3] = {red, green, blue};
  return FindLightSpot<3>(context, base, vertices, count);
}

std::int32_t _r3xAdvanceLightEdges(R3xRenderContext* context, const R3xClipVertex* vertices,
                                   std::int32_t count, std::int32_t row) {
  return AdvanceLightEdges<1>(context, vertices, count, row);
}

std::int32_t _r3xAdvanceLightEdgesRGB(R3xRenderContext* context, const R3xClipVertex* vertices,
                                      std::int32_t count, std::int32_t row) {
  return AdvanceLightEdges<3>(context, vertices, count, row);
}

std::int32_t _r3xAddLightEdgeToSpot(R3xRenderContext* context, const R3xClipVertex* vertex,
                                    std::int32_t row) {
  return AddLightEdgeToSpot<1>(context, vertex, row);
}

std::int32_t _r3xAddLightEdgeToSpotRGB(R3xRenderContext* context, const R3xClipVertex* vertex,
                                       std::int32_t row) {
  return AddLightEdgeToSpot<3>(context, vertex, row);
}

void _r3xSpanLightEdgesRGB(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  R3xSpanState& span = context->span;
  const float entry[3] = {span.light, span.green, span.blue};
  float prevX = span.lightOriginX;
  float prevLight[3] = {entry[0], entry[1], entry[2]};
  float targetX = span.spanEndX;
  const float* targetLight = span.spanEndLight;
  for (std::uint32_t i = 0; i < span.edgeCount; ++i) {
    const R3xLightEdge& edge = span.edges[i];
    const std::int32_t b = _r3xCeilRow(edge.x);
    if (b > x) {
      const std::int32_t n = b - x;
      if (n >= count) {
        targetX = static_cast<float>(b);
        targetLight = edge.light;
        break;
      }
      SetPieceRGB(span, prevX, prevLight, static_cast<float>(b), edge.light);
      span.savedColourRoutine(context, x, n);
      count -= n;
      x = b;
    }
    prevX = static_cast<float>(b);
    for (int k = 0; k < 3; ++k) {
      prevLight[k] = edge.light[k];
    }
  }
  if (count > 0) {
    SetPieceRGB(span, prevX, prevLight, targetX, targetLight);
    span.savedColourRoutine(context, x, count);
  }
  span.light = entry[0];
  span.green = entry[1];
  span.blue = entry[2];
}
