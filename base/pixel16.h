// 16-bit pixels and 0x00RRGGBB colours, one way each: packing keeps each channel's high bits, and
// widening repeats a field's high bits below it (5-bit v gives (v << 3) | (v >> 2)), so that
// white stays white and black black. The functions take an unsigned 32-bit value or a vector of
// them (the board's pixel lanes, named as the template argument) and give the pixel in the low
// 16 bits, or the colour.
#pragma once

#include <cstdint>
#include <type_traits>

namespace arena {

template <class T = std::uint32_t>
[[gnu::always_inline]] constexpr T Pack565(std::type_identity_t<T> rgb) {
  return (rgb >> 8 & 0xF800) | (rgb >> 5 & 0x07E0) | (rgb >> 3 & 0x001F);
}

template <class T = std::uint32_t>
[[gnu::always_inline]] constexpr T Pack555(std::type_identity_t<T> rgb) {
  return (rgb >> 9 & 0x7C00) | (rgb >> 6 & 0x03E0) | (rgb >> 3 & 0x001F);
}

template <class T = std::uint32_t>
[[gnu::always_inline]] constexpr T Widen565(std::type_identity_t<T> pixel) {
  const T r = pixel >> 11 & 0x1F;
  const T g = pixel >> 5 & 0x3F;
  const T b = pixel & 0x1F;
  return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

template <class T = std::uint32_t>
[[gnu::always_inline]] constexpr T Widen555(std::type_identity_t<T> pixel) {
  const T r = pixel >> 10 & 0x1F;
  const T g = pixel >> 5 & 0x1F;
  const T b = pixel & 0x1F;
  return (r << 3 | r >> 2) << 16 | (g << 3 | g >> 2) << 8 | (b << 3 | b >> 2);
}

// 0x00RRGGBB <-> 0x00BBGGRR: the BGR pixel forms are the RGB ones of the swapped colour, and a
// COLORREF holds its channels in this order.
template <class T = std::uint32_t>
[[gnu::always_inline]] constexpr T SwapRedBlue(std::type_identity_t<T> rgb) {
  return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

constexpr std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

}  // namespace arena
