// The 3D board's polygon, line and point drawing with arbitrary vertex records under arbitrary
// pipeline states: nothing may be written outside the buffers or the clip window.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/byte_reader.h"
#include "platform/glide.h"

namespace {

constexpr std::uint16_t kSentinel = 0xA5A5;

struct Textures {
  std::vector<std::uint8_t> palettised;
  std::vector<std::uint8_t> rgb565;
  GrTexInfo palettisedInfo{};
  GrTexInfo rgb565Info{};
};

// Opens the board once, with a palettised 32 x 32 texture of two levels at 0 and an RGB565
// 64 x 64 texture of seven levels at 8192.
Textures& Board() {
  static Textures textures = [] {
    Textures t;
    platform::glide::SetSwapPacing(false);
    grGlideInit();
    grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                 GR_ORIGIN_UPPER_LEFT, 2, 1);
    std::uint32_t palette[256];
    for (std::uint32_t i = 0; i < 256; ++i) {
      palette[i] = i * 0x010203u & 0xFFFFFF;
    }
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
    t.palettisedInfo = GrTexInfo{4, 3, GR_ASPECT_1x1, GR_TEXFMT_P_8, nullptr};
    t.palettised.resize(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &t.palettisedInfo));
    for (std::size_t i = 0; i < t.palettised.size(); ++i) {
      t.palettised[i] = static_cast<std::uint8_t>(i * 7);
    }
    t.palettisedInfo.data = t.palettised.data();
    grTexDownloadMipMap(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &t.palettisedInfo);
    t.rgb565Info = GrTexInfo{8, 2, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, nullptr};
    t.rgb565.resize(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &t.rgb565Info));
    for (std::size_t i = 0; i < t.rgb565.size(); ++i) {
      t.rgb565[i] = static_cast<std::uint8_t>(i * 13);
    }
    t.rgb565Info.data = t.rgb565.data();
    grTexDownloadMipMap(GR_TMU0, 8192, GR_MIPMAPLEVELMASK_BOTH, &t.rgb565Info);
    return t;
  }();
  return textures;
}

void SetState(arena::ByteReader& in, Textures& textures) {
  const std::uint8_t a = in.U8();
  const std::uint8_t b = in.U8();
  grDepthBufferMode((a & 1) != 0 ? GR_DEPTHBUFFER_WBUFFER : GR_DEPTHBUFFER_DISABLE);
  grDepthBufferFunction((a & 2) != 0 ? GR_CMP_ALWAYS : GR_CMP_LEQUAL);
  grDepthMask((a & 4) != 0);
  grFogMode((a & 8) != 0 ? GR_FOG_WITH_TABLE : GR_FOG_DISABLE);
  switch ((a >> 4) & 3) {
    case 0:
      grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
      break;
    case 1:
      grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                           GR_BLEND_ZERO);
      break;
    default:
      grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
      break;
  }
  switch ((a >> 6) & 3) {
    case 0:
      grColorCombine(1, 0, 0, 2, 0);
      break;
    case 1:
      grColorCombine(3, 1, 0, 1, 0);
      break;
    default:
      grColorCombine(3, 8, 1, 1, 0);
      break;
  }
  const int filter = (b & 1) != 0 ? GR_TEXTUREFILTER_BILINEAR : GR_TEXTUREFILTER_POINT_SAMPLED;
  grTexFilterMode(GR_TMU0, filter, filter);
  grTexMipMapMode(GR_TMU0, (b & 2) != 0 ? GR_MIPMAP_NEAREST : GR_MIPMAP_DISABLE, 0);
  grChromakeyMode((b & 4) != 0 ? 1 : 0);
  if ((b & 8) != 0) {
    grTexSource(GR_TMU0, 0, GR_MIPMAPLEVELMASK_BOTH, &textures.palettisedInfo);
  } else {
    grTexSource(GR_TMU0, 8192, GR_MIPMAPLEVELMASK_BOTH, &textures.rgb565Info);
  }
  grColorMask((b & 16) != 0, 0);
  grDepthBiasLevel(in.I8());
  grTexLodBiasValue(GR_TMU0, static_cast<float>(in.I8()) / 16.0f);
  grChromakeyValue(in.U32());
  grFogColorValue(in.U32());
  FxU8 fog[GR_FOG_TABLE_SIZE];
  for (FxU8& entry : fog) {
    entry = in.U8();
  }
  grFogTable(fog);
}

// Marks the pixels around the clip window (inside the screen) so that a stray write shows.
void MarkAround(std::uint16_t* colour, std::uint16_t* depth, int left, int top, int right,
                int bottom, bool check) {
  auto visit = [&](int x, int y) {
    if (x < 0 || x >= 640 || y < 0 || y >= 480 ||
        (x >= left && x < right && y >= top && y < bottom)) {
      return;
    }
    const std::size_t i = static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x);
    if (check && (colour[i] != kSentinel || depth[i] != kSentinel)) {
      std::abort();
    }
    colour[i] = kSentinel;
    depth[i] = kSentinel;
  };
  for (int x = left - 1; x <= right; ++x) {
    visit(x, top - 1);
    visit(x, bottom);
  }
  for (int y = top; y < bottom; ++y) {
    visit(left - 1, y);
    visit(right, y);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Textures& textures = Board();
  arena::ByteReader in(data, size);
  const std::uint8_t kind = in.U8();
  SetState(in, textures);
  const int left = in.U16() % 700;
  const int top = in.U16() % 540;
  const int right = left + in.U16() % 700;
  const int bottom = top + in.U16() % 540;
  grClipWindow(static_cast<FxU32>(left), static_cast<FxU32>(top), static_cast<FxU32>(right),
               static_cast<FxU32>(bottom));
  const int count = in.U8() + 1;
  std::vector<GrVertex> vertices(static_cast<std::size_t>(count));
  for (GrVertex& v : vertices) {
    float* fields[] = {&v.x,
                       &v.y,
                       &v.z,
                       &v.r,
                       &v.g,
                       &v.b,
                       &v.ooz,
                       &v.a,
                       &v.oow,
                       &v.tmuvtx[0].sow,
                       &v.tmuvtx[0].tow,
                       &v.tmuvtx[0].oow,
                       &v.tmuvtx[1].sow,
                       &v.tmuvtx[1].tow,
                       &v.tmuvtx[1].oow};
    for (float* field : fields) {
      *field = in.F32();
    }
  }
  auto* colour =
      const_cast<std::uint16_t*>(platform::glide::ColorBuffer(GR_BUFFER_BACKBUFFER).data());
  auto* depth = const_cast<std::uint16_t*>(platform::glide::DepthBuffer().data());
  const int clipRight = right < 640 ? right : 640;
  const int clipBottom = bottom < 480 ? bottom : 480;
  MarkAround(colour, depth, left, top, clipRight, clipBottom, false);
  switch (kind % 3) {
    case 0:
      grDrawPolygonVertexList(count, vertices.data());
      break;
    case 1:
      for (int i = 0; i + 1 < count; ++i) {
        grDrawLine(&vertices[static_cast<std::size_t>(i)],
                   &vertices[static_cast<std::size_t>(i) + 1]);
      }
      break;
    default:
      for (const GrVertex& v : vertices) {
        grDrawPoint(&v);
      }
      break;
  }
  MarkAround(colour, depth, left, top, clipRight, clipBottom, true);
  return 0;
}
