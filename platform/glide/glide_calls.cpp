// The board's state calls and draws. Every call is recorded while recording is on; a code the
// game never passes is ignored and said once on standard error.
#include "platform/glide/glide_calls.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/glide/board.h"
#include "platform/glide/call_log.h"
#include "platform/glide/pixel_pipeline.h"
#include "platform/glide/primitives.h"
#include "platform/glide/texture_layout.h"

namespace platform::glide {

namespace {

bool KnownFactor(int code) {
  return code == GR_BLEND_ZERO || code == GR_BLEND_SRC_ALPHA || code == GR_BLEND_ONE ||
         code == GR_BLEND_ONE_MINUS_SRC_ALPHA;
}

// The three combine settings the game uses, as ColourSource values; -1 for any other.
int CombineSetting(int function, int factor, int local, int other, FxBool invert) {
  if (invert != 0) {
    return -1;
  }
  if (function == GR_COMBINE_FUNCTION_LOCAL && factor == GR_COMBINE_FACTOR_ZERO &&
      local == GR_COMBINE_LOCAL_ITERATED && other == GR_COMBINE_OTHER_CONSTANT) {
    return 0;
  }
  if (function == GR_COMBINE_FUNCTION_SCALE_OTHER && factor == GR_COMBINE_FACTOR_LOCAL &&
      local == GR_COMBINE_LOCAL_ITERATED && other == GR_COMBINE_OTHER_TEXTURE) {
    return 1;
  }
  if (function == GR_COMBINE_FUNCTION_SCALE_OTHER && factor == GR_COMBINE_FACTOR_ONE &&
      local == GR_COMBINE_LOCAL_CONSTANT && other == GR_COMBINE_OTHER_TEXTURE) {
    return 2;
  }
  return -1;
}

std::vector<std::uint32_t> InfoCodes(const GrTexInfo* info) {
  return {static_cast<std::uint32_t>(info->smallLod), static_cast<std::uint32_t>(info->largeLod),
          static_cast<std::uint32_t>(info->aspectRatio), static_cast<std::uint32_t>(info->format)};
}

std::optional<TextureLayout> LayoutOf(const GrTexInfo* info) {
  if (info == nullptr) {
    return std::nullopt;
  }
  return LayOutTexture(
      TextureCodes{info->smallLod, info->largeLod, info->aspectRatio, info->format});
}

GrState& State() { return GetBoard().state; }

// Fills `count` words with `value` 32 bytes at a time: a plain fill of 16-bit words is stored
// word by word, and a clear covers two buffers of 300,000 words.
void FillWords(std::uint16_t* to, std::size_t count, std::uint16_t value) {
  std::uint16_t block[16];
  std::fill_n(block, 16, value);
  std::size_t at = 0;
  for (; at + 16 <= count; at += 16) {
    std::memcpy(to + at, block, sizeof block);
  }
  std::fill_n(to + at, count - at, value);
}

}  // namespace
}  // namespace platform::glide

using namespace platform::glide;

void grGlideInit() { Record("grGlideInit", {}); }

void grGlideShutdown() {
  Record("grGlideShutdown", {});
  ForgetUnknownCodeNotes();
  Board& board = GetBoard();
  board.open = false;
  board.colour[0] = {};
  board.colour[1] = {};
  board.depth = {};
  board.textureMemory = {};
  ForgetAllTexels(board.texels);
  board.lock = {};
}

int grSstQueryHardware(GrHwConfiguration* config) {
  Record("grSstQueryHardware", {});
  if (config != nullptr) {
    config->num_sst = 1;
  }
  return 1;
}

void grSstSelect(int board) {
  Record("grSstSelect", {static_cast<double>(board)});
  Known(board == 0);
}

FxBool grSstWinOpen(HWND /*window*/, int resolution, int refresh, int colorFormat, int origin,
                    int colorBuffers, int auxBuffers) {
  Record("grSstWinOpen", {static_cast<double>(resolution), static_cast<double>(refresh),
                          static_cast<double>(colorFormat), static_cast<double>(origin),
                          static_cast<double>(colorBuffers), static_cast<double>(auxBuffers)});
  if (!Known(resolution == GR_RESOLUTION_640x480 && refresh == GR_REFRESH_60Hz &&
             colorFormat == GR_COLORFORMAT_ARGB && origin == GR_ORIGIN_UPPER_LEFT &&
             colorBuffers == 2 && auxBuffers == 1)) {
    return FXFALSE;
  }
  Board& board = GetBoard();
  board.colour[0].assign(kScreenPixels, 0);
  board.colour[1].assign(kScreenPixels, 0);
  board.front = 0;
  board.depth.assign(kScreenPixels, 0xFFFF);
  board.textureMemory.assign(TextureMemorySetting(), 0);
  std::memset(board.palette, 0, sizeof board.palette);
  ForgetAllTexels(board.texels);
  board.state = DefaultState();
  board.source = {};
  board.lock = {};
  board.open = true;
  SayDrawingStageBuild();
  return FXTRUE;
}

void grBufferClear(GrColor color, FxU8 alpha, FxU16 depth) {
  Record("grBufferClear",
         {static_cast<double>(color), static_cast<double>(alpha), static_cast<double>(depth)});
  Board& board = GetBoard();
  DrawSetup setup{};
  if (!board.open) {
    return;
  }
  PrepareDraw(board, setup);
  const auto pixel = static_cast<std::uint16_t>(arena::Pack565(color));
  // A window as wide as the screen is one run of words.
  const bool wholeRows = setup.clipLeft == 0 && setup.clipRight == kScreenWidth;
  const int runs = wholeRows ? 1 : setup.clipBottom - setup.clipTop;
  const std::size_t width = static_cast<std::size_t>(setup.clipRight - setup.clipLeft);
  const std::size_t count =
      wholeRows ? width * static_cast<std::size_t>(setup.clipBottom - setup.clipTop) : width;
  for (int run = 0; run < runs; ++run) {
    const std::size_t first =
        static_cast<std::size_t>(setup.clipTop + run) * kScreenWidth + setup.clipLeft;
    if (board.state.colorWrite) {
      FillWords(board.Back() + first, count, pixel);
    }
    if (board.state.depthWrite) {
      FillWords(board.depth.data() + first, count, depth);
    }
  }
}

int grBufferNumPending() {
  Record("grBufferNumPending", {});
  // Swaps complete before grBufferSwap returns.
  return 0;
}

void grColorMask(FxBool rgb, FxBool alpha) {
  Record("grColorMask", {static_cast<double>(rgb), static_cast<double>(alpha)});
  State().colorWrite = rgb != 0;
  State().alphaWrite = alpha != 0;
}

void grDepthMask(FxBool enable) {
  Record("grDepthMask", {static_cast<double>(enable)});
  State().depthWrite = enable != 0;
}

void grDepthBufferMode(int mode) {
  Record("grDepthBufferMode", {static_cast<double>(mode)});
  if (Known(mode == GR_DEPTHBUFFER_DISABLE || mode == GR_DEPTHBUFFER_WBUFFER)) {
    State().depthMode = mode;
  }
}

void grDepthBufferFunction(int function) {
  Record("grDepthBufferFunction", {static_cast<double>(function)});
  if (Known(function == GR_CMP_LEQUAL || function == GR_CMP_ALWAYS)) {
    State().depthFunction = function;
  }
}

void grDepthBiasLevel(FxI32 level) {
  Record("grDepthBiasLevel", {static_cast<double>(level)});
  // The bias is added to the 16-bit W value before the test: -3 moves a decal three units nearer.
  if (Known(level >= -0xFFFF && level <= 0xFFFF)) {
    State().depthBias = level;
  }
}

void grFogMode(int mode) {
  Record("grFogMode", {static_cast<double>(mode)});
  if (Known(mode == GR_FOG_DISABLE || mode == GR_FOG_WITH_TABLE)) {
    State().fogMode = mode;
  }
}

void grFogColorValue(GrColor color) {
  Record("grFogColorValue", {static_cast<double>(color)});
  State().fogColor = color;
}

void grFogTable(const FxU8 table[GR_FOG_TABLE_SIZE]) {
  std::uint32_t words[GR_FOG_TABLE_SIZE];
  for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i) {
    words[i] = table[i];
  }
  Record("grFogTable", {}, {}, words);
  std::memcpy(State().fogTable, table, GR_FOG_TABLE_SIZE);
}

void grAlphaBlendFunction(int rgbSrc, int rgbDst, int alphaSrc, int alphaDst) {
  Record("grAlphaBlendFunction", {static_cast<double>(rgbSrc), static_cast<double>(rgbDst),
                                  static_cast<double>(alphaSrc), static_cast<double>(alphaDst)});
  if (!Known(KnownFactor(rgbSrc) && KnownFactor(rgbDst) && KnownFactor(alphaSrc) &&
             KnownFactor(alphaDst))) {
    return;
  }
  GrState& state = State();
  state.blendSrc = rgbSrc;
  state.blendDst = rgbDst;
  state.blendAlphaSrc = alphaSrc;
  state.blendAlphaDst = alphaDst;
}

void grAlphaCombine(int function, int factor, int local, int other, FxBool invert) {
  Record("grAlphaCombine",
         {static_cast<double>(function), static_cast<double>(factor), static_cast<double>(local),
          static_cast<double>(other), static_cast<double>(invert)});
  const int setting = CombineSetting(function, factor, local, other, invert);
  // Alpha is the iterated alpha or the incoming one; texels carry no alpha of their own.
  if (Known(setting == 0 || setting == 2)) {
    State().alphaCombine = setting;
  }
}

void grColorCombine(int function, int factor, int local, int other, FxBool invert) {
  Record("grColorCombine",
         {static_cast<double>(function), static_cast<double>(factor), static_cast<double>(local),
          static_cast<double>(other), static_cast<double>(invert)});
  const int setting = CombineSetting(function, factor, local, other, invert);
  if (Known(setting >= 0)) {
    State().colorCombine = setting;
  }
}

void grTexCombine(int tmu, int rgbFunction, int rgbFactor, int alphaFunction, int alphaFactor,
                  FxBool rgbInvert, FxBool alphaInvert) {
  Record("grTexCombine", {static_cast<double>(tmu), static_cast<double>(rgbFunction),
                          static_cast<double>(rgbFactor), static_cast<double>(alphaFunction),
                          static_cast<double>(alphaFactor), static_cast<double>(rgbInvert),
                          static_cast<double>(alphaInvert)});
  // The texture unit passes its texel on: the only setting there is.
  Known(tmu == GR_TMU0 && rgbFunction == GR_COMBINE_FUNCTION_LOCAL &&
        rgbFactor == GR_COMBINE_FACTOR_ZERO && alphaFunction == GR_COMBINE_FUNCTION_LOCAL &&
        alphaFactor == GR_COMBINE_FACTOR_ZERO && rgbInvert == 0 && alphaInvert == 0);
}

void grTexFilterMode(int tmu, int minFilter, int magFilter) {
  Record("grTexFilterMode", {static_cast<double>(tmu), static_cast<double>(minFilter),
                             static_cast<double>(magFilter)});
  if (Known(tmu == GR_TMU0 && minFilter == magFilter &&
            (minFilter == GR_TEXTUREFILTER_POINT_SAMPLED ||
             minFilter == GR_TEXTUREFILTER_BILINEAR))) {
    State().filter = minFilter;
  }
}

void grTexClampMode(int tmu, int sClamp, int tClamp) {
  Record("grTexClampMode",
         {static_cast<double>(tmu), static_cast<double>(sClamp), static_cast<double>(tClamp)});
  Known(tmu == GR_TMU0 && sClamp == GR_TEXTURECLAMP_WRAP && tClamp == GR_TEXTURECLAMP_WRAP);
}

void grTexMipMapMode(int tmu, int mode, FxBool lodBlend) {
  Record("grTexMipMapMode",
         {static_cast<double>(tmu), static_cast<double>(mode), static_cast<double>(lodBlend)});
  if (Known(tmu == GR_TMU0 && (mode == GR_MIPMAP_DISABLE || mode == GR_MIPMAP_NEAREST) &&
            lodBlend == 0)) {
    State().mipmapMode = mode;
  }
}

void grTexLodBiasValue(int tmu, float bias) {
  Record("grTexLodBiasValue", {static_cast<double>(tmu), static_cast<double>(bias)});
  if (Known(tmu == GR_TMU0 && bias >= -8.0f && bias <= 8.0f)) {
    State().lodBias = bias;
  }
}

FxU32 grTexMinAddress(int tmu) {
  Record("grTexMinAddress", {static_cast<double>(tmu)});
  Known(tmu == GR_TMU0);
  return 0;
}

FxU32 grTexMaxAddress(int tmu) {
  Record("grTexMaxAddress", {static_cast<double>(tmu)});
  Known(tmu == GR_TMU0);
  // The highest start address of the smallest texture: 8 bytes below the end of memory.
  const std::size_t size = GetBoard().textureMemory.size();
  return size >= 8 ? static_cast<FxU32>(size - 8) : 0;
}

FxU32 grTexTextureMemRequired(int evenOdd, const GrTexInfo* info) {
  const auto layout = LayoutOf(info);
  Record("grTexTextureMemRequired", {static_cast<double>(evenOdd)}, {},
         info != nullptr ? InfoCodes(info) : std::vector<std::uint32_t>{});
  if (!Known(evenOdd == GR_MIPMAPLEVELMASK_BOTH && layout.has_value())) {
    return 0;
  }
  // The bytes of all levels, rounded up to the 8-byte alignment of texture addresses.
  return (layout->size + 7) & ~FxU32{7};
}

void grTexDownloadMipMap(int tmu, FxU32 start, int evenOdd, const GrTexInfo* info) {
  const auto layout = LayoutOf(info);
  Record("grTexDownloadMipMap",
         {static_cast<double>(tmu), static_cast<double>(start), static_cast<double>(evenOdd)}, {},
         info != nullptr ? InfoCodes(info) : std::vector<std::uint32_t>{});
  if (!Known(tmu == GR_TMU0 && evenOdd == GR_MIPMAPLEVELMASK_BOTH && layout.has_value()) ||
      info->data == nullptr) {
    return;
  }
  Board& board = GetBoard();
  std::vector<std::uint8_t>& memory = board.textureMemory;
  // Refused when it does not fit: nothing is written.
  if (std::uint64_t{start} + layout->size > memory.size()) {
    return;
  }
  std::memcpy(memory.data() + start, info->data, layout->size);
  ForgetTexels(board.texels, start, std::uint64_t{start} + layout->size);
}

void grTexSource(int tmu, FxU32 start, int evenOdd, const GrTexInfo* info) {
  const auto layout = LayoutOf(info);
  Record("grTexSource",
         {static_cast<double>(tmu), static_cast<double>(start), static_cast<double>(evenOdd)}, {},
         info != nullptr ? InfoCodes(info) : std::vector<std::uint32_t>{});
  if (!Known(tmu == GR_TMU0 && evenOdd == GR_MIPMAPLEVELMASK_BOTH && layout.has_value())) {
    return;
  }
  Board& board = GetBoard();
  GrState& state = board.state;
  state.textureValid = true;
  state.textureStart = start;
  state.textureSmallLod = info->smallLod;
  state.textureLargeLod = info->largeLod;
  state.textureAspect = info->aspectRatio;
  state.textureFormat = info->format;
  ResolveSource(board);
}

void grTexDownloadTable(int tmu, int type, const void* data) {
  std::uint32_t words[256] = {};
  if (data != nullptr) {
    std::memcpy(words, data, sizeof words);
  }
  Record("grTexDownloadTable", {static_cast<double>(tmu), static_cast<double>(type)}, {}, words);
  if (Known(tmu == GR_TMU0 && type == GR_TEXTABLE_PALETTE && data != nullptr)) {
    Board& board = GetBoard();
    std::memcpy(board.palette, words, sizeof words);
    ForgetAllTexels(board.texels);
  }
}

void grChromakeyMode(int mode) {
  Record("grChromakeyMode", {static_cast<double>(mode)});
  if (Known(mode == 0 || mode == 1)) {
    State().chromakey = mode == 1;
  }
}

void grChromakeyValue(GrColor value) {
  Record("grChromakeyValue", {static_cast<double>(value)});
  State().chromakeyValue = value;
}

void grClipWindow(FxU32 left, FxU32 top, FxU32 right, FxU32 bottom) {
  Record("grClipWindow", {static_cast<double>(left), static_cast<double>(top),
                          static_cast<double>(right), static_cast<double>(bottom)});
  GrState& state = State();
  // Pixels with left <= x < right and top <= y < bottom, within the screen.
  state.clipLeft = static_cast<int>(std::min<FxU32>(left, kScreenWidth));
  state.clipTop = static_cast<int>(std::min<FxU32>(top, kScreenHeight));
  state.clipRight = static_cast<int>(std::min<FxU32>(right, kScreenWidth));
  state.clipBottom = static_cast<int>(std::min<FxU32>(bottom, kScreenHeight));
}

void grDisableAllEffects() {
  Record("grDisableAllEffects", {});
  // What a plain copy into the frame needs off: blending, chroma key, fog and the depth buffer
  // (no test, no write). Masks, combines, textures and the clip window stay as they are.
  GrState& state = State();
  state.blendSrc = GR_BLEND_ONE;
  state.blendDst = GR_BLEND_ZERO;
  state.blendAlphaSrc = GR_BLEND_ONE;
  state.blendAlphaDst = GR_BLEND_ZERO;
  state.chromakey = false;
  state.fogMode = GR_FOG_DISABLE;
  state.depthMode = GR_DEPTHBUFFER_DISABLE;
}

void grGlideGetState(GrState* state) {
  Record("grGlideGetState", {});
  if (state != nullptr) {
    *state = State();
  }
}

void grGlideSetState(const GrState* state) {
  Record("grGlideSetState", {});
  if (state != nullptr) {
    Board& board = GetBoard();
    board.state = *state;
    ResolveSource(board);
  }
}

void grDrawPolygonVertexList(int count, const GrVertex vertices[]) {
  Record("grDrawPolygonVertexList", {static_cast<double>(count)},
         {vertices, vertices != nullptr && count > 0 ? static_cast<std::size_t>(count) : 0});
  DrawSetup setup;
  if (vertices == nullptr || count < 3 || !PrepareDraw(GetBoard(), setup)) {
    return;
  }
  // A fan from the first vertex: each inner diagonal is shared by two triangles and drawn once.
  for (int i = 1; i + 1 < count; ++i) {
    DrawTriangle(setup, vertices[0], vertices[i], vertices[i + 1]);
  }
}

void grDrawLine(const GrVertex* a, const GrVertex* b) {
  const GrVertex ends[2] = {a != nullptr ? *a : GrVertex{}, b != nullptr ? *b : GrVertex{}};
  Record("grDrawLine", {}, ends);
  DrawSetup setup;
  if (a != nullptr && b != nullptr && PrepareDraw(GetBoard(), setup)) {
    DrawLine(setup, *a, *b);
  }
}

void grDrawPoint(const GrVertex* point) {
  const GrVertex one[1] = {point != nullptr ? *point : GrVertex{}};
  Record("grDrawPoint", {}, one);
  DrawSetup setup;
  if (point != nullptr && PrepareDraw(GetBoard(), setup)) {
    DrawPoint(setup, *point);
  }
}
