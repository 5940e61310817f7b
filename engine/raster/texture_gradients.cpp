#include <algorithm>
#include <bit>
#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/core/bitmap_internal.h"
#include "engine/core/object.h"
#include "engine/core/render_context.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/surface.h"
#include "engine/raster/texture_gradients_internal.h"

namespace {

constexpr std::int32_t kMipThresholdCount = 9;

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// A world vector in the gradient space: x and y rows with the projection and the half view
// sizes (the image lies at (X/Z, -Y/Z) pixels from the view centre), and the view direction.
void ToScreenSpace(const R3xRenderContext* context, const float* vector, float* out) {
  const float depthRow[3] = {context->view[2], context->view[5], context->view[8]};
  out[0] = Dot(context->clipColumns[0], vector) * context->halfViewWidth;
  out[1] = Dot(context->clipColumns[1], vector) * context->halfViewHeight;
  out[2] = Dot(depthRow, vector);
}

float SquaredStep(float dx, float dy) { return dx * dx + dy * dy; }

// The larger of two squared steps; undefined when either is.
float Larger(float a, float b) { return a >= b || a != a ? a : b; }

// The level for a squared texel step, with the span state's texture fields of that level.
std::int32_t ChooseLevel(R3xRenderContext* context, const R3xBitmap* bitmap, float step2) {
  const std::int32_t levels = context->mipSwitch != 0 ? _r3xUsableMipLevels(bitmap) : 0;
  R3xSpanState& span = context->span;
  const std::uint8_t* texels = bitmap->pixels;
  std::uint32_t width = static_cast<std::uint32_t>(bitmap->width);
  std::uint32_t height = static_cast<std::uint32_t>(bitmap->height);
  std::int32_t widthShift = bitmap->widthLog2;
  std::int32_t level = 0;
  // An infinite or undefined step takes every level.
  while (level < levels && !(step2 <= context->mipThresholds[level])) {
    texels += std::size_t{width} * height;
    width >>= 1;
    height >>= 1;
    --widthShift;
    ++level;
  }
  span.texels = texels;
  span.textureWidth = width;
  span.textureHeight = height;
  span.widthShift = widthShift;
  span.uMask = width - 1;
  span.vMask = (height - 1) << 22;
  span.vShift = 22 - widthShift;
  return level;
}

}  // namespace

R3xBitmap* _r3xTextureBitmap(const R3xSurface* surface) {
  const R3xObjectHeader* object = surface->texture;
  if (object != nullptr && object->type == R3X_TYPE_SIMPLE_SPRITE) {
    const R3xBitmapHandle handle = reinterpret_cast<const R3xSimpleSprite*>(object)->bitmap;
    object = handle != nullptr ? handle->object : nullptr;
  }
  if (object == nullptr || object->type != R3X_TYPE_BITMAP) {
    return nullptr;
  }
  auto* bitmap = reinterpret_cast<R3xBitmap*>(const_cast<R3xObjectHeader*>(object));
  if (bitmap->pixels == nullptr || bitmap->bitCount != 8 || bitmap->width <= 0 ||
      bitmap->height <= 0) {
    return nullptr;
  }
  return bitmap;
}

std::int32_t _r3xUsableMipLevels(const R3xBitmap* bitmap) {
  const auto smaller = static_cast<std::uint32_t>(std::min(bitmap->width, bitmap->height));
  const auto sideLevels = static_cast<std::int32_t>(std::bit_width(smaller)) - 1;
  return std::max(0, std::min({bitmap->lastFrame, kMipThresholdCount, sideLevels}));
}

std::int32_t _r3xSetupTextureGradients(R3xRenderContext* context, const R3xSurface* surface,
                                       float centreX, float centreY) {
  const R3xBitmap* bitmap = _r3xTextureBitmap(surface);
  if (bitmap == nullptr) {
    return R3X_ERR_FAILED;
  }
  const float origin[3] = {surface->uvOrigin[0] + context->translation[0],
                           surface->uvOrigin[1] + context->translation[1],
                           surface->uvOrigin[2] + context->translation[2]};
  float o[3];
  float u[3];
  float v[3];
  ToScreenSpace(context, origin, o);
  ToScreenSpace(context, surface->uAxis, u);
  ToScreenSpace(context, surface->vAxis, v);
  R3xSpanState& span = context->span;
  span.interpolants[0] = o[0] * v[1] - o[1] * v[0];
  span.xGradients[0] = o[1] * v[2] - o[2] * v[1];
  span.yGradients[0] = o[0] * v[2] - o[2] * v[0];
  span.interpolants[1] = o[1] * u[0] - o[0] * u[1];
  span.xGradients[1] = o[2] * u[1] - o[1] * u[2];
  span.yGradients[1] = o[2] * u[0] - o[0] * u[2];
  span.interpolants[2] = v[0] * u[1] - v[1] * u[0];
  span.xGradients[2] = v[1] * u[2] - v[2] * u[1];
  span.yGradients[2] = v[0] * u[2] - v[2] * u[0];

  const float a = span.xGradients[2];
  const float b = span.yGradients[2];
  const float w = 1.0f / (span.interpolants[2] + a * centreX + b * centreY);
  const float uAt =
      (span.interpolants[0] + span.xGradients[0] * centreX + span.yGradients[0] * centreY) * w;
  const float vAt =
      (span.interpolants[1] + span.xGradients[1] * centreX + span.yGradients[1] * centreY) * w;
  const float dudx = (span.xGradients[0] - uAt * a) * w;
  const float dudy = (span.yGradients[0] - uAt * b) * w;
  const float dvdx = (span.xGradients[1] - vAt * a) * w;
  const float dvdy = (span.yGradients[1] - vAt * b) * w;
  const float step2 = Larger(SquaredStep(dudx, dudy), SquaredStep(dvdx, dvdy));
  const std::int32_t level = ChooseLevel(context, bitmap, step2);

  const auto scale = static_cast<float>(1u << level);
  span.interpolants[2] *= scale;
  span.xGradients[2] *= scale;
  span.yGradients[2] *= scale;
  for (int i = 0; i < 3; ++i) {
    span.xGradients16[i] = span.xGradients[i] * 16.0f;
  }
  return R3X_DONE;
}

std::int32_t _r3xSelectAffineMipLevel(R3xRenderContext* context, const R3xSurface* surface,
                                      R3xClipVertex* vertices, std::int32_t count,
                                      const R3xClipVertex* top, const R3xClipVertex* bottom,
                                      const R3xClipVertex* left, const R3xClipVertex* right) {
  const R3xBitmap* bitmap = _r3xTextureBitmap(surface);
  if (bitmap == nullptr) {
    return R3X_ERR_FAILED;
  }
  const float dx = right->x - left->x;
  const float dy = bottom->y - top->y;
  const float dudx = (right->u - left->u) / dx;
  const float dvdx = (right->v - left->v) / dx;
  const float dudy = (bottom->u - top->u) / dy;
  const float dvdy = (bottom->v - top->v) / dy;
  const float step2 = Larger(SquaredStep(dudx, dudy), SquaredStep(dvdx, dvdy));
  const std::int32_t level = ChooseLevel(context, bitmap, step2);
  if (level > 0) {
    const float scale = 1.0f / static_cast<float>(1u << level);
    for (std::int32_t i = 0; i < count; ++i) {
      vertices[i].u *= scale;
      vertices[i].v *= scale;
    }
  }
  return R3X_DONE;
}
