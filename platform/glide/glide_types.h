// The 3D board's types and codes: the records the game fills and the argument values it passes.
// Only the codes the game uses exist; any other value is ignored and said once on standard error.
#pragma once

#include <cstdint>

using FxBool = int;
using FxU8 = std::uint8_t;
using FxU16 = std::uint16_t;
using FxU32 = std::uint32_t;
using FxI32 = std::int32_t;
using FxFloat = float;
// Colours are passed as 0x00RRGGBB (the window is opened with the ARGB colour format).
using GrColor = FxU32;

inline constexpr FxBool FXTRUE = 1;
inline constexpr FxBool FXFALSE = 0;

// grSstWinOpen
inline constexpr int GR_RESOLUTION_640x480 = 7;
inline constexpr int GR_REFRESH_60Hz = 0;
inline constexpr int GR_COLORFORMAT_ARGB = 0;
inline constexpr int GR_ORIGIN_UPPER_LEFT = 0;
// Read locks of "any origin" are given rows from the bottom (reported as lower-left).
inline constexpr int GR_ORIGIN_LOWER_LEFT = 1;
inline constexpr int GR_ORIGIN_ANY = 0xFF;
inline constexpr int GR_TMU0 = 0;

// grDepthBufferMode, grDepthBufferFunction
inline constexpr int GR_DEPTHBUFFER_DISABLE = 0;
inline constexpr int GR_DEPTHBUFFER_WBUFFER = 2;
inline constexpr int GR_CMP_LEQUAL = 3;
inline constexpr int GR_CMP_ALWAYS = 7;

// grFogMode
inline constexpr int GR_FOG_DISABLE = 0;
inline constexpr int GR_FOG_WITH_TABLE = 2;
inline constexpr int GR_FOG_TABLE_SIZE = 64;

// grAlphaBlendFunction factors
inline constexpr int GR_BLEND_ZERO = 0;
inline constexpr int GR_BLEND_SRC_ALPHA = 1;
inline constexpr int GR_BLEND_ONE = 4;
inline constexpr int GR_BLEND_ONE_MINUS_SRC_ALPHA = 5;

// grColorCombine / grAlphaCombine (function, factor, local, other, invert). Three settings exist:
// the iterated (per-vertex) value (1, 0, 0, 2, 0); the texel times the iterated value
// (3, 1, 0, 1, 0); and the incoming "other" value unchanged (3, 8, 1, 1, 0): the texel for
// polygons, the written pixel for frame-buffer writes through the pixel pipeline.
inline constexpr int GR_COMBINE_FUNCTION_LOCAL = 1;
inline constexpr int GR_COMBINE_FUNCTION_SCALE_OTHER = 3;
inline constexpr int GR_COMBINE_FACTOR_ZERO = 0;
inline constexpr int GR_COMBINE_FACTOR_LOCAL = 1;
inline constexpr int GR_COMBINE_FACTOR_ONE = 8;
inline constexpr int GR_COMBINE_LOCAL_ITERATED = 0;
inline constexpr int GR_COMBINE_LOCAL_CONSTANT = 1;
inline constexpr int GR_COMBINE_OTHER_TEXTURE = 1;
inline constexpr int GR_COMBINE_OTHER_CONSTANT = 2;

// grTexFilterMode, grTexClampMode, grTexMipMapMode
inline constexpr int GR_TEXTUREFILTER_POINT_SAMPLED = 0;
inline constexpr int GR_TEXTUREFILTER_BILINEAR = 1;
inline constexpr int GR_TEXTURECLAMP_WRAP = 0;
inline constexpr int GR_MIPMAP_DISABLE = 0;
inline constexpr int GR_MIPMAP_NEAREST = 1;

// Texture levels of detail: 0 is 256 texels on the larger side ... 8 is 1.
inline constexpr int GR_LOD_256 = 0;
inline constexpr int GR_LOD_1 = 8;
// Aspect ratios, width : height.
inline constexpr int GR_ASPECT_8x1 = 0;
inline constexpr int GR_ASPECT_1x1 = 3;
inline constexpr int GR_ASPECT_1x8 = 6;
// Texel formats: 8-bit indices into the downloaded texture palette, and RGB565.
inline constexpr int GR_TEXFMT_P_8 = 5;
inline constexpr int GR_TEXFMT_RGB_565 = 10;
// grTexTextureMemRequired / grTexDownloadMipMap / grTexSource: all levels, even and odd.
inline constexpr int GR_MIPMAPLEVELMASK_BOTH = 3;
// grTexDownloadTable: the texture palette of 256 words 0x00RRGGBB.
inline constexpr int GR_TEXTABLE_PALETTE = 2;

// Linear frame-buffer locks.
inline constexpr int GR_LFB_READ_ONLY = 0;
inline constexpr int GR_LFB_WRITE_ONLY = 1;
inline constexpr int GR_BUFFER_FRONTBUFFER = 0;
inline constexpr int GR_BUFFER_BACKBUFFER = 1;
inline constexpr int GR_BUFFER_AUXBUFFER = 2;
inline constexpr int GR_LFBWRITEMODE_555 = 1;
inline constexpr int GR_LFBWRITEMODE_1555 = 2;
inline constexpr int GR_LFBWRITEMODE_ANY = 0xFF;
inline constexpr int GR_LFB_NOPIPELINE = 0;
inline constexpr int GR_LFB_PIXELPIPELINE = 1;

// One texture unit's share of a vertex: texture coordinates divided by w.
struct GrTmuVertex {
  float sow;
  float tow;
  // Never read: perspective comes from the vertex's own oow.
  float oow;
};

// A vertex as the game fills it: screen x, y (upper-left origin); r, g, b, a in 0..255 (values
// outside are clamped while iterating); oow = 1/w, which gives perspective and the W depth;
// tmuvtx[0] sow, tow: texture coordinates times oow, 0..256 spanning the texture's larger side.
// z and ooz are never read.
struct GrVertex {
  float x;
  float y;
  float z;
  float r;
  float g;
  float b;
  float ooz;
  float a;
  float oow;
  GrTmuVertex tmuvtx[2];
};

struct GrTexInfo {
  int smallLod;
  int largeLod;
  int aspectRatio;
  int format;
  void* data;
};

// The game only tests whether a board is present.
struct GrHwConfiguration {
  int num_sst;
};

struct GrLfbInfo {
  int size;
  void* lfbPtr;
  FxU32 strideInBytes;
  int writeMode;
  int origin;
};

// The whole pipeline state, saved and restored by grGlideGetState / grGlideSetState.
struct GrState {
  bool colorWrite;
  bool alphaWrite;
  bool depthWrite;
  int depthMode;
  int depthFunction;
  int depthBias;
  int fogMode;
  GrColor fogColor;
  FxU8 fogTable[GR_FOG_TABLE_SIZE];
  int blendSrc;
  int blendDst;
  int blendAlphaSrc;
  int blendAlphaDst;
  // 0 iterated, 1 texel times iterated, 2 the "other" value.
  int colorCombine;
  int alphaCombine;
  int filter;
  int mipmapMode;
  float lodBias;
  bool chromakey;
  GrColor chromakeyValue;
  int clipLeft;
  int clipTop;
  int clipRight;
  int clipBottom;
  // The source texture: start address in texture memory and its levels, aspect and format.
  bool textureValid;
  FxU32 textureStart;
  int textureSmallLod;
  int textureLargeLod;
  int textureAspect;
  int textureFormat;
};
