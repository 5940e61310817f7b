// The bodies of base/pixel16.h's functions, which that header includes in namespace arena. It has
// no include guard: code compiled for another instruction set (the board's wide pixel stages)
// includes it again inside its own namespace, so that the functions are compiled for that set
// too and vector lanes pass to them without a change of calling convention. Include it only
// inside a namespace, after <cstdint> and <type_traits>.

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
