#include <cstdint>

#include "engine/core/light.h"
#include "engine/core/light_internal.h"
#include "engine/core/math_sqrt.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/point_light.h"
#include "engine/core/region.h"
#include "engine/core/render_context.h"
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

float OwnLight(const R3xPointLight& light, float dist) {
  return light.radius * light.radius / (dist * dist + 1.0f) * FrameIntensity(light.light) *
         kRadiusFactor;
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
struct Placement {
  bool usable;
  bool moved;
  Screen at;
  float weight;
  float edgeLight;
};

Placement Place(const R3xRenderContext* context, const R3xClipVertex* v, std::int32_t count,
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
    return {true, true, q, wa / sum, (wb * a.red + wc * b.red) / sum};
  }
  return {true, false, s, 0.0f, 0.0f};
}

// The other point lights' terms at the foot point.
float OtherLights(const R3xRenderContext* context, const R3xPointLight* spotLight,
                  const float* normal, const float* foot) {
  float sum = 0.0f;
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
      sum += other.radius * other.radius * FrameIntensity(other.light) * kRadiusFactor * cosine /
             (gg + 1.0f);
    }
  }
  return sum;
}

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
      m.red = _r3xLimitLight((1.0f - w) * (a.red + b.red) * 0.5f + w * span.spotLight[0]);
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

R3xLightEdge MakeEdge(float x, float toX, float light, float toLight, std::int32_t rows,
                      std::int32_t endRow) {
  const float k = 1.0f / static_cast<float>(rows);
  R3xLightEdge edge{};
  edge.endRow = endRow;
  edge.x = x;
  edge.xStep = (toX - x) * k;
  edge.light[0] = light;
  edge.lightStep[0] = (toLight - light) * k * kEdgeLightFactor;
  return edge;
}

// The light gradient of a piece from (fromX, fromLight) toward (toX, toLight), in the span
// state.
void SetPiece(R3xSpanState& span, float fromX, float fromLight, float toX, float toLight) {
  const float gradient = (toLight - fromLight) / ((toX - fromX) + 0.5f);
  span.lightStep = gradient;
  span.lightStepFixed = _r3xStepFixed20(gradient);
  span.light = fromLight - (fromX - span.lightOriginX) * gradient;
}

}  // namespace

std::int32_t _r3xFindLightSpot8(R3xRenderContext* context, float base, R3xClipVertex* vertices,
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
    const float f = OwnLight(light, dist);
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
    const Placement place = Place(context, vertices, *count, screen);
    if (!place.usable) {
      continue;
    }
    float spotLight = f;
    if (dist > kNearestLightDistance2) {
      spotLight += OtherLights(context, &light, normal, foot);
    }
    spotLight = _r3xLimitLight(spotLight + base);
    if (place.moved) {
      spotLight = _r3xLimitLight(place.weight * spotLight + place.edgeLight);
    }
    span.spotX = place.at.x;
    span.spotY = place.at.y;
    span.spotRow = _r3xCeilRow(place.at.y);
    span.spotLight[0] = spotLight;
    span.edgeCount = 0;
    best = f;
    found = 1;
  }
  if (found != 0 && context->subdivisionCosine > kNoSubdivision) {
    Subdivide(context, vertices, count);
  }
  return found;
}

std::int32_t _r3xAdvanceLightEdges(R3xRenderContext* context, const R3xClipVertex* vertices,
                                   std::int32_t count, std::int32_t row) {
  R3xSpanState& span = context->span;
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < span.edgeCount; ++i) {
    R3xLightEdge edge = span.edges[i];
    if (edge.endRow < row) {
      continue;
    }
    edge.x += edge.xStep;
    edge.light[0] += edge.lightStep[0];
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
    if (r > row &&
        InsertEdge(span, MakeEdge(span.spotX, v.x, span.spotLight[0], v.red, r - row, r)) != 0) {
      return R3X_ERR_FAILED;
    }
  }
  return 0;
}

std::int32_t _r3xAddLightEdgeToSpot(R3xRenderContext* context, const R3xClipVertex* vertex,
                                    std::int32_t row) {
  R3xSpanState& span = context->span;
  if (!(row < span.spotRow)) {
    return 0;
  }
  return InsertEdge(span, MakeEdge(vertex->x, span.spotX, vertex->red, span.spotLight[0],
                                   span.spotRow - row, span.spotRow));
}

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
