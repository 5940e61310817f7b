// One pixel through the board's pipeline: depth test, texel, combine, chroma key, fog, blend,
// writes. DrawSetup holds the state of one draw call, resolved once before its pixels.
#pragma once

#include <bit>
#include <cstdint>

#include "platform/glide/board.h"

namespace platform::glide {

enum class ColourSource { kIterated, kTextureTimesIterated, kOther };

struct DrawSetup {
  std::uint16_t* colour;
  std::uint16_t* depth;
  int clipLeft;
  int clipTop;
  int clipRight;
  int clipBottom;
  bool colourWrite;
  bool depthOn;
  bool depthTest;
  bool depthWrite;
  int depthBias;
  ColourSource colourSource;
  // The polygon's alpha is its iterated alpha, or the texel's (always opaque here).
  bool alphaIterated;
  bool textured;
  bool bilinear;
  bool mipmap;
  // 4 to the power of the LOD bias: scales the squared texel step.
  float lodScale;
  bool chromakey;
  std::uint32_t chromakeyValue;
  bool fog;
  const std::uint8_t* fogTable;
  std::uint32_t fogColour;
  int blendSrc;
  int blendDst;
  bool blendReplace;
  const std::uint8_t* textureMemory;
  const std::uint32_t* palette;
  SourceTexture texture;
};

// Nothing is drawn when the setup is empty (no open board, or an unusable texture source).
bool PrepareDraw(Board& board, DrawSetup& setup);

// An iterated value to 0..255; NaN gives 0.
inline int ClampToByte(float value) {
  if (!(value > 0.0f)) {
    return 0;
  }
  return value < 255.0f ? static_cast<int>(value) : 255;
}

inline std::uint16_t Pack565(std::uint32_t rgb) {
  return static_cast<std::uint16_t>(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) |
                                    ((rgb >> 3) & 0x001F));
}

// Widens as the board does: the high bits repeated below (5-bit v to (v << 3) | (v >> 2)).
inline std::uint32_t Unpack565(std::uint16_t pixel) {
  const std::uint32_t r = (pixel >> 11) & 0x1F;
  const std::uint32_t g = (pixel >> 5) & 0x3F;
  const std::uint32_t b = pixel & 0x1F;
  return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

inline std::uint32_t Unpack555(std::uint16_t pixel) {
  const std::uint32_t r = (pixel >> 10) & 0x1F;
  const std::uint32_t g = (pixel >> 5) & 0x1F;
  const std::uint32_t b = pixel & 0x1F;
  return ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
}

// A pixel's W (1/oow) as the 16-bit depth value: W rounded to a whole unit, saturated to
// 0..0xFFFF.
inline int DepthOfW(float w) {
  if (!(w > 0.0f)) {
    return 0;
  }
  return w < 65534.5f ? static_cast<int>(w + 0.5f) : 0xFFFF;
}

// The fog table holds 64 entries spaced four to each doubling of W: entry i covers W from
// 2^(i/4) up to 2^((i+1)/4), so entry 40 starts at W = 1024 and entry 63 at about 55109. A
// pixel takes the entry its W falls in (no blending between entries); W below 1 takes entry 0.
inline int FogIndexOfW(float w) {
  if (!(w >= 1.0f)) {
    return 0;
  }
  if (!(w < 65536.0f)) {
    return 63;
  }
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(w);
  const int exponent = static_cast<int>(bits >> 23) - 127;
  const float mantissa = std::bit_cast<float>((bits & 0x007FFFFF) | 0x3F800000);
  // The quarter-doublings within [1, 2): 2^0.25, 2^0.5, 2^0.75.
  const int quarter =
      (mantissa >= 1.18920712f) + (mantissa >= 1.41421356f) + (mantissa >= 1.68179283f);
  const int index = exponent * 4 + quarter;
  return index < 63 ? index : 63;
}

// Mixes two 0x00RRGGBB colours: a x (256 - k) + b x k, k in 0..256.
inline std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t k) {
  const std::uint32_t rb = ((a & 0xFF00FF) * (256 - k) + (b & 0xFF00FF) * k) >> 8;
  const std::uint32_t g = ((a & 0x00FF00) * (256 - k) + (b & 0x00FF00) * k) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

// A 0..255 weight as 0..256, so that 255 means all.
inline std::uint32_t Weight(int byte) { return static_cast<std::uint32_t>(byte + (byte >> 7)); }

// Texture coordinates of one pixel: s, t in level-0 units of 256 per larger side, and the squared
// texel step per screen pixel (for the mipmap level; 0 for lines and points).
struct TexelSpot {
  float s;
  float t;
  float stepSquared;
};

// The texel colour, 0x00RRGGBB; `keyed` tells whether the point-sampled texel is the key.
std::uint32_t SampleTexture(const DrawSetup& setup, const TexelSpot& spot, bool& keyed);

// Blends a source colour of alpha 0..255 with the destination by the blend factors.
std::uint32_t Blend(const DrawSetup& setup, std::uint32_t source, int alpha,
                    std::uint32_t destination);

// How sow, tow and oow change per pixel along x and y (polygons; lines and points have none).
struct Gradients {
  float sowX;
  float towX;
  float oowX;
  float sowY;
  float towY;
  float oowY;
};

struct Fragment {
  float r;
  float g;
  float b;
  float a;
  float oow;
  float sow;
  float tow;
};

// Shades and writes one pixel at `index` (already inside the clip window).
inline void ShadeFragment(const DrawSetup& setup, std::size_t index, const Fragment& f,
                          const Gradients* gradients) {
  const float w = 1.0f / f.oow;
  int depth = 0;
  if (setup.depthOn) {
    depth = DepthOfW(w) + setup.depthBias;
    depth = depth < 0 ? 0 : (depth > 0xFFFF ? 0xFFFF : depth);
    if (setup.depthTest && depth > setup.depth[index]) {
      return;
    }
  }
  const std::uint32_t iterated =
      static_cast<std::uint32_t>(ClampToByte(f.r) << 16 | ClampToByte(f.g) << 8 | ClampToByte(f.b));
  std::uint32_t colour = iterated;
  if (setup.textured) {
    bool keyed = false;
    TexelSpot spot{f.sow * w, f.tow * w, 0.0f};
    if (setup.mipmap && gradients != nullptr) {
      // d(sow/oow) = (d sow - s d oow) / oow along each axis.
      const float sx = (gradients->sowX - spot.s * gradients->oowX) * w;
      const float tx = (gradients->towX - spot.t * gradients->oowX) * w;
      const float sy = (gradients->sowY - spot.s * gradients->oowY) * w;
      const float ty = (gradients->towY - spot.t * gradients->oowY) * w;
      const float alongX = sx * sx + tx * tx;
      const float alongY = sy * sy + ty * ty;
      spot.stepSquared = alongX > alongY ? alongX : alongY;
    }
    const std::uint32_t texel = SampleTexture(setup, spot, keyed);
    if (keyed) {
      return;
    }
    if (setup.colourSource == ColourSource::kTextureTimesIterated) {
      const std::uint32_t r = ((texel >> 16) * ((iterated >> 16) + 1)) >> 8;
      const std::uint32_t g = (((texel >> 8) & 0xFF) * (((iterated >> 8) & 0xFF) + 1)) >> 8;
      const std::uint32_t b = ((texel & 0xFF) * ((iterated & 0xFF) + 1)) >> 8;
      colour = r << 16 | g << 8 | b;
    } else {
      colour = texel;
    }
  }
  const int alpha = setup.alphaIterated ? ClampToByte(f.a) : 255;
  if (setup.fog) {
    colour = Mix(colour, setup.fogColour, Weight(setup.fogTable[FogIndexOfW(w)]));
  }
  if (setup.colourWrite) {
    std::uint16_t* pixel = setup.colour + index;
    if (setup.blendReplace) {
      *pixel = Pack565(colour);
    } else {
      *pixel = Pack565(Blend(setup, colour, alpha, Unpack565(*pixel)));
    }
  }
  if (setup.depthWrite) {
    setup.depth[index] = static_cast<std::uint16_t>(depth);
  }
}

}  // namespace platform::glide
