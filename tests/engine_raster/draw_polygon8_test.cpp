// The 8-bit polygon drawer whole: its registration, the base light and fog levels, the flat
// fall-back, the automatic kind, its results, and the faults it keeps away from (a quad's rows
// outside the image or without its routine, a level no routine serves, edges of no height).
#include <cstdint>
#include <vector>

#include "engine/core/raster_routines_internal.h"
#include "engine/raster/flat_spans_internal.h"
#include "engine/raster/software_drawers_internal.h"
#include "engine/raster/vertex_lighting8_internal.h"
#include "tests/engine_raster/draw_polygon8_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

using Runs = std::vector<std::pair<std::int32_t, std::int32_t>>;

TEST_F(DrawPolygon8Test, RenderContextsHoldTheRegisteredDrawer) {
  _r3xRegisterSoftwareDrawers();
  R3xRenderContext* context = CreateRenderContext(0, nullptr);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(context->drawPolygon, &_r3xDrawPolygon8);
  context->drawPolygon = nullptr;
  EXPECT_EQ(r3xAttachRenderDevice(context, R3X_MODE_PALETTISED, nullptr, nullptr), 0);
  EXPECT_EQ(context->drawPolygon, &_r3xDrawPolygon8);
  r3xDestroyRenderContext(nullptr, context, 0);
  _r3xSetRasterRoutines(nullptr);
}

TEST_F(DrawPolygon8Test, AFlatFaceShowsItsBaseLightLevel) {
  struct Case {
    R3xRenderMethod lighting;
    std::uint8_t pixel;
  };
  render_->raster.ambientLight = 0.3f;
  surface_.ambientScale = 2.5f;
  const Case cases[] = {
      {R3X_LIGHTING_ZERO, 0},
      // Full light draws the pen itself.
      {R3X_LIGHTING_FULL, kPen},
      {R3X_LIGHTING_CONSTANT, 8},
      {R3X_LIGHTING_AMBIENT, 4},
      {R3X_LIGHTING_SCALED_AMBIENT, 12},
      // A code that names no light gives 0.
      {0x0C, 0},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
    EXPECT_EQ(Draw(Square(10, 10, 20, 20), kSolid | c.lighting), 4);
    EXPECT_EQ(At8(15, 15), c.pixel) << c.lighting;
  }
}

TEST_F(DrawPolygon8Test, DirectionalLightsAtTheHeadOfTheListLightTheFace) {
  R3xDirectionalLight down{};
  down.header.type = R3X_TYPE_DIRECTIONAL_LIGHT;
  down.light = &light_;
  down.direction[2] = -0.25f;
  R3xPointLight point = MakePointLight(0, 0, 1, 1);
  R3xDirectionalLight late = down;
  R3xObjectHeader* lights[] = {&down.header, &point.header, &late.header};
  render_->lights = lights;
  render_->lightCount = 3;
  render_->polygonNormal[2] = 1.0f;
  // 0.5 + 0.25: level 12; the light after the point light is not reached.
  ASSERT_EQ(Draw(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_CONSTANT | R3X_METHOD_DIRECTIONAL),
            4);
  EXPECT_EQ(At8(15, 15), 12);
}

TEST_F(DrawPolygon8Test, ASmoothFaceOfOneLevelIsFilledFlatAndOfSeveralIsShaded) {
  const R3xRenderMethod smooth = kSolid | R3X_LIGHTING_CONSTANT | R3X_METHOD_SMOOTH;
  ASSERT_EQ(Draw(Square(0, 0, 40, 40), smooth), 4);
  for (std::int32_t x = 0; x < 40; ++x) {
    EXPECT_EQ(At8(x, 20), 8) << x;
  }
  // A point light over the left edge: the vertex lights differ, the row is shaded across.
  R3xPointLight point = MakePointLight(-1.2f, 0.0f, 0.5f, 6.0f);
  R3xObjectHeader* lights[] = {&point.header};
  render_->lights = lights;
  render_->lightCount = 1;
  render_->polygonNormal[2] = -1.0f;
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  ASSERT_EQ(Draw(Square(0, 0, 40, 40), smooth), 4);
  EXPECT_GE(At8(0, 20), 14);
  EXPECT_LT(At8(39, 20), At8(0, 20));
  EXPECT_GT(At8(39, 20), 8);
}

TEST_F(DrawPolygon8Test, AFlatFaceIsFoggedFromOneSixteenth) {
  render_->fogMode = R3X_FOG_MODE_2;
  render_->fogDistance = 100.0f;
  render_->fogScale = 0.99999f / 100.0f;
  // At 6 the fog amount is 0.06, below 1/16: no fog; at 7, fog level 1.
  ASSERT_EQ(Draw(Square(10, 10, 20, 20, 6.0f), kSolid | R3X_LIGHTING_CONSTANT), 4);
  EXPECT_EQ(At8(15, 15), 0x08);
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  ASSERT_EQ(Draw(Square(10, 10, 20, 20, 7.0f), kSolid | R3X_LIGHTING_CONSTANT), 4);
  EXPECT_EQ(At8(15, 15), 0x18);
}

TEST_F(DrawPolygon8Test, AnObjectsFlatFaceIsFoggedByTheObjectsDistance) {
  render_->fogMode = R3X_FOG_MODE_2;
  render_->fogDistance = 100.0f;
  render_->fogScale = 0.99999f / 100.0f;
  const float objectDistance = 7.0f;
  render_->raster.currentObject = &objectDistance;
  render_->raster.currentObjectDistance = objectDistance;
  // The face itself lies at 1, too near for fog.
  ASSERT_EQ(Draw(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_CONSTANT), 4);
  EXPECT_EQ(At8(15, 15), 0x18);
}

// Its last row, truncated from beyond the integer range, is whatever the conversion's low bits
// say; the rows drawn stay inside the image and no row count wraps.
TEST_F(DrawPolygon8Test, AFaceReachingPastTheIntegerRangeStaysInsideTheImage) {
  for (const float far : {3e10f, -3e10f, 4e17f}) {
    ASSERT_EQ(Draw({Screen(10, 40), Screen(30, 40), Screen(20, far)}, kSolid | R3X_LIGHTING_FULL),
              3);
    EXPECT_TRUE(GuardsIntact()) << far;
  }
}

TEST_F(DrawPolygon8Test, AnAutomaticFaceBeyondTheFlatDistanceIsFilledFlat) {
  UseTexture();
  const R3xRenderMethod automatic = kSolid | R3X_LIGHTING_FULL | (R3X_KIND_AUTOMATIC);
  render_->raster.flatDistance = 0.5f;
  ASSERT_EQ(Draw(Square(10, 10, 20, 20), automatic), 4);
  EXPECT_EQ(At8(15, 15), kPen);
  // Nearer: textured (texel 5 on the left half of the texture).
  render_->raster.flatDistance = 2.0f;
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  ASSERT_EQ(Draw(Square(10, 10, 20, 20), automatic), 4);
  EXPECT_EQ(At8(15, 15), 5);
  // A keyed one beyond the distance stays textured.
  render_->raster.flatDistance = 0.5f;
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  ASSERT_EQ(Draw(Square(30, 10, 40, 20), automatic | R3X_METHOD_KEYED), 4);
  EXPECT_EQ(At8(31, 15), 5);
  EXPECT_EQ(At8(35, 15), 0);
}

TEST_F(DrawPolygon8Test, AFaceClippedAwayDrawsNothingAndCountsNothing) {
  render_->clipMask = R3X_CLIP_NEAR;
  render_->raster.pixelCount = 77;
  EXPECT_EQ(Draw(Square(10, 10, 20, 20, 0.5f), kSolid | R3X_LIGHTING_FULL), R3X_DRAW8_NOTHING);
  EXPECT_EQ(render_->raster.pixelCount, 77u);
  EXPECT_EQ(At8(15, 15), 0);
  ASSERT_EQ(Draw(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_FULL), 4);
  EXPECT_EQ(render_->raster.pixelCount, 77u + 11u * 10u);
}

TEST_F(DrawPolygon8Test, ARowThatCannotGrowEndsTheFaceWithTheRowsBeforeKept) {
  // Row 15 full of one-pixel runs right of the face.
  R3xList16& list = render_->work.spanLists[15];
  for (std::uint32_t i = 0; i < list.capacity; ++i) {
    list.records[i] = {30 + static_cast<std::int32_t>(i), 31 + static_cast<std::int32_t>(i),
                       R3X_RUN_DEPTH_OPAQUE, 0.0f};
  }
  render_->work.spanWords[15] = list.capacity;
  test_support::FailingMemory failing(0);
  EXPECT_EQ(Draw(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_FULL), R3X_DRAW8_FAILED);
  EXPECT_EQ(RowRuns(14), (Runs{{10, 20}}));
  EXPECT_EQ(At8(15, 14), kPen);
  EXPECT_EQ(At8(15, 16), 0);
  EXPECT_TRUE(RowRuns(16).empty());
  EXPECT_EQ(render_->raster.pixelCount, 5u * 10u);
}

TEST_F(DrawPolygon8Test, OverlappingOpaqueAndKeyedFacesShareTheirRowsRuns) {
  ASSERT_EQ(Draw(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_FULL), 4);
  UseTexture();
  // Exact, keyed: texels left of column 32 are drawn, the others are the key.
  const R3xRenderMethod keyed = kSolid | R3X_LIGHTING_FULL | R3X_KIND_EXACT | R3X_METHOD_KEYED;
  ASSERT_EQ(Draw(Square(5, 10, 40, 20), keyed), 4);
  EXPECT_EQ(RowRuns(12), (Runs{{6, 32}}));
  EXPECT_EQ(At8(7, 12), 5);
  EXPECT_EQ(At8(15, 12), kPen);
  EXPECT_EQ(At8(25, 12), 5);
  EXPECT_EQ(At8(35, 12), 0);
  // An opaque face over both fills only what they left.
  surface_.texture = nullptr;
  ASSERT_EQ(Draw(Square(0, 12, 50, 12.5f), kSolid | R3X_LIGHTING_CONSTANT), 4);
  EXPECT_EQ(RowRuns(12), (Runs{{0, 50}}));
  EXPECT_EQ(At8(35, 12), 8);
  EXPECT_EQ(At8(25, 12), 5);
}

TEST_F(DrawPolygon8Test, AFaceTurningTheOtherWayDrawsNothing) {
  const std::vector<R3xClipVertex> clockwise = {Screen(10, 10), Screen(30, 12), Screen(20, 25)};
  const std::vector<R3xClipVertex> reversed = {clockwise[2], clockwise[1], clockwise[0]};
  Draw(reversed, kSolid | R3X_LIGHTING_FULL);
  for (std::int32_t y = 0; y < kHeight; ++y) {
    EXPECT_TRUE(RowRuns(y).empty()) << y;
  }
  EXPECT_EQ(render_->raster.pixelCount, 0u);
  Draw(clockwise, kSolid | R3X_LIGHTING_FULL);
  EXPECT_EQ(At8(20, 15), kPen);
}

TEST_F(DrawPolygon8Test, AnEdgeOfNoHeightIsPassedOver) {
  // The top edge lies on row 10 exactly.
  ASSERT_EQ(Draw({Screen(10, 10), Screen(30, 10), Screen(20, 20)}, kSolid | R3X_LIGHTING_FULL), 3);
  EXPECT_EQ(RowRuns(10), (Runs{{10, 30}}));
  // Each edge's x + 0.5 rounded to the nearest even: 15.5 and 25.5.
  EXPECT_EQ(RowRuns(15), (Runs{{16, 26}}));
}

TEST_F(DrawPolygon8Test, ALevelNoRoutineServesIsNotDrawn) {
  std::vector<std::uint8_t> large(512 * 1024, 5);
  bitmap_.pixels = large.data();
  bitmap_.width = 512;
  bitmap_.widthLog2 = 9;
  bitmap_.height = 1024;
  UseTexture();
  EXPECT_EQ(Draw(Square(10, 10, 20, 20), kSolid | R3X_LIGHTING_FULL | R3X_KIND_PERSPECTIVE),
            R3X_DRAW8_NOTHING);
  EXPECT_EQ(At8(15, 15), 0);
  EXPECT_TRUE(RowRuns(15).empty());
}

std::vector<std::pair<std::int32_t, const std::uint8_t*>> gQuadRows;

void RecordQuadRow(R3xRenderContext* context, std::int32_t x, std::int32_t count) {
  gQuadRows.emplace_back(context->span.currentRow, context->span.texels);
  _r3xSpanFill8(context, x, count);
}

TEST_F(DrawPolygon8Test, APreProjectedQuadKeepsToTheImageRows) {
  UseTexture();
  const R3xRenderMethod quad = kSolid | R3X_KIND_QUAD;
  // Screen space, vertex 0 at the top and vertex 3 at the bottom.
  const std::vector<R3xClipVertex> tall = {At(10, -6, 1), At(40, -6, 1), At(40, 52, 1),
                                           At(10, 52, 1)};
  EXPECT_EQ(Draw(tall, quad), R3X_DRAW8_NOTHING);
  EXPECT_EQ(At8(20, 20), 0);
  render_->raster.quadRoutine = RecordQuadRow;
  render_->span.flatColour = 9;
  render_->span.texels = texels_.data() + 1000;
  gQuadRows.clear();
  EXPECT_EQ(Draw(tall, quad), R3X_DRAW8_QUAD);
  EXPECT_TRUE(GuardsIntact());
  ASSERT_EQ(gQuadRows.size(), static_cast<std::size_t>(kHeight));
  // The quad's first row is -6 + 0.999999 truncated, -5: row 0 has its texels moved back five
  // texture rows.
  EXPECT_EQ(gQuadRows[0].first, 0);
  EXPECT_EQ(gQuadRows[0].second, texels_.data() + 1000 - 5 * 64);
  EXPECT_EQ(gQuadRows[1].second, texels_.data() + 1000 - 6 * 64);
  EXPECT_EQ(At8(20, kHeight - 1), 9);
  EXPECT_EQ(RowRuns(0), (Runs{{10, 40}}));
}

TEST_F(DrawPolygon8Test, DepthSortedFacesWinWhereTheyAreNearer) {
  render_->raster.depthSorting = 1;
  // Planes facing the view: the depth line is 1/z.
  render_->raster.facePlane[2] = 1.0f;
  ASSERT_EQ(Draw(Square(10, 10, 30, 20, 4.0f), kSolid | R3X_LIGHTING_CONSTANT), 4);
  ASSERT_EQ(Draw(Square(20, 10, 40, 20, 2.0f), kSolid | R3X_LIGHTING_FULL), 4);
  ASSERT_EQ(Draw(Square(0, 10, 50, 20, 8.0f), kSolid | R3X_LIGHTING_ZERO), 4);
  // The near face took [20, 30) from the far run it split, and [30, 40) past it.
  EXPECT_EQ(RowRuns(15), (Runs{{0, 10}, {10, 20}, {20, 30}, {30, 40}, {40, 50}}));
  EXPECT_EQ(At8(5, 15), 0);
  EXPECT_EQ(At8(15, 15), 8);
  EXPECT_EQ(At8(25, 15), kPen);
  EXPECT_EQ(At8(45, 15), 0);
  // Every pixel of the row counted once: the near face's pixels over the far one were hidden.
  EXPECT_EQ(render_->raster.pixelCount, 11u * 50u);
}

TEST_F(DrawPolygon8Test, AnOutlineDrawsTheBorderOfItsRows) {
  ASSERT_EQ(Draw(Square(10, 10, 30, 12), R3X_RENDER_FILL_OUTLINE | R3X_LIGHTING_FULL), 4);
  EXPECT_EQ(RowRuns(10), (Runs{{10, 30}}));
  EXPECT_EQ(RowRuns(11), (Runs{{10, 11}, {29, 30}}));
  EXPECT_EQ(RowRuns(12), (Runs{{10, 30}}));
  EXPECT_EQ(At8(20, 11), 0);
  EXPECT_EQ(At8(29, 11), kPen);
}

TEST_F(DrawPolygon8Test, TheDepthBiasWinsOverTheSamePlane) {
  render_->raster.depthSorting = 1;
  render_->raster.facePlane[2] = 1.0f;
  ASSERT_EQ(Draw(Square(10, 10, 30, 20, 2.0f), kSolid | R3X_LIGHTING_CONSTANT), 4);
  // Coplanar: not strictly nearer, nothing drawn over the run.
  ASSERT_EQ(Draw(Square(10, 10, 30, 20, 2.0f), kSolid | R3X_LIGHTING_FULL), 4);
  EXPECT_EQ(At8(20, 15), 8);
  ASSERT_EQ(Draw(Square(10, 10, 30, 20, 2.0f), kSolid | R3X_LIGHTING_FULL | R3X_METHOD_DEPTH_BIAS),
            4);
  EXPECT_EQ(At8(20, 15), kPen);
}

TEST_F(DrawPolygon8Test, ASmoothFaceTakesItsLightSpot) {
  R3xLightDef definition{};
  definition.frameCount = 1;
  definition.intensity = 4.0f;
  R3xLight light{};
  light.definition = &definition;
  R3xPointLight point = MakePointLight(0.0f, 0.0f, 0.8f, 2.0f);
  point.light = &light;
  R3xObjectHeader* lights[] = {&point.header};
  render_->lights = lights;
  render_->lightCount = 1;
  render_->polygonNormal[2] = -1.0f;
  R3xRegionFace face{};
  face.polygon.normal[2] = -1.0f;
  face.polygon.distance = 1.0f;
  const R3xRenderMethod smooth = kSolid | R3X_LIGHTING_CONSTANT | R3X_METHOD_SMOOTH;
  surface_.intensity = 0.1f;
  ASSERT_EQ(Draw(Square(4, 2, 60, 46), smooth), 4);
  const std::uint8_t without = At8(31, 23);
  render_->raster.currentFace = &face;
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  EXPECT_GE(Draw(Square(4, 2, 60, 46), smooth), 4);
  EXPECT_LE(without, 4);
  EXPECT_GE(At8(31, 23), 10);
  EXPECT_LT(At8(6, 23), At8(31, 23));
  // Depth-sorted faces keep no light edges: drawn without the spot.
  render_->raster.depthSorting = 1;
  render_->raster.facePlane[2] = 1.0f;
  ASSERT_EQ(_r3xPrepareRowRuns(render_), R3X_DONE);
  ASSERT_EQ(Draw(Square(4, 2, 60, 46), smooth), 4);
  EXPECT_EQ(At8(31, 23), without);
}

}  // namespace
