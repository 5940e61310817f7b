// The engine's own functions of sprite_3d.h, which the public header leaves out.
// Results: 0 or a negative R3X_ERR_ code; records or null.
#pragma once

#include "engine/core/sprite_3d.h"

// The surfaces the sprite draws with: its own or its definition's.
R3xSurface* _r3x3DSpriteSurfaces(const R3x3DSprite* sprite);

// Gives the sprite a copy of its definition's surfaces: 0, or R3X_ERR_FAILED with nothing
// changed. Texture references are not added: the sprite holds them already.
std::int32_t _r3xCopyFaceSurfaces(R3x3DSprite* sprite);
