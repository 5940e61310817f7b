#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <vector>

#include "engine/core/math_plane.h"
#include "engine/display/glide_draw_list_internal.h"
#include "engine/display/glide_sprite_queue_internal.h"
#include "tests/engine_display/display_fixture.h"
#include "tests/support/failing_memory.h"
#include "tests/support/test_world_builder.h"

namespace {

constexpr R3xRenderMethod kSolid = R3X_LIGHTING_FULL | R3X_RENDER_FILL_SOLID;
constexpr R3xRenderMethod kTextured = kSolid | 0x100;

// A square face of half side 1 in the plane z = depth around (cx, cy), facing -z (toward a
// viewer at the origin: in front when -z + depth > 0), or +z when turned away.
struct SquareFace {
  float cx;
  float cy;
  float depth;
  bool away = false;
};

class SpriteQueueTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_EQ(r3xInit(), R3X_DONE);
    world_ = MakeTestWorld(MakeThreeSlabs());
    ASSERT_NE(world_, nullptr);
    // A view down +z from the origin in which world and clip space agree; no plane to test.
    UsePlainView(render_, glide_, palette_);
    actor_.header.type = R3X_TYPE_ACTOR;
    actor_.header.flags = R3X_FLAG_TRANSFORM_DIRTY;
    actor_.scale = 1.0f;
    ASSERT_EQ(r3xRegisterObject(world_, &actor_.header), 0);
    entry_.object = actor_.header.slot;
    _r3xGlideResetDrawPool(glide_);
    _r3xGlideResetSpriteStores();
  }
  void TearDown() override {
    _r3xGlideResetDrawPool(glide_);
    r3xUnregisterObject(world_, &actor_.header);
    r3xFree(actor_.vertexCache);
    r3xDestroyWorld(world_);
    r3xShutdown();
    DisplayTest::TearDown();
  }

  // A 3D sprite of square faces; links[i] = {front, back} face indexes, -1 for none.
  R3x3DSprite* Make3DSprite(const std::vector<SquareFace>& squares,
                            const std::vector<std::pair<int, int>>& links) {
    const auto count = static_cast<std::uint32_t>(squares.size());
    std::vector<float> vertices;
    auto* faces = static_cast<R3x3DSpriteFace*>(r3xMalloc(count * sizeof(R3x3DSpriteFace)));
    auto* surfaces = static_cast<R3xSurface*>(r3xMalloc(count * sizeof(R3xSurface)));
    for (std::uint32_t f = 0; f < count; ++f) {
      const SquareFace& s = squares[f];
      const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
      auto* indexes = static_cast<std::int32_t*>(r3xMalloc(4 * sizeof(std::int32_t)));
      for (int c = 0; c < 4; ++c) {
        indexes[c] = static_cast<std::int32_t>(vertices.size() / 3);
        vertices.insert(vertices.end(), {s.cx + corners[c][0], s.cy + corners[c][1], s.depth});
      }
      faces[f] = R3x3DSpriteFace{};
      faces[f].polygon.type = R3X_TYPE_3D_SPRITE_FACE;
      faces[f].polygon.vertexCount = 4;
      faces[f].polygon.vertexIndexes = indexes;
      faces[f].polygon.normal[2] = s.away ? 1.0f : -1.0f;
      faces[f].polygon.distance = s.away ? -s.depth : s.depth;
      faces[f].front = links[f].first < 0 ? nullptr : &faces[links[f].first];
      faces[f].back = links[f].second < 0 ? nullptr : &faces[links[f].second];
      surfaces[f] = R3xSurface{};
      surfaces[f].renderMethod = kSolid;
      surfaces[f].pen = 1;
      surfaces[f].uv = static_cast<float*>(r3xMalloc(8 * sizeof(float)));
    }
    const float offset[3] = {};
    R3x3DSpriteDef* def =
        r3xCreate3DSpriteDef(world_, nullptr, static_cast<std::uint32_t>(vertices.size() / 3),
                             vertices.data(), count, faces, false, offset, surfaces, nullptr, 2.0f);
    EXPECT_NE(def, nullptr);
    return def == nullptr ? nullptr : def->defaultInstance;
  }

  std::int32_t Queue3D(R3x3DSprite* sprite, std::int32_t lod = 0) {
    return _r3xGlideQueue3DSprite(world_, render_, &entry_, sprite, lod);
  }

  // Draws the queued polygons; the screen x of each one's first corner, in drawing order (a
  // list is drawn newest first).
  std::vector<float> DrawnX() {
    Record();
    EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
    std::vector<float> xs;
    for (const auto& call : platform::glide::RecordedCalls()) {
      if (call.name == "grDrawPolygonVertexList") {
        xs.push_back(call.vertices.at(0).x);
      }
    }
    platform::glide::StopRecording();
    return xs;
  }

  PALETTEENTRY palette_[256]{};
  R3xWorld* world_ = nullptr;
  R3xActor actor_{};
  R3xObjectEntry entry_{};
};

// Three parallel faces, the middle one the root: the far face (x -4) lies behind it, the near
// face (x +4) in front.
const std::vector<SquareFace> kLayers = {{0, 0, 15}, {-4, 0, 20}, {4, 0, 10}};
const std::vector<std::pair<int, int>> kLayerLinks = {{2, 1}, {-1, -1}, {-1, -1}};

TEST_F(SpriteQueueTest, AThreeFaceSpriteIsQueuedBackToFront) {
  R3x3DSprite* sprite = Make3DSprite(kLayers, kLayerLinks);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(Queue3D(sprite), 1);
  // Queued far, middle, near; the opaque list draws them in the reverse order.
  const std::vector<float> xs = DrawnX();
  ASSERT_EQ(xs.size(), 3u);
  EXPECT_GT(xs[0], xs[1]);
  EXPECT_GT(xs[1], xs[2]);
}

TEST_F(SpriteQueueTest, FacesTheViewerIsBehindAreNotQueued) {
  // The near face (x +4, right of the centre) turns away from the viewer.
  std::vector<SquareFace> layers = kLayers;
  layers[2].away = true;
  R3x3DSprite* sprite = Make3DSprite(layers, kLayerLinks);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(Queue3D(sprite), 1);
  const std::vector<float> xs = DrawnX();
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_LT(xs[0], 320.0f);
  EXPECT_LT(xs[1], 320.0f);
  // A one-face tree seen from behind queues nothing.
  R3x3DSprite* single = Make3DSprite({{0, 0, 5, true}}, {{-1, -1}});
  ASSERT_NE(single, nullptr);
  EXPECT_EQ(Queue3D(single), 1);
  EXPECT_TRUE(DrawnX().empty());
}

TEST_F(SpriteQueueTest, AnUnmovedSpriteIsQueuedFromItsCachedVertices) {
  R3x3DSprite* sprite = Make3DSprite({{0, 0, 10}}, {{-1, -1}});
  ASSERT_NE(sprite, nullptr);
  ASSERT_EQ(Queue3D(sprite), 1);
  const std::vector<float> first = DrawnX();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(actor_.header.flags & R3X_FLAG_TRANSFORM_DIRTY, 0u);
  // The definition's vertices change, but neither the actor nor the level of detail did.
  for (std::uint32_t i = 0; i < sprite->definition->vertexCount; ++i) {
    sprite->definition->vertices[3 * i] += 2.0f;
  }
  ASSERT_EQ(Queue3D(sprite), 1);
  EXPECT_EQ(DrawnX(), first);
  // Another level of detail, then a move, place the vertices anew.
  ASSERT_EQ(Queue3D(sprite, 1), 1);
  const std::vector<float> relodded = DrawnX();
  ASSERT_EQ(relodded.size(), 1u);
  EXPECT_GT(relodded[0], first[0]);
  actor_.placement.x = 1.0f;
  ASSERT_EQ(Queue3D(sprite, 1), 1);
  const std::vector<float> moved = DrawnX();
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_GT(moved[0], relodded[0]);
  // A larger part put in at the same level of detail is placed, not read past the cache.
  R3x3DSprite* larger = Make3DSprite(kLayers, kLayerLinks);
  ASSERT_NE(larger, nullptr);
  ASSERT_EQ(Queue3D(larger, 1), 1);
  EXPECT_EQ(DrawnX().size(), 3u);
  EXPECT_GE(actor_.vertexCacheCapacity, 12u);
}

TEST_F(SpriteQueueTest, AFaceWithoutItsSurfaceIsSkippedAndAnEmptyTreeDrawsNothing) {
  R3x3DSprite* sprite = Make3DSprite(kLayers, kLayerLinks);
  ASSERT_NE(sprite, nullptr);
  sprite->definition->faces[2].index = 7;
  EXPECT_EQ(Queue3D(sprite), 1);
  const std::vector<float> xs = DrawnX();
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_LT(xs[0], 320.0f);
  sprite->definition->root = nullptr;
  EXPECT_EQ(Queue3D(sprite), 1);
  EXPECT_TRUE(DrawnX().empty());
}

TEST_F(SpriteQueueTest, TheClipMaskIsTheRegionsAgainAfterASprite) {
  R3x3DSprite* sprite = Make3DSprite({{0, 0, 10}}, {{-1, -1}});
  ASSERT_NE(sprite, nullptr);
  render_->frustumFactors[0] = render_->frustumFactors[1] = 1.0f;
  render_->frustumFactors[2] = render_->frustumFactors[3] = 2.0f;
  const std::uint32_t regionFlags = R3X_CLIP_BOTTOM | R3X_CLIP_TOP | R3X_CLIP_LEFT | R3X_CLIP_RIGHT;
  render_->planeMask = regionFlags;
  EXPECT_EQ(Queue3D(sprite), 1);
  EXPECT_EQ(render_->planeMask, regionFlags);
  EXPECT_EQ(DrawnX().size(), 1u);
  // Wholly beyond the far distance: one sphere test, nothing queued, the mask kept.
  render_->planeMask = regionFlags;
  actor_.placement.z = 500.0f;
  EXPECT_EQ(Queue3D(sprite), 1);
  EXPECT_EQ(render_->planeMask, regionFlags);
  EXPECT_TRUE(DrawnX().empty());
}

// In a region that crosses every plane, a sprite's faces are queued with the planes its own
// sphere (radius 2 around the actor) crosses, and drawn clipped by those alone.
TEST_F(SpriteQueueTest, ASpritesFacesCarryThePlanesItsSphereCrosses) {
  struct Case {
    const char* name;
    float x, z;
    std::uint32_t flags;
  };
  const Case cases[] = {
      {"inside every plane", 0, 10, 0},
      {"across the left side", -9, 10, R3X_CLIP_LEFT},
      {"across the far plane", 0, 99, R3X_CLIP_FAR},
      {"across the near plane and the sides", 0, 2, 0x1F},
  };
  R3x3DSprite* sprite = Make3DSprite({{0, 0, 0}}, {{-1, -1}});
  ASSERT_NE(sprite, nullptr);
  render_->frustumFactors[0] = render_->frustumFactors[1] = 1.0f;
  render_->frustumFactors[2] = render_->frustumFactors[3] = 2.0f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    render_->planeMask = 0x3F;
    actor_.placement.x = c.x;
    actor_.placement.z = c.z;
    ASSERT_EQ(Queue3D(sprite), 1);
    EXPECT_EQ(render_->planeMask, 0x3Fu);
    // Drawing an entry hands its flags to the clipper.
    render_->clipMask = 0xFF;
    EXPECT_EQ(DrawnX().size(), 1u);
    EXPECT_EQ(render_->clipMask, c.flags);
  }
}

TEST_F(SpriteQueueTest, ACacheOrStackThatCannotBeMadeFailsTheSpriteUntilMemoryReturns) {
  R3x3DSprite* sprite = Make3DSprite(kLayers, kLayerLinks);
  ASSERT_NE(sprite, nullptr);
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(Queue3D(sprite), R3X_ERR_SPRITE3D_NO_MEMORY);
  }
  EXPECT_EQ(actor_.vertexCacheCapacity, 0u);
  EXPECT_EQ(actor_.cachedOffset[0], 1e30f);
  // The key never matches a failed cache: the next frame builds it.
  EXPECT_EQ(Queue3D(sprite), 1);
  EXPECT_EQ(DrawnX().size(), 3u);
  // A face-walk stack too small for the tree must grow.
  r3xFree(render_->work.renderVertices);
  render_->work.renderVertices = nullptr;
  render_->work.renderVertexCapacity = 0;
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(Queue3D(sprite), R3X_ERR_SPRITE3D_FACES);
  }
  EXPECT_TRUE(DrawnX().empty());
  EXPECT_EQ(Queue3D(sprite), 1);
  EXPECT_EQ(DrawnX().size(), 3u);
  EXPECT_GT(render_->work.renderVertexCapacity, 3u);
}

// 2D sprites over records the test keeps: a view set per pitch cap, one view each, frames of
// bitmaps whose widths tell them apart.
class Sprite2DQueueTest : public SpriteQueueTest {
 protected:
  void Build(const std::vector<float>& pitchCaps, std::uint32_t flatFrom = 99) {
    for (std::size_t i = 0; i < pitchCaps.size(); ++i) {
      auto& pixels = pixels_.emplace_back(64 * 64, 3);
      R3xBitmap& bitmap =
          bitmaps_.emplace_back(MakeBitmap(static_cast<std::int32_t>(4u << i), 4, 8, pixels));
      bitmap.header.type = R3X_TYPE_BITMAP;
      slots_.push_back(R3xSlot{&bitmap.header, 0});
    }
    for (std::size_t i = 0; i < pitchCaps.size(); ++i) {
      handles_.push_back(&slots_[i]);
    }
    for (std::size_t i = 0; i < pitchCaps.size(); ++i) {
      views_.push_back(R3x2DSpriteView{1e30f, &handles_[i]});
    }
    for (std::size_t i = 0; i < pitchCaps.size(); ++i) {
      sets_.push_back(R3x2DSpriteViewSet{pitchCaps[i], i >= flatFrom ? 1u : 0u, 1, &views_[i]});
    }
    def_.framesPerView = 1;
    def_.viewSetCount = static_cast<std::uint32_t>(sets_.size());
    def_.viewSets = sets_.data();
    def_.sizeX = def_.sizeY = def_.depthScale = 1.0f;
    sprite_.definition = &def_;
    sprite_.surface.renderMethod = kTextured;
    sprite_.quad.vertexCount = 4;
    sprite_.quad.vertexIndexes = indexes_;
  }
  // The width of the frame the sprite showed for a viewer at v in the actor's frame.
  std::int32_t ShownWidth(float vx, float vy, float vz) {
    sprite_.surface.texture = nullptr;
    for (int k = 0; k < 3; ++k) {
      render_->translation[k] = -(&actor_.placement.x)[k];
    }
    render_->translation[0] -= vx;
    render_->translation[1] -= vy;
    render_->translation[2] -= vz;
    EXPECT_EQ(_r3xGlideQueue2DSprite(world_, render_, &entry_, &sprite_), 1);
    const R3xObjectHeader* shown = sprite_.surface.texture;
    return shown == nullptr ? 0 : reinterpret_cast<const R3xBitmap*>(shown)->width;
  }
  std::int32_t Queue() { return _r3xGlideQueue2DSprite(world_, render_, &entry_, &sprite_); }

  std::deque<std::vector<std::uint8_t>> pixels_;
  std::deque<R3xBitmap> bitmaps_;
  std::deque<R3xSlot> slots_;
  std::vector<R3xBitmapHandle> handles_;
  std::vector<R3x2DSpriteView> views_;
  std::vector<R3x2DSpriteViewSet> sets_;
  std::int32_t indexes_[4] = {0, 1, 2, 3};
  R3x2DSpriteDef def_{};
  R3x2DSprite sprite_{};
};

TEST_F(Sprite2DQueueTest, ThePitchViewFollowsTheAngleTheSpriteIsSeenFrom) {
  // Below -100, -100 to -50, -50 to 100, above 100: frames 4, 8, 16 and 32 texels wide.
  Build({-100.0f, -50.0f, 100.0f, 1e30f});
  actor_.placement.z = 20.0f;
  struct Case {
    float v[3];
    std::int32_t width;
  };
  const float down = std::tan(62.0f / 512.0f * 6.2831853f);
  const Case cases[] = {
      {{0, 0, 10}, 32},          // straight above: 128
      {{0, 0, -10}, 4},          // straight below: -128
      {{10, 0, -10 * down}, 8},  // 450 units becomes -62
      {{10, 0, 0}, 16},          // level
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShownWidth(c.v[0], c.v[1], c.v[2]), c.width) << c.v[0] << " " << c.v[2];
  }
}

TEST_F(Sprite2DQueueTest, HeadingViewsAndFlatCornersFollowTheViewer) {
  Build({1e30f}, 0);
  // Two heading views: up to 64 units the first frame (4 wide), beyond it the second (8 wide).
  handles_.push_back(handles_[0]);
  auto& pixels = pixels_.emplace_back(64 * 64, 3);
  R3xBitmap& wide = bitmaps_.emplace_back(MakeBitmap(8, 4, 8, pixels));
  wide.header.type = R3X_TYPE_BITMAP;
  slots_.push_back(R3xSlot{&wide.header, 0});
  handles_[1] = &slots_.back();
  views_ = {R3x2DSpriteView{64.0f, &handles_[0]}, R3x2DSpriteView{1e30f, &handles_[1]}};
  sets_[0].viewCount = 2;
  sets_[0].views = views_.data();
  EXPECT_EQ(ShownWidth(0, 0, 10), 4);   // straight above: heading 0
  EXPECT_EQ(ShownWidth(-10, 1, 1), 4);  // atan2(1, 10): 6
  EXPECT_EQ(ShownWidth(0, 10, 1), 8);   // atan2(10, 0): 128
  // Seen from straight above or below, a flat quad runs its corners the other way round along x.
  ShownWidth(0, 0, 10);
  EXPECT_LT(sprite_.surface.vAxis[0], 0.0f);
  ShownWidth(0, 0, -10);
  EXPECT_GT(sprite_.surface.vAxis[0], 0.0f);
}

TEST_F(Sprite2DQueueTest, ActorsSharingASpriteEachDrawTheFrameTheyChose) {
  // Seen from below its horizontal plane the 4-wide frame, from above the 8-wide one.
  Build({0.0f, 1e30f});
  actor_.placement.x = -3.0f;
  actor_.placement.z = 20.0f;
  // The other actor is rolled over: the viewer is above its plane.
  R3xActor other{};
  other.header.type = R3X_TYPE_ACTOR;
  other.scale = 1.0f;
  other.placement.x = 3.0f;
  other.placement.z = 20.0f;
  other.placement.roll = 256.0f;
  ASSERT_EQ(r3xRegisterObject(world_, &other.header), 0);
  const R3xObjectEntry otherEntry{other.header.slot, 0, 0, nullptr};
  EXPECT_EQ(Queue(), 1);
  EXPECT_EQ(_r3xGlideQueue2DSprite(world_, render_, &otherEntry, &sprite_), 1);
  Record();
  EXPECT_EQ(_r3xGlideDrawPasses(render_), 0);
  // The largest texture coordinate of each quad spans its own frame: 3 of 4 texels, 7 of 8.
  std::vector<float> spans;
  for (const auto& call : platform::glide::RecordedCalls()) {
    if (call.name == "grDrawPolygonVertexList") {
      float span = 0.0f;
      for (const GrVertex& v : call.vertices) {
        span = std::max(span, v.tmuvtx[0].sow / v.oow);
      }
      spans.push_back(std::round(span));
    }
  }
  std::sort(spans.begin(), spans.end());
  EXPECT_EQ(spans, std::vector<float>({192.0f, 224.0f}));
  r3xUnregisterObject(world_, &other.header);
}

TEST_F(Sprite2DQueueTest, AnUprightQuadFacesTheViewerAndTakesTheWholeFrame) {
  Build({1e30f});
  actor_.placement.z = 20.0f;
  Record();
  EXPECT_EQ(Queue(), 1);
  // Seen along +z: the quad lies across the view at depth 20, its texels 0..3 over 0..3.
  const float* uv = sprite_.surface.uv;
  ASSERT_NE(uv, nullptr);
  EXPECT_EQ(std::vector<float>(uv, uv + 8), std::vector<float>({0, 0, 0, 3, 3, 3, 3, 0}));
  EXPECT_FLOAT_EQ(sprite_.surface.uvOrigin[2], 20.0f);
  EXPECT_FLOAT_EQ(sprite_.surface.uAxis[2], 0.0f);
  EXPECT_FLOAT_EQ(sprite_.surface.vAxis[2], 0.0f);
  EXPECT_EQ(DrawnX().size(), 1u);
}

TEST_F(Sprite2DQueueTest, SpritesBeyondTheStoresOrTheirFramesAreSkipped) {
  Build({1e30f});
  actor_.placement.z = 20.0f;
  sprite_.currentFrame = 1;
  EXPECT_EQ(Queue(), 1);
  EXPECT_TRUE(DrawnX().empty());
  sprite_.currentFrame = 0;
  sprite_.surface.renderMethod = 0x20;
  EXPECT_EQ(Queue(), 1);
  EXPECT_TRUE(DrawnX().empty());
  sprite_.surface.renderMethod = kTextured;
  for (std::uint32_t i = 0; i < R3X_GLIDE_2D_SPRITES + 5; ++i) {
    EXPECT_EQ(Queue(), 1);
  }
  EXPECT_EQ(DrawnX().size(), R3X_GLIDE_2D_SPRITES);
  _r3xGlideResetSpriteStores();
  EXPECT_EQ(Queue(), 1);
  EXPECT_EQ(DrawnX().size(), 1u);
}

}  // namespace
