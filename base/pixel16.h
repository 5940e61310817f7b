// 16-bit pixels and 0x00RRGGBB colours, one way each: packing keeps each channel's high bits, and
// widening repeats a field's high bits below it (5-bit v gives (v << 3) | (v >> 2)), so that
// white stays white and black black. The functions take an unsigned 32-bit value or a vector of
// them (the board's pixel lanes, named as the template argument) and give the pixel in the low
// 16 bits, or the colour.
#pragma once

#include <cstdint>
#include <type_traits>

namespace arena {

#include "base/pixel16_functions.h"

constexpr std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

}  // namespace arena
