// Simple sprites: an animated sequence of bitmaps, used as the texture of surfaces.
// Results: an object, or null; 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/core/object.h"

struct R3xWorld;
struct R3xSimpleSprite;

// R3X_TYPE_SIMPLE_SPRITE_DEF. The reference count is 1 for the default instance plus 1 for
// every other instance; every frame's bitmap is referenced once by the definition.
struct R3xSimpleSpriteDef {
  R3xObjectHeader header;
  std::uint32_t frameCount;
  // Owned copy of the caller's handles.
  R3xBitmapHandle* frames;
  R3xSimpleSprite* defaultInstance;
};

// R3X_TYPE_SIMPLE_SPRITE. Its reference count counts the surfaces and actors that use it, and 1
// for a default instance.
struct R3xSimpleSprite {
  R3xObjectHeader header;
  // The start frame's bitmap at creation.
  R3xBitmapHandle bitmap;
  std::uint32_t startFrame;
  // Milliseconds.
  std::uint32_t delay;
  // World time + delay when the instance was made; 0 in the default instance.
  std::uint32_t startTime;
  // Set by r3xSetSimpleSpriteFrame; the world files keep their skip-frames switch here.
  std::int32_t frameValue;
  R3xSimpleSpriteDef* definition;
};

// The definition, or the definition already known under the tag, unchanged. Null when another
// kind of object holds the tag, the start frame is not below the frame count, a frame is null,
// or out of memory; nothing is left behind or referenced then.
R3xSimpleSpriteDef* r3xCreateSimpleSpriteDef(R3xWorld* world, const char* tag,
                                             std::uint32_t frameCount,
                                             const R3xBitmapHandle* frames,
                                             std::uint32_t startFrame, std::uint32_t delay,
                                             std::int32_t frameValue);
// Releases every frame's bitmap and frees the definition with its default instance: 0, or
// R3X_ERR_DEF_IN_USE (nothing changed) while other instances exist or the default instance
// is used.
std::int32_t r3xDestroySimpleSpriteDef(R3xWorld* world, R3xSimpleSpriteDef* definition);

// A registered, untagged, unreferenced copy of the default instance starting at world time +
// delay, counted in the definition; null on failure.
R3xSimpleSprite* r3xCreateSimpleSprite(R3xWorld* world, R3xSimpleSpriteDef* definition);
// 0, or R3X_ERR_DEFAULT_INSTANCE (nothing changed) while anything references the sprite: a
// default instance always is.
std::int32_t r3xDestroySimpleSprite(R3xWorld* world, R3xSimpleSprite* sprite);

std::int32_t r3xSetSimpleSpriteFrame(R3xSimpleSprite* sprite, std::int32_t value);
