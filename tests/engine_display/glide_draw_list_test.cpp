#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "engine/core/math_plane.h"
#include "engine/display/glide_draw_list_internal.h"
#include "tests/engine_display/corners_past_every_plane.h"
#include "tests/engine_display/display_fixture.h"

namespace {

using Texts = std::vector<std::string>;

constexpr R3xRenderMethod kSolid = R3X_LIGHTING_FULL | R3X_RENDER_FILL_SOLID;
constexpr R3xRenderMethod kTextured = kSolid | 0x100;
constexpr R3xRenderMethod kTranslucent = 0x1000000 | 0x80000;

// A face of `corners` corners around (cx, cy) at depth 10 in a view that looks down +z from the
// origin, so that world and clip space agree.
struct Face {
  Face(float cx, float cy, int corners = 3) {
    for (int i = 0; i < corners; ++i) {
      const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(corners);
      vertices.push_back(cx + std::cos(angle));
      vertices.push_back(cy - std::sin(angle));
      vertices.push_back(10.0f);
      indexes.push_back(i);
      uv.push_back(0.0f);
      uv.push_back(0.0f);
    }
    polygon.vertexCount = corners;
    polygon.vertexIndexes = indexes.data();
    polygon.vertices = vertices.data();
    surface.pen = 1;
    surface.uv = uv.data();
  }
  std::vector<float> vertices;
  std::vector<std::int32_t> indexes;
  std::vector<float> uv;
  R3xIndexedPolygon polygon{};
  R3xSurface surface{};
};

class DrawListTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    palette_[1] = {0, 200, 0, 0};
    UsePlainView(render_, glide_, palette_);
    _r3xGlideResetDrawPool(glide_);
  }
  void TearDown() override {
    // No list may outlive its test's records.
    _r3xGlideResetDrawPool(glide_);
    DisplayTest::TearDown();
  }

  R3xBitmap* MakeTexture() {
    auto& pixels = pixelStore_.emplace_back(16 * 16, 3);
    R3xBitmap& bitmap = bitmaps_.emplace_back(MakeBitmap(16, 16, 8, pixels));
    bitmap.header.type = R3X_TYPE_BITMAP;
    return &bitmap;
  }
  std::int32_t Queue(Face& face, R3xRenderMethod method) {
    return _r3xGlideQueuePolygon(render_, &face.polygon, face.vertices.data(), &face.surface,
                                 method);
  }

  // The recorded calls that set pass state, select textures or draw, without their vertices.
  static Texts PassCalls() {
    static const std::set<std::string> kept = {
        "grTexCombine", "grAlphaBlendFunction", "grAlphaCombine", "grColorCombine",
        "grFogMode",    "grDepthMask",          "grTexSource",    "grDrawPolygonVertexList"};
    Texts texts;
    for (const auto& call : platform::glide::RecordedCalls()) {
      if (kept.count(call.name) != 0) {
        texts.push_back(call.name == "grTexSource" ? "grTexSource" : call.Text());
      }
    }
    return texts;
  }
  // The x of the first vertex of each polygon drawn.
  static std::vector<float> DrawnX() {
    std::vector<float> xs;
    for (const auto& call : platform::glide::RecordedCalls()) {
      if (call.name == "grDrawPolygonVertexList") {
        xs.push_back(call.vertices.at(0).x);
      }
    }
    return xs;
  }

  PALETTEENTRY palette_[256]{};
  // Deques: the records keep their addresses as more are made.
  std::deque<std::vector<std::uint8_t>> pixelStore_;
  std::deque<R3xBitmap> bitmaps_;
};

const std::string kDraw = "grDrawPolygonVertexList(3)";
const std::string kTexturedCombine = "grColorCombine(3, 1, 0, 1, 0)";
const std::string kUntexturedCombine = "grColorCombine(1, 0, 0, 2, 0)";
const Texts kPrologue = {"grTexCombine(0, 1, 0, 1, 0, 0, 0)", "grAlphaBlendFunction(4, 0, 4, 0)",
                         "grAlphaCombine(1, 0, 0, 2, 0)"};

TEST_F(DrawListTest, PassesDrawOpaqueThenTranslucentEachTextureSelectedOncePerPass) {
  Face plain(0, 0), glass(1, 0), wall(2, 0), window(3, 0), wall2(4, 0);
  R3xBitmap* brick = MakeTexture();
  wall.surface.texture = wall2.surface.texture = window.surface.texture = &brick->header;
  // Queued in an order the passes do not keep.
  ASSERT_EQ(Queue(window, kTextured | kTranslucent), R3X_GLIDE_QUEUED);
  ASSERT_EQ(Queue(glass, kSolid | kTranslucent), R3X_GLIDE_QUEUED);
  ASSERT_EQ(Queue(wall, kTextured), R3X_GLIDE_QUEUED);
  ASSERT_EQ(Queue(wall2, kTextured), R3X_GLIDE_QUEUED);
  ASSERT_EQ(Queue(plain, kSolid), R3X_GLIDE_QUEUED);
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  Texts expected = kPrologue;
  const Texts rest = {kUntexturedCombine,
                      kDraw,
                      kTexturedCombine,
                      "grTexSource",
                      kDraw,
                      kDraw,
                      "grFogMode(0)",
                      "grDepthMask(0)",
                      kUntexturedCombine,
                      "grAlphaBlendFunction(1, 5, 4, 0)",
                      kDraw,
                      "grAlphaBlendFunction(4, 0, 4, 0)",
                      kTexturedCombine,
                      "grTexSource",
                      "grAlphaBlendFunction(1, 5, 4, 0)",
                      kDraw,
                      "grAlphaBlendFunction(4, 0, 4, 0)",
                      "grDepthMask(1)",
                      "grFogMode(2)"};
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(PassCalls(), expected);
  // The one texture's opaque faces come out newest first: wall2 (x 4) before wall (x 2).
  const std::vector<float> xs = DrawnX();
  ASSERT_EQ(xs.size(), 5u);
  EXPECT_GT(xs[1], xs[2]);
  EXPECT_EQ(render_->polygonCount, 5u);
}

TEST_F(DrawListTest, TexturedAndUntexturedFacesReachTheBackBuffer) {
  R3xPalette palette{};
  palette.entries[1] = {0, 200, 0, 0};
  palette.entries[3] = {0, 0, 248, 0};
  ASSERT_EQ(r3xGlideAttach(glide_, render_, &palette), 0);
  r3xGlideClear(glide_, 1, 1, 0, 0, 0);
  R3xBitmap* brick = MakeTexture();
  // Diamonds of radius 1 at depth 10, 32 pixels from centre to corner; texel 3 everywhere.
  Face left(-5, 0, 4), right(5, 0, 4);
  right.surface.texture = &brick->header;
  Queue(left, kSolid);
  Queue(right, kTextured);
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_EQ(BackPixel(160, 240), Rgb565(0, 200, 0));
  EXPECT_EQ(BackPixel(480, 240), Rgb565(0, 0, 248));
  EXPECT_EQ(BackPixel(320, 240), 0);
}

TEST_F(DrawListTest, UntexturedFramesSelectNoTexture) {
  Face a(0, 0), b(1, 1);
  Queue(a, kSolid);
  Queue(b, kSolid | kTranslucent);
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  const Texts calls = PassCalls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "grTexSource"), 0);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), kDraw), 2);
}

TEST_F(DrawListTest, ATextureThatCannotBeResidentLosesItsPolygonsForTheFrameOnly) {
  R3xBitmap* brick = MakeTexture();
  Face wall(0, 0);
  wall.surface.texture = &brick->header;
  ASSERT_EQ(Queue(wall, kTextured), R3X_GLIDE_QUEUED);
  auto* texture = static_cast<R3xGlideTexture*>(brick->texture);
  ASSERT_NE(texture, nullptr);
  // No texture memory at all: the texture cannot be placed.
  glide_->memoryTop = glide_->memoryBottom = 1;
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_TRUE(DrawnX().empty());
  EXPECT_EQ(texture->opaqueList, nullptr);

  // The next frame starts with empty lists.
  _r3xGlideResetDrawPool(glide_);
  Face plain(1, 0);
  Queue(plain, kSolid);
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_EQ(DrawnX().size(), 1u);
}

TEST_F(DrawListTest, AFailedPolygonStopsThePassesAndEmptiesEveryList) {
  R3xBitmap* brick = MakeTexture();
  Face plain(0, 0), wall(1, 0);
  wall.surface.texture = &brick->header;
  Queue(wall, kTextured);
  Queue(plain, kSolid);
  // Without palette colours the untextured polygon cannot be drawn.
  render_->paletteColours = nullptr;
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), R3X_GLIDE_POLYGON_FAILED);
  EXPECT_TRUE(DrawnX().empty());
  EXPECT_EQ(static_cast<R3xGlideTexture*>(brick->texture)->opaqueList, nullptr);
  const Texts calls = PassCalls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ((Texts{calls.end() - 2, calls.end()}), (Texts{"grDepthMask(1)", "grFogMode(2)"}));
  render_->paletteColours = palette_;
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_TRUE(DrawnX().empty());
}

TEST_F(DrawListTest, ANewFrameForgetsTheListsOfAWorldDrawThatStoppedBeforeItsPasses) {
  Face a(0, 0), b(1, 0);
  Queue(a, kSolid);
  _r3xGlideResetDrawPool(glide_);
  // b takes a's pool entry; a's list must not still lead to it.
  Queue(b, kSolid);
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_EQ(DrawnX().size(), 1u);
}

TEST_F(DrawListTest, ManyCornersGrowTheVertexArrays) {
  ASSERT_EQ(render_->work.vertexCapacity, 32u);
  Face small(0, 0, 26), large(0, 0, 27);
  Queue(small, kSolid);
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_EQ(render_->work.vertexCapacity, 32u);
  _r3xGlideResetDrawPool(glide_);
  Queue(large, kSolid);
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_EQ(render_->work.vertexCapacity, 49u);
  EXPECT_EQ(DrawnX().size(), 1u);
}

// 26 corners fit the 32 vertices of the arrays with the six the clippers may add: a polygon
// that every plane adds one to is drawn whole, and the faces after it too.
TEST_F(DrawListTest, APolygonCutByEveryPlaneIsDrawnInArraysOfItsCornersAndSix) {
  ASSERT_EQ(render_->work.vertexCapacity, 32u);
  Face cut(0, 0, 26), plain(0, 0);
  const std::vector<std::array<float, 3>> ring = CornersPastEveryPlane(26);
  for (std::size_t k = 0; k < ring.size(); ++k) {
    std::copy(ring[k].begin(), ring[k].end(), cut.vertices.begin() + 3 * k);
  }
  render_->planeMask = 0x3F;
  Queue(plain, kSolid);
  Queue(cut, kSolid);
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_EQ(render_->work.vertexCapacity, 32u);
  EXPECT_EQ(render_->polygonCount, 2u);
  const Texts calls = PassCalls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "grDrawPolygonVertexList(32)"), 1);
}

TEST_F(DrawListTest, PolygonsBeyondThePoolAreDroppedForTheFrame) {
  Face face(0, 0);
  for (std::uint32_t i = 0; i < R3X_GLIDE_DRAW_ENTRIES; ++i) {
    ASSERT_EQ(Queue(face, kSolid), R3X_GLIDE_QUEUED);
  }
  EXPECT_EQ(Queue(face, kSolid), R3X_GLIDE_NOT_QUEUED);
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_EQ(render_->polygonCount, R3X_GLIDE_DRAW_ENTRIES);
  _r3xGlideResetDrawPool(glide_);
  EXPECT_EQ(Queue(face, kSolid), R3X_GLIDE_QUEUED);
}

TEST_F(DrawListTest, EntriesCarryTheRegionStateToTheDraw) {
  Face lit(0, 0);
  lit.polygon.normal[2] = -1.0f;
  render_->ambient[0] = 0.5f;
  render_->ambient[1] = 0.25f;
  render_->planeMask = R3X_CLIP_LEFT;
  Queue(lit, R3X_LIGHTING_AMBIENT | R3X_RENDER_FILL_SOLID);
  render_->ambient[0] = render_->ambient[1] = 0.0f;
  render_->planeMask = 0;
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  EXPECT_EQ(render_->clipMask, R3X_CLIP_LEFT);
  EXPECT_FLOAT_EQ(render_->polygonNormal[2], -1.0f);
  for (const auto& call : platform::glide::RecordedCalls()) {
    if (call.name == "grDrawPolygonVertexList") {
      EXPECT_FLOAT_EQ(call.vertices.at(0).g, 0.25f * 200.0f);
    }
  }
}

TEST_F(DrawListTest, TexturesThatCannotBeRegisteredOrAreNoBitmapAreNotQueued) {
  std::vector<std::uint8_t> pixels(3 * 16, 0);
  R3xBitmap odd = MakeBitmap(3, 16, 8, pixels);
  odd.header.type = R3X_TYPE_BITMAP;
  R3xObjectHeader other{};
  other.type = R3X_TYPE_LIGHT;
  Face a(0, 0), b(0, 0);
  a.surface.texture = &odd.header;
  b.surface.texture = &other;
  EXPECT_EQ(Queue(a, kTextured), R3X_GLIDE_NOT_QUEUED);
  EXPECT_EQ(Queue(b, kTextured), R3X_GLIDE_NOT_QUEUED);
  EXPECT_EQ(odd.texture, nullptr);
}

}  // namespace
