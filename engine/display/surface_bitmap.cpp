#include "engine/display/surface_bitmap.h"

#include "engine/core/bitmap.h"
#include "engine/core/object.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/surface.h"

R3xBitmap* _r3xSurfaceBitmap(const R3xSurface* surface) {
  R3xObjectHeader* object = surface->texture;
  if (object != nullptr && object->type == R3X_TYPE_SIMPLE_SPRITE) {
    const R3xSimpleSpriteDef* definition =
        reinterpret_cast<const R3xSimpleSprite*>(object)->definition;
    if (definition == nullptr || definition->frameCount == 0 || definition->frames[0] == nullptr) {
      return nullptr;
    }
    object = definition->frames[0]->object;
  }
  if (object == nullptr || object->type != R3X_TYPE_BITMAP) {
    return nullptr;
  }
  return reinterpret_cast<R3xBitmap*>(object);
}
