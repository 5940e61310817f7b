// 2D sprites: billboards whose frame is chosen from view sets by the angle they are seen from,
// drawn as a quad with one surface.
// Results: an object, or null; 0 or a negative R3X_ERR_ code; values.
#pragma once

#include <cstdint>

#include "engine/core/bitmap.h"
#include "engine/core/math_plane.h"
#include "engine/core/object.h"
#include "engine/core/render_method.h"
#include "engine/core/surface.h"

struct R3xWorld;
struct R3xVolume;
struct R3x2DSprite;

// The frames shown from one range of headings.
struct R3x2DSpriteView {
  float headingCap;
  // Frames-per-view handles, each bitmap referenced once by the definition.
  R3xBitmapHandle* frames;
};

// The views of one range of pitches.
struct R3x2DSpriteViewSet {
  float pitchCap;
  std::uint32_t topOrBottomView;
  std::uint32_t viewCount;
  R3x2DSpriteView* views;
};

// R3X_TYPE_2D_SPRITE_DEF. The reference count is 1 for the default instance plus 1 for every
// other instance.
struct R3x2DSpriteDef {
  R3xObjectHeader header;
  std::uint32_t framesPerView;
  std::uint32_t viewSetCount;
  // Owned, with their views and frame arrays.
  R3x2DSpriteViewSet* viewSets;
  float sizeX;
  float sizeY;
  float depthScale;
  float radius;
  R3x2DSprite* defaultInstance;
};

// R3X_TYPE_2D_SPRITE. Its reference count counts the actors that use it, and 1 for a default
// instance.
struct R3x2DSprite {
  R3xObjectHeader header;
  // Owned.
  R3xVolume* volume;
  // Without texture or UV array; its render method is the sprite's.
  R3xSurface surface;
  std::int32_t currentFrame;
  // Milliseconds.
  std::uint32_t delay;
  // World time + delay when the instance was made; 0 in the default instance.
  std::uint32_t startTime;
  std::int32_t skipFrames;
  // From the actor's position.
  float offset[3];
  std::uint32_t reserved;
  R3x2DSpriteDef* definition;
  // Corners 0 to 3; the index array belongs to the default instance.
  R3xIndexedPolygon quad;
};

// The definition, or the definition already known under the tag, unchanged (nothing is taken
// then). A new definition takes over the view set array and each set's view array, references
// every frame's bitmap and puts an owned copy of each frame array in place of the caller's,
// which stays the caller's; its default instance takes the volume (null: the empty volume) and
// a copy of the surface. Null when another kind of object holds the tag, a frame is not a
// bitmap, or out of memory; the caller then keeps everything and nothing is referenced.
R3x2DSpriteDef* r3xCreate2DSpriteDef(R3xWorld* world, const char* tag, std::uint32_t framesPerView,
                                     std::uint32_t viewSetCount, R3x2DSpriteViewSet* viewSets,
                                     float sizeX, float sizeY, float depthScale,
                                     const R3xSurface* surface, std::int32_t currentFrame,
                                     std::uint32_t delay, std::int32_t skipFrames,
                                     const float* offset, R3xVolume* volume, float radius);
// Destroys the default instance's volume, releases every frame's bitmap and frees the
// definition with its default instance: 0, or R3X_ERR_DEF_IN_USE (nothing changed) while
// other instances exist or the default instance is used.
std::int32_t r3xDestroy2DSpriteDef(R3xWorld* world, R3x2DSpriteDef* definition);

// A registered, untagged, unreferenced copy of the default instance starting at world time +
// delay, with a copy of the given volume (null: of the default's), counted in the definition;
// null on failure.
R3x2DSprite* r3xCreate2DSprite(R3xWorld* world, R3x2DSpriteDef* definition,
                               const R3xVolume* volume);
// 0, or R3X_ERR_DEFAULT_INSTANCE (nothing changed) while anything references the sprite.
std::int32_t r3xDestroy2DSprite(R3xWorld* world, R3x2DSprite* sprite);

R3xRenderMethod r3xGet2DSpriteRenderMethod(const R3x2DSprite* sprite);
// 0, or R3X_ERR_FAILED for an indirect method that the render context's indirect table cannot
// resolve.
std::int32_t r3xSet2DSpriteRenderMethod(const R3xIndirectRenderMethods* indirect,
                                        R3x2DSprite* sprite, R3xRenderMethod method);
float r3xGet2DSpriteRadius(const R3x2DSpriteDef* definition);
