// The engine's own functions of the Glide texture cache, which the public header leaves out.
// Results: R3X_GLIDE_SELECTED or R3X_GLIDE_NOT_SELECTED; 0 or a negative R3X_ERR_ code.
#pragma once

#include "engine/display/glide_context.h"

inline constexpr std::int32_t R3X_GLIDE_NOT_SELECTED = 0;
inline constexpr std::int32_t R3X_GLIDE_SELECTED = 1;

// Makes the texture resident when it is not, moves it to the LRU head and makes it the board's
// texture source: R3X_GLIDE_SELECTED, or R3X_GLIDE_NOT_SELECTED when it cannot be placed.
std::int32_t _r3xGlideSelectTexture(R3xGlideContext* context, R3xGlideTexture* texture);

// Converts every texel byte through a 256-entry {red, green, blue, unused} table to RGB 565.
void _r3xConvertTexelsTo565(const std::uint8_t* texels, std::size_t count,
                            const std::uint8_t* colourTable, std::uint16_t* out);
