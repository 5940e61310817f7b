#include "battle/effects/lens_flare.h"

#include <cstddef>
#include <cstring>

#include "battle/effects/sky_state.h"
#include "battle/effects/sky_view.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"
#include "host/interface/host_record.h"

namespace {

// The flare shows while the sun is within 128 units of noon.
constexpr float kFlareRise = 128.0f;
constexpr float kFlareSet = 384.0f;
// What the frame's depth clear leaves in the depth buffer.
constexpr std::uint16_t kClearDepth = 0xFFFF;
// The element's line ends 100 units ahead of the camera; its square reaches 50 x size pixels to
// each side of its centre.
constexpr float kAheadDistance = 100.0f;
constexpr float kHalfSquare = 50.0f;
constexpr float kColourScale = 1.0f / 256.0f;
// Textured, colours supplied, added onto the frame at translucency 3.
constexpr R3xRenderMethod kElementMethod = 0x41130443;

// A screen coordinate in sixteenths of a pixel, rounded, shifted down to whole pixels; none when
// it lies outside [0, limit).
bool ToPixel(float screen, int limit, int* pixel) {
  const float sixteenths = screen * 16.0f + 0.5f;
  if (!(sixteenths >= 0.0f && sixteenths < static_cast<float>(limit * 16))) {
    return false;
  }
  *pixel = static_cast<int>(sixteenths) >> 4;
  return true;
}

}  // namespace

SunPixel FindSunPixel(const SkyState& sky) {
  const R3xRenderContext& context = *sky.renderContext;
  const ClipPoint clip = ToClipSpace(context, *sky.camera, sky.sunPosition.data());
  SunPixel pixel{false, 0, 0};
  if (!(clip.z > 0.0f)) {
    return pixel;
  }
  const GrVertex screen = ProjectToScreen(context, clip);
  pixel.onView =
      ToPixel(screen.x, kScreenWidth, &pixel.x) && ToPixel(screen.y, kScreenHeight, &pixel.y);
  return pixel;
}

bool SunPixelIsClear(const SunPixel& pixel) {
  GrLfbInfo info{};
  info.size = sizeof(info);
  if (!grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_ANY,
                 GR_LFB_NOPIPELINE, &info)) {
    return false;
  }
  // An "any origin" lock may hand out the rows from the bottom: then the sun's row is counted
  // from there.
  const int row = info.origin == GR_ORIGIN_UPPER_LEFT ? pixel.y : kScreenHeight - 1 - pixel.y;
  const auto* bytes = static_cast<const std::uint8_t*>(info.lfbPtr);
  const std::size_t stride = info.strideInBytes & ~1u;
  std::uint16_t depth = 0;
  std::memcpy(
      &depth,
      bytes + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(pixel.x) * 2,
      sizeof(depth));
  grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_AUXBUFFER);
  return depth == kClearDepth;
}

std::int32_t DrawFlareElement(R3xWorld* /*world*/, R3xRenderContext* context,
                              const R3xCamera* camera, R3xBitmap* texture, const float sun[3],
                              float distance, float size, std::uint8_t red, std::uint8_t green,
                              std::uint8_t blue) {
  const int ah = r3xFloatToInt(camera->heading) & R3X_ANGLE_MASK;
  const int ap = r3xFloatToInt(camera->pitch) & R3X_ANGLE_MASK;
  const float* cosine = gR3xMathTables->cosine;
  const float* sine = gR3xMathTables->sine;
  const float forward[3] = {cosine[ah] * cosine[ap], sine[ah] * cosine[ap], sine[ap]};
  const float camera3[3] = {camera->x, camera->y, camera->z};
  float centre[3];
  for (int i = 0; i < 3; ++i) {
    const float ahead = camera3[i] + kAheadDistance * forward[i];
    centre[i] = sun[i] + (ahead - sun[i]) * distance;
  }
  const ClipPoint e = ToClipSpace(*context, *camera, centre);
  const float hx = e.z / context->halfViewWidth * size * kHalfSquare;
  const float hy = e.z / context->halfViewHeight * size * kHalfSquare;
  const float corners[4][2] = {
      {e.x - hx, e.y - hy}, {e.x - hx, e.y + hy}, {e.x + hx, e.y + hy}, {e.x + hx, e.y - hy}};
  const float uv[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  const auto lastColumn = static_cast<float>(texture->width - 1);
  const auto lastRow = static_cast<float>(texture->height - 1);
  for (int k = 0; k < 4; ++k) {
    PutSourceCorner(*context, k, centre, uv[k][0] * lastColumn, uv[k][1] * lastRow,
                    static_cast<float>(red) * kColourScale,
                    static_cast<float>(green) * kColourScale,
                    static_cast<float>(blue) * kColourScale);
    PutClipCorner(*context, k, {corners[k][0], corners[k][1], e.z});
  }
  for (int i = 0; i < 3; ++i) {
    context->polygonNormal[i] = -forward[i];
  }
  R3xSurface surface{};
  surface.type = R3X_TYPE_SURFACE;
  surface.texture = &texture->header;
  if (r3xGlideDrawPolygon(context, 4, &surface, kElementMethod) > 0) {
    ++context->polygonCount;
  }
  return 0;
}

std::int32_t DrawLensFlare(const SkyState& sky) {
  if (!(sky.sunAngle <= kFlareRise || sky.sunAngle >= kFlareSet)) {
    return 0;
  }
  const SunPixel pixel = FindSunPixel(sky);
  if (!pixel.onView || !SunPixelIsClear(pixel)) {
    return 0;
  }
  R3xRenderContext& context = *sky.renderContext;
  grFogMode(GR_FOG_DISABLE);
  grDepthBufferFunction(GR_CMP_ALWAYS);
  grDepthMask(FXFALSE);
  const float growth = (sky.fogScale - 1.0f) * sky.weatherLevel + 1.0f;
  std::int32_t result = 0;
  for (const FlareElement& element : sky.flare) {
    R3xBitmap* texture = element.type == 0 ? sky.flareDiscBitmap : sky.flareRingBitmap;
    if (r3xGlideSelectBitmap(context.glide, texture) != 0) {
      result = R3X_ERR_FAILED;
      break;
    }
    DrawFlareElement(sky.world, &context, sky.camera, texture, sky.sunPosition.data(),
                     element.distance, growth * element.scale, element.red, element.green,
                     element.blue);
  }
  grDepthMask(FXTRUE);
  grDepthBufferFunction(GR_CMP_LEQUAL);
  grFogMode(GR_FOG_WITH_TABLE);
  return result;
}
