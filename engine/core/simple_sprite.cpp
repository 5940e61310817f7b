#include "engine/core/simple_sprite.h"

#include <cstddef>

#include "engine/core/bitmap_frames.h"
#include "engine/core/definition.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/world.h"

R3xSimpleSpriteDef* r3xCreateSimpleSpriteDef(R3xWorld* world, const char* tag,
                                             std::uint32_t frameCount,
                                             const R3xBitmapHandle* frames,
                                             std::uint32_t startFrame, std::uint32_t delay,
                                             std::int32_t frameValue) {
  R3xSimpleSpriteDef* definition = nullptr;
  if (!_r3xBeginDefinition(world, tag, R3X_TYPE_SIMPLE_SPRITE_DEF, &definition, [&] {
        return startFrame < frameCount && _r3xAreBitmapFrames(frames, frameCount);
      })) {
    return definition;
  }
  definition->frames =
      static_cast<R3xBitmapHandle*>(r3xMalloc(std::size_t{frameCount} * sizeof(R3xBitmapHandle)));
  auto* instance = static_cast<R3xSimpleSprite*>(r3xMalloc(sizeof(R3xSimpleSprite)));
  if (definition->frames != nullptr && instance != nullptr) {
    for (std::uint32_t i = 0; i < frameCount; ++i) {
      definition->frames[i] = frames[i];
    }
    definition->frameCount = frameCount;
    *instance = {{R3X_TYPE_SIMPLE_SPRITE, -1, nullptr, 0, 1},
                 frames[startFrame],
                 startFrame,
                 delay,
                 0,
                 frameValue,
                 definition};
    if (r3xRegisterObject(world, &instance->header) == 0) {
      if (_r3xReferenceBitmapFrames(definition->frames, frameCount) == 0) {
        definition->defaultInstance = instance;
        return definition;
      }
      r3xUnregisterObject(world, &instance->header);
    }
  }
  r3xFree(instance);
  r3xFree(definition->frames);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return nullptr;
}

std::int32_t r3xDestroySimpleSpriteDef(R3xWorld* world, R3xSimpleSpriteDef* definition) {
  if (definition == nullptr) {
    return R3X_ERR_FAILED;
  }
  R3xSimpleSprite* instance = definition->defaultInstance;
  if (definition->header.refCount != 1 || instance->header.refCount != 1) {
    return R3X_ERR_DEF_IN_USE;
  }
  _r3xReleaseBitmapFrames(definition->frames, definition->frameCount);
  _r3xUnregisterTagged(world, &instance->header);
  r3xFree(instance);
  r3xFree(definition->frames);
  _r3xUnregisterTagged(world, &definition->header);
  r3xFree(definition);
  return 0;
}

R3xSimpleSprite* r3xCreateSimpleSprite(R3xWorld* world, R3xSimpleSpriteDef* definition) {
  if (definition == nullptr) {
    return nullptr;
  }
  auto* sprite = static_cast<R3xSimpleSprite*>(r3xMalloc(sizeof(R3xSimpleSprite)));
  if (sprite == nullptr) {
    return nullptr;
  }
  *sprite = *definition->defaultInstance;
  sprite->header.refCount = 0;
  sprite->startTime = world->time + sprite->delay;
  if (_r3xRegisterInstance(world, &sprite->header, &definition->header) != 0) {
    r3xFree(sprite);
    return nullptr;
  }
  return sprite;
}

std::int32_t r3xDestroySimpleSprite(R3xWorld* world, R3xSimpleSprite* sprite) {
  if (sprite == nullptr) {
    return R3X_ERR_FAILED;
  }
  if (sprite->header.refCount != 0 || sprite->definition->defaultInstance == sprite) {
    return R3X_ERR_DEFAULT_INSTANCE;
  }
  _r3xUnregisterInstance(world, &sprite->header, &sprite->definition->header);
  r3xFree(sprite);
  return 0;
}

std::int32_t r3xSetSimpleSpriteFrame(R3xSimpleSprite* sprite, std::int32_t value) {
  sprite->frameValue = value;
  return 0;
}
