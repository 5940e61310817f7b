// What every 8-bit span routine shares: the texel of a pixel and the pixel value of each
// shading mode (1 the texel, 2 the polygon's shade row, 3 the shade data at the light level, 4
// at the fog and light levels), with the light and fog words stepped per pixel.
// Results: values; no failure.
#pragma once

#include <cstdint>

#include "engine/core/span_state.h"
#include "engine/raster/raster_numeric_internal.h"

// Texel u mod width plus (v mod height) x width from 10.22 coordinates, with the level's masks
// and shift: (height - 1) << 22 leaves the sign bit clear, so the row needs no sign.
inline std::uint8_t _r3xTexelAt(const std::uint8_t* texels, std::uint32_t uMask,
                                std::uint32_t vMask, std::int32_t vShift, std::int32_t u,
                                std::int32_t v) {
  const std::uint32_t column = static_cast<std::uint32_t>(u >> 22) & uMask;
  const std::uint32_t row = (static_cast<std::uint32_t>(v) & vMask) >> vShift;
  return texels[column + row];
}

// The texel of the span state's level.
inline std::uint8_t _r3xTexel(const R3xSpanState& span, std::int32_t u, std::int32_t v) {
  return _r3xTexelAt(span.texels, span.uMask, span.vMask, span.vShift, u, v);
}

// The 12.20 light and fog words of a span's first pixel, and their steps.
struct R3xShadeWords {
  std::int32_t light;
  std::int32_t lightStep;
  std::int32_t fog;
  std::int32_t fogStep;
};

// The light and fog at pixel x from their values at the origin x and their gradients.
inline R3xShadeWords _r3xShadeWordsAt(const R3xSpanState& span, std::int32_t x) {
  const float offset = static_cast<float>(x) - span.lightOriginX;
  return {_r3xLevelWord(span.light + offset * span.lightStep), span.lightStepFixed,
          _r3xLevelWord(span.fog + offset * span.fogStep), span.fogStepFixed};
}

// Moves the words of modes 3 and 4 on by one pixel.
template <int Mode>
inline void _r3xStepShadeWords(R3xShadeWords& words) {
  if constexpr (Mode >= 3) {
    words.light = _r3xWrapAdd(words.light, words.lightStep);
  }
  if constexpr (Mode == 4) {
    words.fog = _r3xWrapAdd(words.fog, words.fogStep);
  }
}

// The pixel value of shading mode Mode for a texel; steps the words of modes 3 and 4.
template <int Mode>
inline std::uint8_t _r3xShadePixel(const R3xSpanState& span, std::uint8_t texel,
                                   R3xShadeWords& words) {
  static_assert(Mode >= 1 && Mode <= 4);
  if constexpr (Mode == 1) {
    return texel;
  } else if constexpr (Mode == 2) {
    return span.shadeRow[texel];
  } else if constexpr (Mode == 3) {
    const std::uint8_t value = span.shadeData[_r3xLightRowOffset(words.light) | texel];
    words.light = _r3xWrapAdd(words.light, words.lightStep);
    return value;
  } else {
    const std::uint8_t value =
        span.shadeData[_r3xFogBlockOffset(words.fog) | _r3xLightRowOffset(words.light) | texel];
    words.light = _r3xWrapAdd(words.light, words.lightStep);
    words.fog = _r3xWrapAdd(words.fog, words.fogStep);
    return value;
  }
}
