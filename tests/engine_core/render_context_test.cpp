#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "engine/core/render_work_arrays.h"
#include "engine/core/render_work_arrays_internal.h"
#include "engine/r3x.h"
#include "math_tables_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

struct ContextDeleter {
  void operator()(R3xRenderContext* context) const { r3xDestroyRenderContext(nullptr, context, 0); }
};
using ContextPtr = std::unique_ptr<R3xRenderContext, ContextDeleter>;

TEST(RenderContextTest, ANewContextHoldsItsDefaultsAndWorkArrays) {
  ContextPtr context(CreateRenderContext(64, nullptr));
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(context.get()) % 32, 0u);
  EXPECT_EQ(context->surface.type, R3X_TYPE_SURFACE);
  EXPECT_EQ(context->transparentIndex, 253);
  EXPECT_EQ(context->fogMode, 0);
  EXPECT_EQ(context->fogDistance, 1.0f);
  EXPECT_EQ(context->fogScale, 0.99999f);
  EXPECT_EQ(context->indirect.count, 64u);
  for (std::uint32_t i = 0; i < 64; ++i) {
    EXPECT_EQ(context->indirect.methods[i], 7u);
  }
  EXPECT_EQ(context->mipThresholds[0], 1.0f);
  EXPECT_EQ(context->mipThresholds[8], 65536.0f);
  EXPECT_EQ(context->spotThreshold, 0.1f);
  EXPECT_EQ(context->subdivisionCosine, -1.0f);
  EXPECT_EQ(context->drawPolygon, nullptr);
  EXPECT_EQ(context->vertexPoolCapacity, 1024u);
  const R3xRenderWorkArrays& work = context->work;
  EXPECT_EQ(work.vertexCapacity, 32u);
  EXPECT_EQ(work.renderVertexCapacity, 512u);
  EXPECT_EQ(work.spanListCount, 400u);
  EXPECT_EQ(work.spanLists[399].capacity, 31u);
  EXPECT_EQ(work.edgeCapacity, 64u);
  EXPECT_EQ(work.scanlineCount, 640u);
  EXPECT_EQ(work.scanlines[639].capacity, 32u);
  EXPECT_EQ(work.rowBlockCapacity, 32u);
  EXPECT_EQ(work.smallBlockCount, 1u);

  ContextPtr bare(CreateRenderContext(0, nullptr));
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->indirect.methods, nullptr);
}

TEST(RenderContextTest, AFailedCreationFreesEverything) {
  long failures = 0;
  for (long allowed = 0;; ++allowed) {
    test_support::FailingMemory failing(allowed);
    ContextPtr context(CreateRenderContext(8, nullptr));
    if (context != nullptr) {
      break;
    }
    ++failures;
  }
  // Every list of every group is its own allocation.
  EXPECT_GT(failures, 1000);
}

TEST(RenderContextTest, AFailedVertexArrayIsNamedByItsResult) {
  // The transformed vertices, then the three clip-vertex arrays.
  const std::int32_t named[] = {R3X_WORK_NO_TRANSFORMED, R3X_WORK_NO_CLIP_0, R3X_WORK_NO_CLIP_1,
                                R3X_WORK_NO_CLIP_2};
  for (long allowed = 0; allowed < 4; ++allowed) {
    R3xRenderWorkArrays work{};
    {
      test_support::FailingMemory failing(allowed);
      EXPECT_EQ(_r3xAllocVertexArrays(&work, 32), named[allowed]);
    }
    EXPECT_EQ(work.vertexCapacity, 0u);
    EXPECT_EQ(work.transformed, nullptr);
    EXPECT_EQ(work.clip[0], nullptr);
    EXPECT_EQ(work.clip[2], nullptr);
  }
  R3xRenderWorkArrays work{};
  EXPECT_EQ(_r3xAllocVertexArrays(&work, 40), R3X_DONE);
  EXPECT_EQ(work.vertexCapacity, 40u);
  _r3xFreeWorkArrays(&work);
}

TEST(RenderContextTest, AContextReadsTheDevicesDirect3DBlock) {
  R3xRenderDevice device{};
  int block = 0;
  device.direct3D = reinterpret_cast<R3xD3DBlock*>(&block);
  ContextPtr context(CreateRenderContext(4, &device));
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(context->direct3D, &block);
  EXPECT_EQ(context->deviceAttached, 1);
}

TEST(RenderContextTest, TheColourModeTakesTheDevicesDepthAndSixteenBitLayout) {
  struct Case {
    std::int32_t bitsPerPixel;
    std::int32_t pixelFormat;
    std::int32_t storedFormat;
  };
  for (const Case c : {Case{8, 0, 0}, Case{16, R3X_PIXEL_FORMAT_BGR565, R3X_PIXEL_FORMAT_BGR565},
                       Case{16, R3X_PIXEL_FORMAT_565, R3X_PIXEL_FORMAT_565}}) {
    ContextPtr context(CreateRenderContext(0, nullptr));
    R3xPalette palette{};
    R3xRenderDevice device{};
    device.bitsPerPixel = c.bitsPerPixel;
    device.pixelFormat = c.pixelFormat;
    ASSERT_EQ(r3xAttachRenderDevice(context.get(), 1, &device, &palette), 0);
    EXPECT_EQ(context->bitsPerPixel, c.bitsPerPixel);
    EXPECT_EQ(context->pixelFormat, c.storedFormat);
    EXPECT_EQ(context->mode, 1);
  }
}

TEST(RenderContextTest, IndirectMethodsStayInsideTheTable) {
  ContextPtr context(CreateRenderContext(64, nullptr));
  struct Case {
    std::uint32_t index;
    R3xRenderMethod method;
    std::int32_t result;
  } cases[] = {{63, 0x103, 1},
               {0x80000002, 0x104, 1},
               {64, 0x103, R3X_ERR_BAD_RENDER_METHOD},
               {1, 0x80000000, R3X_ERR_BAD_RENDER_METHOD}};
  for (const Case& c : cases) {
    EXPECT_EQ(r3xSetIndirectRenderMethod(context.get(), c.index, c.method), c.result);
  }
  EXPECT_EQ(context->indirect.methods[63], 0x103u);
  EXPECT_EQ(context->indirect.methods[2], 0x104u);
  EXPECT_EQ(context->indirect.methods[1], 7u);
}

TEST(RenderContextTest, FogNeedsColourOrAFogReadyShadeTable) {
  ContextPtr context(CreateRenderContext(0, nullptr));
  R3xShadeTable plain{};
  R3xShadeTable fogReady{};
  fogReady.header.refCount = 1;
  struct Case {
    std::int32_t outputMode;
    R3xShadeTable* table;
    std::int32_t fogMode;
    float distance;
    std::int32_t result;
    std::int32_t storedMode;
  } cases[] = {
      {0, nullptr, 1, 100.0f, R3X_FOG_NOT_READY, 0},
      {0, &plain, 2, 100.0f, R3X_FOG_NOT_READY, 0},
      {0, &fogReady, 2, 100.0f, 0, 2},
      {1, nullptr, 1, 100.0f, 0, 1},
      {1, nullptr, 3, 100.0f, R3X_FOG_BAD_MODE, 0},
      {1, nullptr, 1, 0.0f, R3X_FOG_BAD_DISTANCE, 1},
      {1, nullptr, 2, -5.0f, R3X_FOG_BAD_DISTANCE, 2},
      {0, nullptr, 0, 0.0f, 0, 0},
  };
  for (const Case& c : cases) {
    context->mode = c.outputMode;
    context->fogMode = 0;
    context->fogDistance = 1.0f;
    EXPECT_EQ(r3xSetRenderShadeTable(nullptr, context.get(), c.table, 0), 0);
    EXPECT_EQ(r3xSetFogMode(context.get(), c.fogMode, c.distance), c.result);
    EXPECT_EQ(context->fogMode, c.storedMode);
    EXPECT_EQ(context->fogDistance, c.result == 0 && c.fogMode != 0 ? c.distance : 1.0f);
  }
  context->mode = 1;
  ASSERT_EQ(r3xSetFogMode(context.get(), 1, 64.0f), 0);
  EXPECT_EQ(context->fogScale, 0.99999f / 64.0f);
  EXPECT_EQ(context->fogStep, 64.0f * 0.062499374f);
  // A shade table that is not fog-ready switches fog off.
  EXPECT_EQ(r3xSetRenderShadeTable(nullptr, context.get(), &plain, 0), 0);
  EXPECT_EQ(context->fogMode, 0);
  EXPECT_EQ(context->shadeData, nullptr);
}

TEST(RenderContextTest, TheAttachedShadeTableIsDestroyedOnlyWhenAsked) {
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  ASSERT_NE(world, nullptr);
  R3xPalette palette{};
  R3xShadeTable* first = r3xCreateShadeTable(world, &palette);
  R3xShadeTable* second = r3xCreateShadeTable(world, &palette);
  ASSERT_NE(second, nullptr);
  R3xRenderContext* context = CreateRenderContext(0, nullptr);
  EXPECT_EQ(r3xSetRenderShadeTable(world, context, first, 1), 0);
  EXPECT_EQ(context->shadeData, first->data);
  // The same table again is kept, not destroyed under the context.
  EXPECT_EQ(r3xSetRenderShadeTable(world, context, first, 1), 0);
  EXPECT_EQ(world->shadeTables.count, 2u);
  EXPECT_EQ(r3xSetRenderShadeTable(world, context, second, 1), 0);
  EXPECT_EQ(world->shadeTables.count, 1u);
  EXPECT_EQ(r3xDestroyRenderContext(world, context, 1), R3X_DONE);
  EXPECT_EQ(world->shadeTables.count, 0u);
  EXPECT_EQ(r3xDestroyRenderContext(world, nullptr, 1), R3X_DONE);
  r3xDestroyWorld(world);
}

TEST(RenderContextTest, TheColourModeNeedsAPaletteAndBuildsTheModulationTableOnce) {
  ContextPtr context(CreateRenderContext(0, nullptr));
  R3xPalette palette{};
  EXPECT_EQ(r3xAttachRenderDevice(context.get(), 1, nullptr, nullptr), R3X_ERR_FAILED);
  EXPECT_EQ(context->modulation, nullptr);
  R3xRenderDevice device{};
  EXPECT_EQ(r3xAttachRenderDevice(context.get(), 1, &device, nullptr), R3X_ERR_FAILED);
  EXPECT_EQ(context->mode, 0);

  ASSERT_EQ(r3xAttachRenderDevice(context.get(), 1, nullptr, &palette), 0);
  EXPECT_EQ(context->mode, 1);
  EXPECT_EQ(context->paletteColours, palette.entries);
  EXPECT_EQ(context->bitsPerPixel, 0);
  const std::uint8_t* table = context->modulation;
  ASSERT_NE(table, nullptr);
  auto entry = [table](int i, int j) { return table[i * 256 + j]; };
  EXPECT_EQ(entry(32, 255), 255);
  EXPECT_EQ(entry(63, 255), 255);
  EXPECT_EQ(entry(2, 16), 1);
  EXPECT_EQ(entry(0, 200), 0);
  EXPECT_EQ(entry(16, 100), 50);
  for (int j = 0; j < 256; ++j) {
    EXPECT_EQ(entry(32, j), j);
  }
  ASSERT_EQ(r3xAttachRenderDevice(context.get(), 0, nullptr, nullptr), 0);
  EXPECT_EQ(context->mode, 0);
  ASSERT_EQ(r3xAttachRenderDevice(context.get(), 1, nullptr, &palette), 0);
  EXPECT_EQ(context->modulation, table);
}

TEST(RenderContextTest, SimpleSettersAndCounters) {
  ContextPtr context(CreateRenderContext(0, nullptr));
  EXPECT_EQ(r3xSetTransparentIndex(context.get(), 0), 0);
  EXPECT_EQ(context->transparentIndex, 0);
  EXPECT_EQ(r3xSetRenderOptionWord(context.get(), 0x55), 0);
  EXPECT_EQ(context->optionWord, 0x55u);
  EXPECT_EQ(r3xSetDepthBuffering(context.get(), 1), 0);
  EXPECT_EQ(context->depthBuffering, 1);
  EXPECT_EQ(r3xSetDynamicLighting(context.get(), 1), 0);
  EXPECT_EQ(context->dynamicLighting, 1);
  EXPECT_EQ(r3xSetPointLightMode(context.get(), 2), 0);
  EXPECT_EQ(context->pointLightMode, 2u);
  context->polygonCount = 12;
  context->regionCount = 3;
  EXPECT_EQ(r3xGetPolygonCount(context.get()), 12u);
  EXPECT_EQ(r3xGetRegionCount(context.get()), 3u);
}

TEST(RenderContextTest, ListsGrowBySixteenKeepingTheirRecords) {
  R3xList16 list{};
  ASSERT_EQ(_r3xGrowList16(&list), R3X_DONE);
  list.records[15].end = 42;
  ASSERT_EQ(_r3xGrowList16(&list), R3X_DONE);
  EXPECT_EQ(list.capacity, 32u);
  EXPECT_EQ(list.records[15].end, 42);
  {
    test_support::FailingMemory failing(0);
    EXPECT_EQ(_r3xGrowList16(&list), R3X_ERR_LIST_GROW);
  }
  EXPECT_EQ(list.capacity, 32u);
  EXPECT_EQ(list.records[15].end, 42);
  r3xFree(list.records);
}

class ViewTest : public MathTablesTest {
 protected:
  void SetUp() override {
    MathTablesTest::SetUp();
    context_ = CreateRenderContext(0, nullptr);
    camera_ = CreateCamera();
    ASSERT_NE(context_, nullptr);
    ASSERT_NE(camera_, nullptr);
  }
  void TearDown() override {
    r3xDestroyCamera(camera_);
    r3xDestroyRenderContext(nullptr, context_, 0);
    MathTablesTest::TearDown();
  }

  R3xRenderContext* context_ = nullptr;
  R3xCamera* camera_ = nullptr;
};

TEST_F(ViewTest, TheViewMatrixHasRightUpAndForwardColumns) {
  struct Case {
    float heading;
    float pitch;
    float roll;
    float view[9];
  } cases[] = {
      // Facing +x: right is -y, up +z.
      {0.0f, 0.0f, 0.0f, {0, 0, 1, -1, 0, 0, 0, 1, 0}},
      // Facing +y: right is +x.
      {128.0f, 0.0f, 0.0f, {1, 0, 0, 0, 0, 1, 0, 1, 0}},
      // Looking straight up: forward +z, up -x.
      {0.0f, 128.0f, 0.0f, {0, -1, 0, -1, 0, 0, 0, 0, 1}},
      // Rolled a quarter turn: right is -z, up -y.
      {0.0f, 0.0f, 128.0f, {0, 0, 1, 0, -1, 0, -1, 0, 0}},
  };
  ASSERT_EQ(r3xSetCameraProjection(camera_, 128.0f, 0.75f, 1.0f, 100.0f), 0);
  for (const Case& c : cases) {
    camera_->heading = c.heading;
    camera_->pitch = c.pitch;
    camera_->roll = c.roll;
    ASSERT_EQ(r3xSetViewMatrix(context_, camera_), R3X_DONE);
    for (int i = 0; i < 9; ++i) {
      EXPECT_NEAR(context_->view[i], c.view[i], 1e-6) << c.heading << c.pitch << c.roll << i;
    }
  }
  // Half field of view 64 units (45 degrees): f = 1, g = aspect.
  const float f = tables().tangents[64].cotangent;
  EXPECT_NEAR(f, 1.0f, 1e-6);
  EXPECT_EQ(context_->projection[0], f);
  EXPECT_EQ(context_->projection[1], 0.75f * f);
  EXPECT_EQ(context_->projection[2], 1.0f / (f * f));
  EXPECT_EQ(context_->projection[3], 1.0f / (0.75f * f * 0.75f * f));
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(context_->clipColumns[0][row], context_->view[row * 3] * f);
    EXPECT_EQ(context_->clipColumns[1][row], context_->view[row * 3 + 1] * 0.75f * f);
  }
}

TEST_F(ViewTest, OnlyHalfFieldsOfViewOfOneTo127UnitsAreAccepted) {
  struct Case {
    float half;
    std::int32_t result;
  } cases[] = {{0.5f, R3X_ERR_BAD_FOV},
               {128.0f, R3X_ERR_BAD_FOV},
               {-3.0f, R3X_ERR_BAD_FOV},
               {127.9f, 1},
               {1.0f, 1}};
  for (const Case& c : cases) {
    context_->projection[0] = -1.0f;
    camera_->halfFieldOfView = c.half;
    camera_->aspect = 1.0f;
    EXPECT_EQ(r3xSetViewMatrix(context_, camera_), c.result) << c.half;
    const auto k = static_cast<int>(c.half);
    EXPECT_EQ(context_->projection[0], c.result == 1 ? tables().tangents[k].cotangent : -1.0f);
  }
}

TEST_F(ViewTest, SpheresAreTestedAgainstTheSelectedPlanes) {
  // Facing +x from (10, 0, 0) with f = g = 1: the frustum factors as the back end writes them.
  camera_->halfFieldOfView = 64.0f;
  camera_->aspect = 1.0f;
  ASSERT_EQ(r3xSetViewMatrix(context_, camera_), R3X_DONE);
  context_->nearDistance = 0.1f;
  context_->farDistance = 100.0f;
  context_->translation[0] = -10.0f;
  const float factors[4] = {1.0f, 1.0f, 2.0f, 2.0f};
  std::copy(factors, factors + 4, context_->frustumFactors);
  context_->planeMask = 0x0F;
  struct Case {
    float x;
    float y;
    float z;
    float r;
    std::int32_t inside;
    std::uint32_t flags;
  } cases[] = {
      {20.0f, 0.0f, 0.0f, 1.0f, 1, 0},
      {10.0f, 0.0f, 0.0f, 1.0f, 1, 0x0F | R3X_CLIP_NEAR},
      {4.0f, 0.0f, 0.0f, 1.0f, 0, 0},
      {150.0f, 0.0f, 0.0f, 1.0f, 0, 0},
      {109.5f, 0.0f, 0.0f, 1.0f, 1, R3X_CLIP_FAR},
      // Beyond the right side (-y) and just across it.
      {20.0f, -12.0f, 0.0f, 1.0f, 0, 0},
      {20.0f, -10.5f, 0.0f, 1.0f, 1, R3X_CLIP_RIGHT},
      {20.0f, 10.5f, 0.0f, 1.0f, 1, R3X_CLIP_LEFT},
      // Above and below.
      {20.0f, 0.0f, 12.0f, 1.0f, 0, 0},
      {20.0f, 0.0f, -10.5f, 1.0f, 1, R3X_CLIP_BOTTOM},
  };
  for (const Case& c : cases) {
    context_->clipFlags = 0xFF;
    EXPECT_EQ(r3xSphereInView(context_, c.x, c.y, c.z, c.r), c.inside) << c.x << " " << c.y;
    if (c.inside == 1) {
      EXPECT_EQ(context_->clipFlags, c.flags) << c.x << " " << c.y << " " << c.z;
    }
  }
  // Planes outside the mask are not tested; with none, nothing is.
  context_->planeMask = R3X_CLIP_BOTTOM | R3X_CLIP_TOP;
  EXPECT_EQ(r3xSphereInView(context_, 20.0f, -12.0f, 0.0f, 1.0f), R3X_SPHERE_IN_VIEW);
  context_->planeMask = 0;
  context_->clipFlags = 0xFF;
  EXPECT_EQ(r3xSphereInView(context_, -500.0f, 0.0f, 0.0f, 1.0f), R3X_SPHERE_IN_VIEW);
  EXPECT_EQ(context_->clipFlags, 0xFFu);
}

}  // namespace
