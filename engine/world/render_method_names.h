// The render-method names of the text form: a family, an optional lighting word and an
// optional shading word, whose parts add up to the render method.
// Results: a match length (0: none).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/render_method.h"

// The length of the longest render-method name the text starts with (looking at no more than
// count bytes) with its value, or 0 when it starts with none.
std::size_t parMatchRenderMethodName(const std::uint8_t* text, std::size_t count,
                                     R3xRenderMethod* value);
