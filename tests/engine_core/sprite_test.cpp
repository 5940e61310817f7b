#include <gtest/gtest.h>

#include <vector>

#include "engine/core/bitmap_internal.h"
#include "engine/r3x.h"
#include "math_tables_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

class SpriteTest : public MathTablesTest {
 protected:
  void TearDown() override {
    // Sprites first: they hold references on the bitmaps made here.
    for (std::int32_t type :
         {R3X_TYPE_3D_SPRITE, R3X_TYPE_3D_SPRITE_DEF, R3X_TYPE_2D_SPRITE, R3X_TYPE_2D_SPRITE_DEF,
          R3X_TYPE_SIMPLE_SPRITE, R3X_TYPE_SIMPLE_SPRITE_DEF}) {
      r3xDestroyAllOfType(world_, type);
    }
    for (R3xBitmap* bitmap : bitmaps_) {
      EXPECT_EQ(bitmap->header.refCount, 0);
      r3xUnregisterObject(world_, &bitmap->header);
      r3xFree(bitmap);
    }
    r3xDestroyWorld(world_);
    MathTablesTest::TearDown();
  }

  // A registered bitmap record without pixels: sprites only count references on it.
  R3xBitmapHandle makeBitmap() {
    auto* bitmap = static_cast<R3xBitmap*>(r3xMalloc(sizeof(R3xBitmap)));
    bitmap->header = {R3X_TYPE_BITMAP, -1, nullptr, 0, 0};
    EXPECT_EQ(r3xRegisterObject(world_, &bitmap->header), 0);
    bitmaps_.push_back(bitmap);
    return &world_->bitmaps.slots[bitmap->header.slot];
  }

  static std::int32_t refs(R3xBitmapHandle handle) { return _r3xBitmapOf(handle)->header.refCount; }

  R3xSimpleSpriteDef* makeSimpleDef(const char* tag, std::vector<R3xBitmapHandle> frames) {
    return r3xCreateSimpleSpriteDef(world_, tag, static_cast<std::uint32_t>(frames.size()),
                                    frames.data(), 1, 250, 0);
  }

  // Two faces over four vertices: a triangle {0, 1, 2} and a triangle {0, 2, 3}, with their
  // arrays in engine memory as a world loader hands them over.
  R3x3DSpriteDef* makeWedge(const char* tag, R3xSimpleSprite* texture, bool normals) {
    const float vertices[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 1};
    auto* faces = static_cast<R3x3DSpriteFace*>(r3xMalloc(2 * sizeof(R3x3DSpriteFace)));
    const std::int32_t corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
    const float faceNormals[2][3] = {{0, 0, 1}, {1, 0, 0}};
    auto* surfaces = static_cast<R3xSurface*>(r3xMalloc(2 * sizeof(R3xSurface)));
    // The second face lies behind the first.
    faces[0].back = &faces[1];
    for (int f = 0; f < 2; ++f) {
      R3xIndexedPolygon& polygon = faces[f].polygon;
      polygon.vertexCount = 3;
      polygon.vertexIndexes = static_cast<std::int32_t*>(r3xMalloc(3 * sizeof(std::int32_t)));
      for (int c = 0; c < 3; ++c) {
        polygon.vertexIndexes[c] = corners[f][c];
        polygon.normal[c] = faceNormals[f][c];
      }
      surfaces[f].renderMethod = 0x0103 + static_cast<R3xRenderMethod>(f);
      surfaces[f].texture = texture == nullptr ? nullptr : &texture->header;
      surfaces[f].uv = static_cast<float*>(r3xMalloc(6 * sizeof(float)));
      for (int k = 0; k < 6; ++k) {
        surfaces[f].uv[k] = static_cast<float>(10 * f + k);
      }
    }
    const float offset[3] = {0.0f, 0.0f, 0.5f};
    auto* volume = reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(1.5f));
    R3x3DSpriteDef* definition = r3xCreate3DSpriteDef(world_, tag, 4, vertices, 2, faces, normals,
                                                      offset, surfaces, volume, 2.0f);
    if (definition == nullptr) {
      for (int f = 0; f < 2; ++f) {
        r3xFree(faces[f].polygon.vertexIndexes);
        r3xFree(surfaces[f].uv);
      }
      r3xFree(faces);
      r3xFree(surfaces);
      r3xFreeVolumeRecord(volume);
    }
    return definition;
  }

  R3xWorld* world_ = r3xCreateWorld(nullptr, 0, nullptr);
  std::vector<R3xBitmap*> bitmaps_;
};

TEST_F(SpriteTest, ASimpleSpriteStartsAfterItsDelayAndItsDefinitionHoldsItsBitmaps) {
  R3xBitmapHandle a = makeBitmap();
  R3xBitmapHandle b = makeBitmap();
  R3xSimpleSpriteDef* definition = makeSimpleDef("FIRE", {a, b, a});
  ASSERT_NE(definition, nullptr);
  EXPECT_EQ(refs(a), 2);
  EXPECT_EQ(refs(b), 1);
  EXPECT_EQ(r3xFindTag(world_, "FIRE"), &definition->header);
  EXPECT_EQ(makeSimpleDef("FIRE", {b}), definition);
  EXPECT_EQ(refs(b), 1);

  const R3xSimpleSprite* fallback = definition->defaultInstance;
  EXPECT_EQ(fallback->bitmap, b);
  EXPECT_EQ(fallback->startTime, 0u);
  EXPECT_EQ(fallback->header.refCount, 1);

  ASSERT_EQ(r3xSetWorldTime(world_, 1000), 0);
  R3xSimpleSprite* sprite = r3xCreateSimpleSprite(world_, definition);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->startTime, 1250u);
  EXPECT_EQ(sprite->bitmap, b);
  EXPECT_EQ(sprite->startFrame, 1u);
  EXPECT_EQ(sprite->header.refCount, 0);
  EXPECT_EQ(sprite->header.tag, nullptr);
  EXPECT_EQ(definition->header.refCount, 2);
  EXPECT_EQ(r3xSetSimpleSpriteFrame(sprite, 1), 0);
  EXPECT_EQ(sprite->frameValue, 1);

  EXPECT_EQ(r3xDestroySimpleSpriteDef(world_, definition), R3X_ERR_DEF_IN_USE);
  EXPECT_EQ(r3xDestroySimpleSprite(world_, definition->defaultInstance), R3X_ERR_DEFAULT_INSTANCE);
  // A surface holding the sprite as texture keeps it alive.
  ASSERT_EQ(r3xAddRef(&sprite->header), 0);
  EXPECT_EQ(r3xDestroySimpleSprite(world_, sprite), R3X_ERR_DEFAULT_INSTANCE);
  ASSERT_EQ(r3xRelease(&sprite->header), 0);
  EXPECT_EQ(r3xRelease(&sprite->header), R3X_ERR_FAILED);
  EXPECT_EQ(sprite->header.refCount, 0);
  EXPECT_EQ(r3xDestroySimpleSprite(world_, sprite), 0);
  EXPECT_EQ(definition->header.refCount, 1);
  EXPECT_EQ(r3xDestroySimpleSpriteDef(world_, definition), 0);
  EXPECT_EQ(refs(a), 0);
  EXPECT_EQ(refs(b), 0);
  EXPECT_EQ(world_->simpleSprites.count, 0u);
  EXPECT_EQ(r3xFindTag(world_, "FIRE"), nullptr);
}

TEST_F(SpriteTest, ASimpleSpriteDefinitionWithoutItsStartFrameIsRefused) {
  R3xBitmapHandle a = makeBitmap();
  const R3xBitmapHandle frames[2] = {a, nullptr};
  EXPECT_EQ(r3xCreateSimpleSpriteDef(world_, "S", 1, frames, 1, 0, 0), nullptr);
  EXPECT_EQ(r3xCreateSimpleSpriteDef(world_, "S", 2, frames, 0, 0, 0), nullptr);
  EXPECT_EQ(refs(a), 0);
  EXPECT_EQ(world_->simpleSpriteDefs.count, 0u);
  EXPECT_EQ(r3xFindTag(world_, "S"), nullptr);
}

TEST_F(SpriteTest, A2DSpriteCopiesItsFramesAndCountsItsInstances) {
  R3xBitmapHandle a = makeBitmap();
  R3xBitmapHandle b = makeBitmap();
  R3xBitmapHandle callerFrames[2][2] = {{a, b}, {b, b}};
  auto* views = static_cast<R3x2DSpriteView*>(r3xMalloc(2 * sizeof(R3x2DSpriteView)));
  views[0] = {64.0f, callerFrames[0]};
  views[1] = {128.0f, callerFrames[1]};
  auto* viewSets = static_cast<R3x2DSpriteViewSet*>(r3xMalloc(sizeof(R3x2DSpriteViewSet)));
  viewSets[0] = {32.0f, 1, 2, views};
  R3xSurface surface{};
  surface.renderMethod = 0x0107;
  surface.intensity = 0.5f;
  const float offset[3] = {0.0f, 0.0f, 1.0f};
  auto* volume = reinterpret_cast<R3xVolume*>(r3xCreateSphereVolume(2.0f));
  R3x2DSpriteDef* definition = r3xCreate2DSpriteDef(
      world_, "TREE", 2, 1, viewSets, 4.0f, 8.0f, 1.0f, &surface, 0, 100, 1, offset, volume, 5.0f);
  ASSERT_NE(definition, nullptr);
  EXPECT_EQ(refs(a), 1);
  EXPECT_EQ(refs(b), 3);
  EXPECT_NE(views[0].frames, callerFrames[0]);
  callerFrames[0][0] = nullptr;
  EXPECT_EQ(definition->viewSets[0].views[0].frames[0], a);
  EXPECT_EQ(r3xGet2DSpriteRadius(definition), 5.0f);

  const R3x2DSprite* fallback = definition->defaultInstance;
  EXPECT_EQ(fallback->volume, volume);
  EXPECT_EQ(fallback->surface.type, R3X_TYPE_SURFACE);
  EXPECT_EQ(fallback->surface.intensity, 0.5f);
  EXPECT_EQ(fallback->quad.vertexCount, 4);
  EXPECT_EQ(fallback->quad.vertexIndexes[3], 3);

  ASSERT_EQ(r3xSetWorldTime(world_, 40), 0);
  R3x2DSprite* sprite = r3xCreate2DSprite(world_, definition, nullptr);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->startTime, 140u);
  EXPECT_NE(sprite->volume, volume);
  EXPECT_EQ(r3xGetVolumeRadius(sprite->volume), 2.0f);
  EXPECT_EQ(sprite->quad.vertexIndexes, fallback->quad.vertexIndexes);
  EXPECT_EQ(definition->header.refCount, 2);
  EXPECT_EQ(r3xGet2DSpriteRenderMethod(sprite), 0x0107u);

  ASSERT_EQ(r3xAddRef(&sprite->header), 0);
  EXPECT_EQ(r3xDestroy2DSpriteDef(world_, definition), R3X_ERR_DEF_IN_USE);
  EXPECT_EQ(r3xDestroy2DSprite(world_, sprite), R3X_ERR_DEFAULT_INSTANCE);
  ASSERT_EQ(r3xRelease(&sprite->header), 0);
  EXPECT_EQ(r3xDestroy2DSprite(world_, sprite), 0);
  EXPECT_EQ(r3xDestroy2DSpriteDef(world_, definition), 0);
  EXPECT_EQ(refs(a), 0);
  EXPECT_EQ(refs(b), 0);
  EXPECT_EQ(world_->sprites2D.count, 0u);
}

struct MethodCase {
  std::uint32_t tableSize;
  R3xRenderMethod method;
  bool accepted;
};

class RenderMethodTest : public SpriteTest, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(RenderMethodTest, AnIndirectMethodMustLieInsideTheTable) {
  const MethodCase c = GetParam();
  std::vector<R3xRenderMethod> entries(c.tableSize, 7);
  const R3xIndirectRenderMethods indirect{c.tableSize, entries.data()};
  R3x2DSpriteDef* flat = r3xCreate2DSpriteDef(world_, "FLAT", 0, 0, nullptr, 1.0f, 1.0f, 1.0f,
                                              nullptr, 0, 0, 0, nullptr, nullptr, 1.0f);
  ASSERT_NE(flat, nullptr);
  R3x2DSprite* sprite = r3xCreate2DSprite(world_, flat, nullptr);
  R3x3DSprite* model = r3xCreate3DSprite(world_, makeWedge("WEDGE", nullptr, false), nullptr);
  ASSERT_NE(model, nullptr);

  const std::int32_t expected = c.accepted ? 0 : R3X_ERR_FAILED;
  EXPECT_EQ(r3xSet2DSpriteRenderMethod(&indirect, sprite, c.method), expected);
  EXPECT_EQ(r3xGet2DSpriteRenderMethod(sprite), c.accepted ? c.method : 0u);
  EXPECT_EQ(r3xSet3DSpriteFaceRenderMethod(&indirect, model, 1, c.method), expected);
  EXPECT_EQ(r3xGet3DSpriteFaceRenderMethod(model, 1), c.accepted ? c.method : 0x0104u);
}

INSTANTIATE_TEST_SUITE_P(Methods, RenderMethodTest,
                         ::testing::Values(MethodCase{64, 0x80000040, false},
                                           MethodCase{65, 0x80000040, true},
                                           MethodCase{0, 0x80000000, false},
                                           MethodCase{0, 0x00000103, true}));

TEST_F(SpriteTest, AFaceOfItsOwnGivesA3DSpriteAPrivateSurfaceTable) {
  R3xBitmapHandle bitmap = makeBitmap();
  R3xSimpleSpriteDef* textureDef = makeSimpleDef("TEX", {bitmap, bitmap});
  R3xSimpleSprite* texture = r3xCreateSimpleSprite(world_, textureDef);
  R3x3DSpriteDef* definition = makeWedge("WEDGE", texture, false);
  ASSERT_NE(definition, nullptr);
  EXPECT_EQ(texture->header.refCount, 2);
  EXPECT_EQ(r3xGet3DSpriteFaceCount(definition), 2u);
  EXPECT_EQ(r3xGet3DSpriteRadius(definition), 2.0f);
  EXPECT_EQ(definition->faces[1].polygon.vertices, definition->vertices);
  EXPECT_EQ(definition->root, &definition->faces[0]);
  EXPECT_EQ(definition->faces[0].back, &definition->faces[1]);
  EXPECT_EQ(definition->faces[1].index, 1u);

  R3x3DSprite* first = r3xCreate3DSprite(world_, definition, nullptr);
  R3x3DSprite* second = r3xCreate3DSprite(world_, definition, nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(r3xGet3DSpriteDef(first), definition);
  EXPECT_EQ(first->surfaces, nullptr);
  EXPECT_EQ(first->offset[2], 0.5f);
  EXPECT_EQ(texture->header.refCount, 6);
  EXPECT_EQ(definition->header.refCount, 3);

  const R3xIndirectRenderMethods none{0, nullptr};
  ASSERT_EQ(r3xSet3DSpriteFaceRenderMethod(&none, first, 0, 0x00030003), 0);
  ASSERT_NE(first->surfaces, nullptr);
  EXPECT_EQ(r3xGet3DSpriteFaceRenderMethod(first, 0), 0x00030003u);
  EXPECT_EQ(r3xGet3DSpriteFaceRenderMethod(second, 0), 0x0103u);
  EXPECT_EQ(r3xGet3DSpriteFaceRenderMethod(definition->defaultInstance, 0), 0x0103u);
  EXPECT_EQ(r3xGet3DSpriteFaceRenderMethod(first, 2), 0u);
  EXPECT_EQ(r3xSet3DSpriteFaceRenderMethod(&none, second, 2, 3), R3X_ERR_FAILED);
  EXPECT_EQ(second->surfaces, nullptr);
  EXPECT_NE(first->surfaces[1].uv, definition->defaultInstance->surfaces[1].uv);
  EXPECT_EQ(first->surfaces[1].uv[5], 15.0f);

  R3x3DSprite* copy = r3xCopy3DSprite(world_, first, nullptr);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->surfaces, first->surfaces);
  EXPECT_NE(copy->surfaces[0].uv, first->surfaces[0].uv);
  EXPECT_EQ(r3xGet3DSpriteFaceRenderMethod(copy, 0), 0x00030003u);
  EXPECT_EQ(copy->header.refCount, 0);
  EXPECT_EQ(definition->header.refCount, 4);
  EXPECT_EQ(texture->header.refCount, 8);

  // An actor holding the copy keeps the definition.
  ASSERT_EQ(r3xAddRef(&copy->header), 0);
  for (R3x3DSprite* sprite : {first, second}) {
    EXPECT_EQ(r3xDestroy3DSprite(world_, sprite), 0);
  }
  EXPECT_EQ(r3xDestroy3DSpriteDef(world_, definition), R3X_ERR_DEF_IN_USE);
  EXPECT_EQ(r3xDestroy3DSprite(world_, copy), R3X_ERR_DEFAULT_INSTANCE);
  ASSERT_EQ(r3xRelease(&copy->header), 0);
  EXPECT_EQ(r3xDestroy3DSprite(world_, copy), 0);
  EXPECT_EQ(r3xDestroy3DSprite(world_, definition->defaultInstance), R3X_ERR_DEFAULT_INSTANCE);
  EXPECT_EQ(texture->header.refCount, 2);

  const std::uint32_t texturesBefore = world_->simpleSprites.count;
  EXPECT_EQ(r3xDestroy3DSpriteDef(world_, definition), 0);
  // The last user of the texture destroyed it.
  EXPECT_EQ(world_->simpleSprites.count, texturesBefore - 1);
  EXPECT_EQ(textureDef->header.refCount, 1);
  EXPECT_EQ(world_->sprites3D.count, 0u);
}

TEST_F(SpriteTest, VertexNormalsAreNormalisedWhereFacesMeet) {
  R3x3DSpriteDef* definition = makeWedge("WEDGE", nullptr, true);
  ASSERT_NE(definition, nullptr);
  ASSERT_NE(definition->normals, nullptr);
  const float h = 0.70710678f;
  const float expected[4][3] = {{h, 0, h}, {0, 0, 1}, {h, 0, h}, {1, 0, 0}};
  for (int v = 0; v < 4; ++v) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(definition->normals[3 * v + k], expected[v][k], 1e-5) << v << " " << k;
    }
  }
  EXPECT_EQ(makeWedge("PLAIN", nullptr, false)->normals, nullptr);
}

TEST_F(SpriteTest, AFaceOverAMissingVertexIsRefused) {
  const float vertices[9] = {};
  std::int32_t corners[3] = {0, 1, 3};
  R3x3DSpriteFace face{};
  face.polygon.vertexCount = 3;
  face.polygon.vertexIndexes = corners;
  R3xSurface surface{};
  EXPECT_EQ(r3xCreate3DSpriteDef(world_, "BAD", 3, vertices, 1, &face, true, nullptr, &surface,
                                 nullptr, 1.0f),
            nullptr);
  corners[2] = -1;
  EXPECT_EQ(r3xCreate3DSpriteDef(world_, "BAD", 3, vertices, 1, &face, true, nullptr, &surface,
                                 nullptr, 1.0f),
            nullptr);
  EXPECT_EQ(face.polygon.vertices, nullptr);
  EXPECT_EQ(world_->sprite3DDefs.count, 0u);
  EXPECT_EQ(r3xFindTag(world_, "BAD"), nullptr);
}

TEST_F(SpriteTest, FaceLinksThatCycleOrLeaveTheArrayAreRefused) {
  const float vertices[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  std::int32_t corners[3] = {0, 1, 2};
  R3x3DSpriteFace outside{};
  struct Case {
    const char* name;
    // Front and back of faces 0 to 2 as face numbers (-1 none), or 9 for a face of another array.
    int links[3][2];
    bool accepted;
  } cases[] = {
      {"Chain", {{1, -1}, {-1, 2}, {-1, -1}}, true},
      {"SharedChild", {{1, 2}, {2, -1}, {-1, -1}}, true},
      {"Self", {{0, -1}, {-1, -1}, {-1, -1}}, false},
      {"BackToTheRoot", {{1, -1}, {-1, 2}, {0, -1}}, false},
      {"LoopBelowTheRoot", {{1, -1}, {2, -1}, {-1, 1}}, false},
      {"OutsideTheArray", {{-1, 9}, {-1, -1}, {-1, -1}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    R3x3DSpriteFace faces[3] = {};
    R3xSurface surfaces[3] = {};
    for (int f = 0; f < 3; ++f) {
      faces[f].polygon.vertexCount = 3;
      faces[f].polygon.vertexIndexes = corners;
      R3x3DSpriteFace** link[2] = {&faces[f].front, &faces[f].back};
      for (int side = 0; side < 2; ++side) {
        const int n = c.links[f][side];
        *link[side] = n < 0 ? nullptr : n == 9 ? &outside : &faces[n];
      }
    }
    R3x3DSpriteDef* definition = r3xCreate3DSpriteDef(world_, c.name, 3, vertices, 3, faces, false,
                                                      nullptr, surfaces, nullptr, 1.0f);
    EXPECT_EQ(definition != nullptr, c.accepted);
    if (definition != nullptr) {
      EXPECT_EQ(definition->root, &faces[0]);
      EXPECT_EQ(faces[2].index, 2u);
      // The faces are the definition's now, but their index arrays are this test's.
      definition->faceCount = 0;
      definition->faces = nullptr;
      definition->defaultInstance->surfaces = nullptr;
      EXPECT_EQ(r3xDestroy3DSpriteDef(world_, definition), 0);
    }
  }
}

TEST_F(SpriteTest, PartAccessorsReadSpritesAndTheNullPart) {
  R3x3DSpriteDef* definition = makeWedge("WEDGE", nullptr, false);
  R3x3DSprite* model = r3xCreate3DSprite(world_, definition, nullptr);
  R3xSimpleSpriteDef* simple = makeSimpleDef("S", {makeBitmap(), makeBitmap()});
  struct {
    R3xObjectHeader* part;
    std::int32_t result;
    R3xVolume* volume;
    float offsetZ;
    float radius;
  } cases[] = {{r3xNullPart(), 0, nullptr, 0.0f, 0.0f},
               {&model->header, 0, model->volume, 0.5f, 2.0f},
               {&simple->defaultInstance->header, R3X_ERR_FAILED, nullptr, 0.0f, 0.0f}};
  for (const auto& c : cases) {
    R3xVolume* volume = r3xEmptyVolume();
    float offset[3] = {9.0f, 9.0f, 9.0f};
    float radius = 9.0f;
    EXPECT_EQ(r3xGetPartVolume(c.part, &volume), c.result);
    EXPECT_EQ(volume, c.volume);
    EXPECT_EQ(r3xGetPartOffset(c.part, offset), c.result);
    EXPECT_EQ(offset[0], 0.0f);
    EXPECT_EQ(offset[2], c.offsetZ);
    EXPECT_EQ(r3xGetPartRadius(c.part, &radius), c.result);
    EXPECT_EQ(radius, c.radius);
  }
}

TEST_F(SpriteTest, AFailedAllocationLeavesNothingRegisteredOrReferenced) {
  R3xBitmapHandle bitmap = makeBitmap();
  R3xSimpleSpriteDef* textureDef = makeSimpleDef("TEX", {bitmap, bitmap});
  R3xSimpleSprite* texture = r3xCreateSimpleSprite(world_, textureDef);
  for (long after = 0;; ++after) {
    R3x3DSpriteDef* definition = nullptr;
    R3x3DSprite* sprite = nullptr;
    long asked = 0;
    {
      // The wedge's own arrays are made before the failures start counting.
      test_support::FailingMemory failing(after + 7);
      definition = makeWedge("WEDGE", texture, true);
      if (definition != nullptr) {
        sprite = r3xCreate3DSprite(world_, definition, nullptr);
      }
      asked = failing.Asked();
    }
    if (definition == nullptr) {
      EXPECT_EQ(world_->sprite3DDefs.count, 0u) << after;
      EXPECT_EQ(world_->sprites3D.count, 0u) << after;
      EXPECT_EQ(r3xFindTag(world_, "WEDGE"), nullptr) << after;
      EXPECT_EQ(texture->header.refCount, 0) << after;
      continue;
    }
    EXPECT_EQ(definition->header.refCount, sprite == nullptr ? 1 : 2) << after;
    EXPECT_EQ(texture->header.refCount, sprite == nullptr ? 2 : 4) << after;
    if (sprite != nullptr) {
      ASSERT_EQ(r3xDestroy3DSprite(world_, sprite), 0);
    }
    // Keep the texture alive for the next round.
    ASSERT_EQ(r3xAddRef(&texture->header), 0);
    ASSERT_EQ(r3xDestroy3DSpriteDef(world_, definition), 0);
    ASSERT_EQ(r3xRelease(&texture->header), 0);
    if (sprite != nullptr && asked <= after + 7) {
      break;
    }
  }
}

}  // namespace
