#include "engine/core/surface.h"

#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/surface_internal.h"

namespace {

R3xSimpleSprite* spriteTexture(const R3xSurface& surface) {
  if (surface.texture == nullptr || surface.texture->type != R3X_TYPE_SIMPLE_SPRITE) {
    return nullptr;
  }
  return reinterpret_cast<R3xSimpleSprite*>(surface.texture);
}

}  // namespace

void _r3xAddSurfaceTextureRefs(R3xSurface* surfaces, std::uint32_t count) {
  for (std::uint32_t i = count; i-- > 0;) {
    if (R3xSimpleSprite* sprite = spriteTexture(surfaces[i])) {
      r3xAddRef(&sprite->header);
    }
  }
}

void _r3xReleaseSurfaceTextures(R3xWorld* world, R3xSurface* surfaces, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    if (R3xSimpleSprite* sprite = spriteTexture(surfaces[i])) {
      // Only the last user's release lets the destruction through.
      if (r3xRelease(&sprite->header) == 0) {
        r3xDestroySimpleSprite(world, sprite);
      }
    }
  }
}

void _r3xFreeSurfaceUVs(R3xSurface* surfaces, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    r3xFree(surfaces[i].uv);
    surfaces[i].uv = nullptr;
  }
}
