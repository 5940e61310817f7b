#include "engine/core/actor_parts.h"

#include "engine/core/actor.h"
#include "engine/core/actor_def.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"
#include "engine/core/part.h"
#include "engine/core/point_light.h"
#include "engine/core/simple_sprite.h"
#include "engine/core/sprite_2d.h"
#include "engine/core/sprite_3d.h"
#include "engine/core/tag_dictionary.h"
#include "engine/core/volume.h"

bool _r3xIsActorPartType(const R3xObjectHeader* part) {
  switch (part->type) {
    case R3X_TYPE_NULL:
    case R3X_TYPE_SIMPLE_SPRITE:
    case R3X_TYPE_2D_SPRITE:
    case R3X_TYPE_3D_SPRITE:
      return true;
    default:
      return false;
  }
}

std::int32_t _r3xReferenceActorParts(R3xObjectHeader** parts, std::uint32_t count,
                                     bool staticDefinition) {
  for (std::uint32_t i = count; i-- > 0;) {
    if (parts[i] == nullptr) {
      parts[i] = r3xNullPart();
    }
    R3xObjectHeader* part = parts[i];
    // A part whose count cannot take one more is refused like a part of another type.
    const bool taken =
        _r3xIsActorPartType(part) && (part->type == R3X_TYPE_NULL || r3xAddRef(part) == 0);
    if (!taken) {
      for (std::uint32_t j = i + 1; j < count; ++j) {
        _r3xReleaseActorPart(nullptr, parts[j], false);
      }
      return R3X_ERR_BAD_PART_TYPE;
    }
  }
  for (std::uint32_t i = 0; staticDefinition && i < count; ++i) {
    if (parts[i]->type == R3X_TYPE_3D_SPRITE) {
      parts[i]->flags |= R3X_FLAG_STATIC;
    }
  }
  return 0;
}

std::int32_t _r3xReleaseActorPart(R3xWorld* world, R3xObjectHeader* part, bool destroy) {
  switch (part->type) {
    case R3X_TYPE_NULL:
      return 0;
    case R3X_TYPE_SIMPLE_SPRITE:
      r3xRelease(part);
      if (destroy) {
        // Refused while anything else still uses the sprite.
        r3xDestroySimpleSprite(world, reinterpret_cast<R3xSimpleSprite*>(part));
      }
      return 0;
    case R3X_TYPE_2D_SPRITE:
      r3xRelease(part);
      if (destroy) {
        r3xDestroy2DSprite(world, reinterpret_cast<R3x2DSprite*>(part));
      }
      return 0;
    case R3X_TYPE_3D_SPRITE:
      r3xRelease(part);
      if (destroy) {
        r3xDestroy3DSprite(world, reinterpret_cast<R3x3DSprite*>(part));
      }
      return 0;
    default:
      return R3X_ERR_BAD_PART_TYPE;
  }
}

std::int32_t _r3xUnregisterActorObject(R3xWorld* world, R3xObjectHeader* object) {
  if ((object->flags & R3X_FLAG_IN_DICTIONARY) != 0) {
    r3xRemoveTag(world, object->tag);
  }
  const std::int32_t result = r3xUnregisterObject(world, object);
  r3xFree(object->tag);
  object->tag = nullptr;
  return result;
}

std::int32_t _r3xFreeActorRecord(R3xWorld* world, R3xActor* actor) {
  if (actor->pointLight != nullptr) {
    r3xDestroyPointLight(world, actor->pointLight);
    actor->pointLight = nullptr;
  }
  std::int32_t result = 0;
  const std::uint32_t partCount = actor->definition->partCount;
  for (std::uint32_t i = 0; actor->parts != nullptr && i < partCount; ++i) {
    if (_r3xReleaseActorPart(world, actor->parts[i], true) != 0) {
      result = R3X_ERR_BAD_PART_TYPE;
    }
  }
  r3xDestroyVolume(world, actor->volume);
  r3xDestroyVolume(world, actor->secondVolume);
  r3xFree(actor->vertexCache);
  r3xFree(actor->regions);
  r3xFree(actor->parts);
  r3xFree(actor);
  return result;
}
