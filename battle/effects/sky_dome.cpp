#include "battle/effects/sky_dome.h"

#include <algorithm>
#include <array>

#include "battle/core/vector3.h"
#include "battle/effects/particle_pool.h"
#include "battle/effects/sky_frustum.h"
#include "battle/effects/sky_gradient_table.h"
#include "battle/effects/sky_state.h"
#include "battle/effects/sky_view.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"

namespace {

constexpr float kCellSide = 1024.0f;
constexpr float kDomeHalfSide = 8192.0f;
// The dome is a cap of a sphere of this radius squared whose centre lies kDomeDrop below the
// camera: its top is 500 above the camera.
constexpr float kDomeRadiusSquared = 144000000.0f;
constexpr float kDomeDrop = 11500.0f;
// Gradient entries are 30 units of world height apart, the top entry from 480 up.
constexpr float kGradientTop = 499.9f;
constexpr float kGradientStepReciprocal = 0.033333335f;
constexpr float kColourScale = 1.0f / 256.0f;
constexpr float kTextureRange = 256.0f;

constexpr R3xRenderMethod kDomeMethod = 0x40000453;
// Textured and fully lit, added onto the sky at translucency 7.
constexpr R3xRenderMethod kBodyMethod = 0x1170407;
// Textured, lit by the ambient colour, opaque.
constexpr R3xRenderMethod kGroundMethod = 0x413;

// The sun and the moon show above these angles' horizon: below 136 or above 376.
constexpr float kRiseLimit = 136.0f;
constexpr float kSetLimit = 376.0f;
constexpr float kSunDistance = 810.0f;
constexpr float kMoonDistance = 800.0f;
constexpr float kNearlyZero = 0.0001f;

constexpr float kGroundHeight = -0.5f;
constexpr float kCloudAlpha = 128.0f;
constexpr float kSkyAlpha = 255.0f;

using HeightGrid = std::array<std::array<float, kSkyDomePoints>, kSkyDomePoints>;

// Built on the first use, after the engine's tables exist.
const HeightGrid& DomeHeights() {
  static const HeightGrid grid = [] {
    HeightGrid heights{};
    for (int r = 0; r < kSkyDomePoints; ++r) {
      for (int c = 0; c < kSkyDomePoints; ++c) {
        const float x = -kDomeHalfSide + kCellSide * static_cast<float>(c);
        const float y = -kDomeHalfSide + kCellSide * static_cast<float>(r);
        heights[r][c] = r3xSqrt(kDomeRadiusSquared - (x * x + y * y)) - kDomeDrop;
      }
    }
    return heights;
  }();
  return grid;
}

// The copy that each texture pass of the dome fills in; never allocated per frame.
std::array<GrVertex, R3X_GLIDE_BATCH_VERTICES> passVertices;

R3xSurface SurfaceOf(R3xBitmap* bitmap) {
  R3xSurface surface{};
  surface.type = R3X_TYPE_SURFACE;
  surface.texture = &bitmap->header;
  return surface;
}

void CountDrawn(R3xRenderContext& context, std::int32_t result) {
  if (result > 0) {
    ++context.polygonCount;
  }
}

// Two triangles of one dome cell into the shared batch, or two empty polygons for a cell outside
// the view.
void BatchCell(const SkyState& sky, const SkyFrustum& frustum, int r, int c) {
  R3xRenderContext& context = *sky.renderContext;
  const R3xCamera& camera = *sky.camera;
  const HeightGrid& heights = DomeHeights();
  const float x0 = camera.x - kDomeHalfSide + kCellSide * static_cast<float>(c);
  const float x1 = x0 + kCellSide;
  const float y0 = camera.y - kDomeHalfSide + kCellSide * static_cast<float>(r);
  const float y1 = y0 + kCellSide;
  const float h00 = heights[r][c] + camera.z;
  const float h01 = heights[r][c + 1] + camera.z;
  const float h10 = heights[r + 1][c] + camera.z;
  const float h11 = heights[r + 1][c + 1] + camera.z;
  const float low[3] = {x0, y0, std::min({h00, h01, h10, h11})};
  const float high[3] = {x1, y1, std::max({h00, h01, h10, h11})};
  const std::int32_t outcode = ComputeBoxOutcode(frustum, low, high);
  R3xGlideBatch& batch = *r3xGlideSharedBatch();
  if (outcode < 0) {
    for (int k = 0; k < 2 && batch.polygonCount < R3X_GLIDE_BATCH_POLYGONS; ++k) {
      batch.polygonVertexCounts[batch.polygonCount++] = 0;
    }
    return;
  }
  context.clipMask = static_cast<std::uint32_t>(outcode);
  struct Corner {
    float x, y, z, u, v;
  };
  const Corner first[3] = {{x0, y0, h00, 0, 0}, {x1, y0, h01, 0, 1}, {x1, y1, h11, 1, 1}};
  const Corner second[3] = {{x0, y0, h00, 0, 0}, {x1, y1, h11, 1, 1}, {x0, y1, h10, 1, 0}};
  R3xSurface surface{};
  for (const Corner* triangle : {first, second}) {
    for (int k = 0; k < 3; ++k) {
      const Corner& corner = triangle[k];
      const float world[3] = {corner.x, corner.y, corner.z};
      const SkyDomeColour colour = SkyDomeVertexColour(sky.step, sky.blend, corner.z);
      PutCorner(context, camera, k, world, corner.u, corner.v, colour.red, colour.green,
                colour.blue);
    }
    CountDrawn(context, r3xGlideBatchPolygon(&context, 3, &surface, kDomeMethod));
  }
}

// One texture pass over the batched dome: `texture` fills in each vertex's alpha and texture
// coordinates, given the polygon's cell row and column.
template <typename Texture>
void DrawDomePass(Texture texture) {
  const R3xGlideBatch& batch = *r3xGlideSharedBatch();
  std::copy_n(batch.vertices, batch.vertexCount, passVertices.begin());
  std::int32_t first = 0;
  for (std::int32_t p = 0; p < batch.polygonCount; ++p) {
    const std::int32_t count = batch.polygonVertexCounts[p];
    if (count >= 3) {
      const int cell = p / 2;
      GrVertex* vertices = &passVertices[static_cast<std::size_t>(first)];
      for (std::int32_t k = 0; k < count; ++k) {
        texture(vertices[k], cell / kSkyDomeCells, cell % kSkyDomeCells);
      }
      grDrawPolygonVertexList(count, vertices);
    }
    first += count;
  }
}

bool DrawDome(const SkyState& sky, const SkyFrustum& frustum) {
  R3xRenderContext& context = *sky.renderContext;
  R3xGlideBatch& batch = *r3xGlideSharedBatch();
  batch.vertexCount = 0;
  batch.polygonCount = 0;
  for (int r = 0; r < kSkyDomeCells; ++r) {
    for (int c = 0; c < kSkyDomeCells; ++c) {
      BatchCell(sky, frustum, r, c);
    }
  }
  // The sky texture spans 2 x 2 cells and drifts along y with the far cloud scroll.
  if (r3xGlideSelectBitmap(context.glide, sky.skyBitmap) != 0) {
    return false;
  }
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
  const float far = sky.farCloudScroll;
  DrawDomePass([far](GrVertex& vertex, int row, int column) {
    vertex.a = kSkyAlpha;
    const float s = vertex.tmuvtx[0].sow * 0.5f + far + (row % 2 != 0 ? 0.5f : 0.0f);
    const float t = vertex.tmuvtx[0].tow * 0.5f + (column % 2 != 0 ? 0.5f : 0.0f);
    vertex.tmuvtx[0].sow = s * vertex.oow * kTextureRange;
    vertex.tmuvtx[0].tow = t * vertex.oow * kTextureRange;
  });
  // The cloud texture spans one cell, drifts with the near cloud scroll and lies over the sky at
  // half strength.
  if (r3xGlideSelectBitmap(context.glide, sky.cloudBitmap) != 0) {
    return false;
  }
  grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                       GR_BLEND_ZERO);
  const float near = sky.nearCloudScroll;
  DrawDomePass([near](GrVertex& vertex, int, int) {
    vertex.a = kCloudAlpha;
    vertex.tmuvtx[0].sow = (vertex.tmuvtx[0].sow + near) * vertex.oow * kTextureRange;
    vertex.tmuvtx[0].tow = vertex.tmuvtx[0].tow * vertex.oow * kTextureRange;
  });
  return true;
}

bool AboveHorizon(float angle) { return angle < kRiseLimit || angle > kSetLimit; }

// A square of half side `half` at the position, facing the camera and turned about the line of
// sight by the heading (at heading 0 its first axis is horizontal).
bool DrawBody(const SkyState& sky, R3xBitmap* bitmap, const Vector3& position, float half,
              float heading) {
  R3xRenderContext& context = *sky.renderContext;
  const R3xCamera& camera = *sky.camera;
  if (r3xGlideSelectBitmap(context.glide, bitmap) != 0) {
    return false;
  }
  const int h = r3xFloatToInt(heading) & R3X_ANGLE_MASK;
  const float cosH = gR3xMathTables->cosine[h];
  const float sinH = gR3xMathTables->sine[h];
  const Vector3 w{0.0f, cosH, sinH};
  const Vector3 d{position[0] - camera.x, position[1] - camera.y, position[2] - camera.z};
  const float lengthSquared = Dot(d, d);
  Vector3 u = w;
  Vector3 v{0.0f, -sinH, cosH};
  Vector3 normal{0.0f, 0.0f, 0.0f};
  if (lengthSquared > kNearlyZero) {
    const Vector3 unit = Scaled(d, r3xInvSqrt(lengthSquared));
    const float m = Dot(d, w);
    const float rSquared = d[0] * d[0] + m * m;
    if (rSquared > kNearlyZero) {
      const float inverse = r3xInvSqrt(rSquared);
      u = {(m - d[0] * w[0]) * inverse, -d[0] * w[1] * inverse, -d[0] * w[2] * inverse};
    }
    v = Cross(u, unit);
    normal = Scaled(unit, -1.0f);
  }
  const float ab[4][2] = {{-half, -half}, {-half, half}, {half, half}, {half, -half}};
  const float uv[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  const auto lastColumn = static_cast<float>(bitmap->width - 1);
  const auto lastRow = static_cast<float>(bitmap->height - 1);
  for (int k = 0; k < 4; ++k) {
    const float world[3] = {position[0] + ab[k][0] * u[0] + ab[k][1] * v[0],
                            position[1] + ab[k][0] * u[1] + ab[k][1] * v[1],
                            position[2] + ab[k][0] * u[2] + ab[k][1] * v[2]};
    PutCorner(context, camera, k, world, uv[k][0] * lastColumn, uv[k][1] * lastRow, 0.0f, 0.0f,
              0.0f);
  }
  context.polygonNormal[0] = normal[0];
  context.polygonNormal[1] = normal[1];
  context.polygonNormal[2] = normal[2];
  const R3xSurface surface = SurfaceOf(bitmap);
  CountDrawn(context, r3xGlideDrawPolygon(&context, 4, &surface, kBodyMethod));
  return true;
}

Vector3 BodyPosition(const R3xCamera& camera, float angle, float distance) {
  return {camera.x + distance * r3xSinUnits(angle), camera.y, distance * r3xCosUnits(angle)};
}

struct GroundQuad {
  float corners[4][2];
  float uv[4][2];
};

void PutGroundQuad(R3xRenderContext& context, const R3xCamera& camera, const float corners[4][2],
                   const float uv[4][2], const R3xBitmap& bitmap) {
  const auto width = static_cast<float>(bitmap.width);
  const auto height = static_cast<float>(bitmap.height);
  for (int k = 0; k < 4; ++k) {
    const float world[3] = {corners[k][0], corners[k][1], kGroundHeight};
    PutCorner(context, camera, k, world, uv[k][0] * width, uv[k][1] * height, 0.0f, 0.0f, 0.0f);
  }
}

// The centre square shows only beyond the far distance; four strips lie around it.
bool DrawGround(const SkyState& sky) {
  R3xRenderContext& context = *sky.renderContext;
  const R3xCamera& camera = *sky.camera;
  R3xBitmap* bitmap = sky.groundBitmap;
  if (r3xGlideSelectBitmap(context.glide, bitmap) != 0) {
    return false;
  }
  context.polygonNormal[0] = 0.0f;
  context.polygonNormal[1] = 0.0f;
  context.polygonNormal[2] = 1.0f;
  const R3xSurface surface = SurfaceOf(bitmap);
  constexpr float kCentre[4][2] = {
      {-1024.5f, 1024.5f}, {1024.5f, 1024.5f}, {1024.5f, -1024.5f}, {-1024.5f, -1024.5f}};
  constexpr float kCentreUv[4][2] = {{0, 0}, {0, 128}, {128, 128}, {128, 0}};
  PutGroundQuad(context, camera, kCentre, kCentreUv, *bitmap);
  const float nearDistance = context.nearDistance;
  context.nearDistance = context.farDistance;
  CountDrawn(context, r3xGlideDrawPolygon(&context, 4, &surface, kGroundMethod));
  context.nearDistance = nearDistance;
  static constexpr GroundQuad kStrips[4] = {
      {{{1023.5f, 1024.5f}, {2048.5f, 1024.5f}, {2048.5f, -2048.5f}, {1023.5f, -2048.5f}},
       {{0, 0}, {0, 448}, {576, 448}, {576, 0}}},
      {{{-2048.5f, -1023.5f}, {1024.5f, -1023.5f}, {1024.5f, -2048.5f}, {-2048.5f, -2048.5f}},
       {{0, 0}, {0, 576}, {448, 576}, {448, 0}}},
      {{{-2048.5f, 2048.5f}, {-1023.5f, 2048.5f}, {-1023.5f, -1024.5f}, {-2048.5f, -1024.5f}},
       {{0, 0}, {0, 448}, {576, 448}, {576, 0}}},
      {{{-1024.5f, 2048.5f}, {2048.5f, 2048.5f}, {2048.5f, 1023.5f}, {-1024.5f, 1023.5f}},
       {{0, 0}, {0, 576}, {448, 576}, {448, 0}}},
  };
  for (const GroundQuad& strip : kStrips) {
    PutGroundQuad(context, camera, strip.corners, strip.uv, *bitmap);
    CountDrawn(context, r3xGlideDrawPolygon(&context, 4, &surface, kGroundMethod));
  }
  return true;
}

bool DrawBodiesAndGround(SkyState& sky) {
  const R3xCamera& camera = *sky.camera;
  sky.renderContext->clipMask = kClipAllButFar;
  grFogMode(GR_FOG_DISABLE);
  if (AboveHorizon(sky.sunAngle)) {
    sky.sunPosition = BodyPosition(camera, sky.sunAngle, kSunDistance);
    const float half = ((sky.fogScale - 1.0f) * sky.weatherLevel + 1.0f) * sky.sunScale;
    if (!DrawBody(sky, sky.sunBitmap, sky.sunPosition, half, camera.heading)) {
      return false;
    }
  }
  // The weather does not enlarge the moon, and its square keeps its first axis horizontal.
  if (AboveHorizon(sky.moonAngle)) {
    sky.moonPosition = BodyPosition(camera, sky.moonAngle, kMoonDistance);
    if (!DrawBody(sky, sky.moonBitmap, sky.moonPosition, sky.moonScale, 0.0f)) {
      return false;
    }
  }
  grFogMode(GR_FOG_WITH_TABLE);
  grDepthMask(FXTRUE);
  return DrawGround(sky);
}

}  // namespace

float SkyDomeHeight(int row, int column) { return DomeHeights()[row][column]; }

int SkyGradientEntry(float z) {
  // Not a number counts as the horizon.
  const float height = z > 0.0f ? std::min(z, kGradientTop) : 0.0f;
  return kSkyGradientEntries - 1 - static_cast<int>(height * kGradientStepReciprocal);
}

SkyDomeColour SkyDomeVertexColour(std::int32_t step, float blend, float z) {
  // Steps come from the day clock, which keeps them in the tables.
  const std::int32_t first = std::clamp(step, 0, kTimeOfDaySteps - 1);
  const std::int32_t second = first + 1 == kTimeOfDaySteps ? 0 : first + 1;
  const auto entry = static_cast<std::size_t>(SkyGradientEntry(z));
  const SkyColour& a = SkyGradientTable[static_cast<std::size_t>(first)][entry];
  const SkyColour& b = SkyGradientTable[static_cast<std::size_t>(second)][entry];
  const auto mix = [blend](std::uint8_t one, std::uint8_t other) {
    return (static_cast<float>(one) * blend + static_cast<float>(other) * (1.0f - blend)) *
           kColourScale;
  };
  return {mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue)};
}

std::int32_t DrawSky(SkyState* sky) {
  if (sky->camera == nullptr || !IsReadyForSky(sky->renderContext)) {
    return R3X_ERR_FAILED;
  }
  if (!sky->skyStarted) {
    sky->skyStarted = true;
    DomeHeights();
    if (sky->particles != nullptr) {
      sky->particles->Reset(*sky->camera);
    }
  }
  grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO,
               GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ZERO, FXFALSE, FXFALSE);
  grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
  grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                 GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
  const SkyFrustum frustum = MakeSkyFrustum(*sky->renderContext, *sky->camera);
  grDepthMask(FXFALSE);
  const bool raining = sky->particles != nullptr && sky->particles->Mode() == WeatherMode::kRain;
  const bool drawn = (raining || DrawDome(*sky, frustum)) && DrawBodiesAndGround(*sky);
  if (!drawn) {
    // What follows in the frame expects depth writes and table fog on.
    grFogMode(GR_FOG_WITH_TABLE);
    grDepthMask(FXTRUE);
    return R3X_ERR_FAILED;
  }
  return 0;
}
