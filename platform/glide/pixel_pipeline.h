// The board's pixel pipeline: depth test, texel, combine, chroma key, fog, blend, writes.
// DrawSetup holds the state of one draw call, resolved once before its pixels.
#pragma once

#include <bit>
#include <cstdint>

#include "base/pixel16.h"
#include "platform/glide/board.h"
#include "platform/glide/board_control.h"

namespace platform::glide {

enum class ColourSource { kIterated, kTextureTimesIterated, kOther };

// The decoded texture's levels as the pixel stages read them: each level's rows have a
// power-of-two width and one texel more (their first again), the first row comes again below
// the last, and the level begins `offset` texels into the draw's decoded texture, so that the
// texels of pixels at different levels are read from one place. Each field is a table of its
// own with room for sixteen levels, which a group of pixels looks up with one permute.
struct LevelViews {
  std::int32_t offset[16];
  std::int32_t widthShift[16];
  std::int32_t widthMask[16];
  std::int32_t heightMask[16];
};

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
  // Turns a squared texel step in s, t units into level-0 texels squared, with 4 to the power of
  // the LOD bias folded in.
  float stepScale;
  // Texels per s, t unit at each level.
  float levelScale[9];
  bool chromakey;
  std::uint32_t chromakeyValue;
  bool fog;
  // The fog table's entries as mix weights, 0..256.
  const std::uint32_t* fogWeights;
  std::uint32_t fogColour;
  int blendSrc;
  int blendDst;
  bool blendReplace;
  SourceTexture texture;
  const std::uint32_t* texels;
  LevelViews levels;
};

// Resolves the board's state for one draw; false when nothing can be drawn (no open board, or a
// textured draw without a usable texture source).
bool PrepareDraw(Board& board, DrawSetup& setup);

// An iterated value to 0..255; NaN gives 0.
inline int ClampToByte(float value) {
  if (!(value > 0.0f)) {
    return 0;
  }
  return value < 255.0f ? static_cast<int>(value) : 255;
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

// The iterated values at one pixel.
struct Fragment {
  float r;
  float g;
  float b;
  float a;
  float oow;
  float sow;
  float tow;
};

// The widest build of the stages RenderSpans may run.
StageBuild& StageBuildCap();
// Says on standard error which build of the stages draws, the first time a board opens in the
// process.
void SayDrawingStageBuild();

// A run of pixels of one row (all inside the clip window): `count` pixels from `index`, the
// k-th taking `start` + k x step.
struct Span {
  std::size_t index;
  int count;
  Fragment start;
};

// Shades and writes the pixels of spans that share their step. Polygons give their gradients for
// the mipmap level; lines and points give none and sample the largest level.
void RenderSpans(const DrawSetup& setup, const Span* spans, int count, const Fragment& step,
                 const Gradients* gradients);

}  // namespace platform::glide
