// The world draw's sprite queueing: an actor's 2D or 3D sprite part puts its polygons into the
// frame's draw lists; nothing is drawn here. A 2D sprite is a bitmap quad turned to the viewer,
// its frame chosen from the views by the angle it is seen from; a 3D sprite's vertices are
// placed in the world (kept in the actor's cache while the actor stands still) and its front
// faces queued back to front through its face tree.
// Results: 1, or a negative R3X_ERR_SPRITE3D_ code.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xRenderContext;
struct R3xObjectEntry;
struct R3x2DSprite;
struct R3x3DSprite;

// 2D sprites a frame holds: four corners and four texture coordinates each.
inline constexpr std::uint32_t R3X_GLIDE_2D_SPRITES = 250;

// Empties the 2D sprite stores for a new frame.
void _r3xGlideResetSpriteStores();

// The entry's actor (its object word is the actor's slot) drawn as the 2D sprite its level of
// detail chose. A sprite whose render method is 0, whose frame index is out of range, or that
// comes when the frame's stores are full, is not queued. 1.
std::int32_t _r3xGlideQueue2DSprite(R3xWorld* world, R3xRenderContext* context,
                                    const R3xObjectEntry* entry, R3x2DSprite* sprite);
// The entry's actor drawn as the 3D sprite of the level of detail lod. Restores the render
// context's clip mask to its region clip flags on every return. 1 (also for a sprite outside
// the view, or without faces), R3X_ERR_SPRITE3D_ORIENT, R3X_ERR_SPRITE3D_NO_MEMORY when the
// vertex cache cannot grow or R3X_ERR_SPRITE3D_FACES when the face walk cannot get its stack.
std::int32_t _r3xGlideQueue3DSprite(R3xWorld* world, R3xRenderContext* context,
                                    const R3xObjectEntry* entry, R3x3DSprite* sprite,
                                    std::int32_t lod);
