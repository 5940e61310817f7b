#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "engine/core/raster_routines_internal.h"
#include "engine/r3x.h"

namespace {

struct ContextDeleter {
  void operator()(R3xRenderContext* context) const { r3xDestroyRenderContext(nullptr, context, 0); }
};
using ContextPtr = std::unique_ptr<R3xRenderContext, ContextDeleter>;

// Distinct routines: each leaves its own number behind, so no two can be folded into one.
std::int32_t gLastRoutine = 0;

template <std::int32_t N>
std::int32_t Drawer(R3xRenderContext* /*context*/, std::uint32_t /*vertexCount*/,
                    const R3xSurface* /*surface*/, R3xRenderMethod /*method*/) {
  gLastRoutine = N;
  return N;
}

template <std::int32_t N>
void Span(R3xRenderContext* /*context*/, std::int32_t /*x*/, std::int32_t /*count*/) {
  gLastRoutine = N;
}

constexpr R3xRasterRoutines kRoutines = {
    &Drawer<1>,
    &Drawer<2>,
    {&Span<11>, &Span<12>, &Span<13>, &Span<14>},
    {&Span<21>, &Span<22>, &Span<23>, &Span<24>},
    {&Span<31>, &Span<32>, &Span<33>, &Span<34>},
};

// Registers the table for one test and withdraws it after.
class RegisteredRoutines {
 public:
  explicit RegisteredRoutines(const R3xRasterRoutines* routines) {
    _r3xSetRasterRoutines(routines);
  }
  ~RegisteredRoutines() { _r3xSetRasterRoutines(nullptr); }
  RegisteredRoutines(const RegisteredRoutines&) = delete;
  RegisteredRoutines& operator=(const RegisteredRoutines&) = delete;
};

TEST(RasterRoutinesTest, ANewContextTakesTheRegisteredPalettisedDrawer) {
  {
    RegisteredRoutines registered(&kRoutines);
    EXPECT_EQ(_r3xGetRasterRoutines(), &kRoutines);
    ContextPtr context(CreateRenderContext(0, nullptr));
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->drawPolygon, kRoutines.drawPolygon8);
  }
  EXPECT_EQ(_r3xGetRasterRoutines(), nullptr);
  ContextPtr bare(CreateRenderContext(0, nullptr));
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->drawPolygon, nullptr);
}

TEST(RasterRoutinesTest, AttachingTakesTheModesDrawerAndTheFormatsSpanRoutines) {
  RegisteredRoutines registered(&kRoutines);
  struct Case {
    std::int32_t bitsPerPixel;
    std::int32_t pixelFormat;
    // Index into the table's span arrays; -1 none.
    std::int32_t spanIndex;
  };
  for (const Case c : {Case{16, R3X_PIXEL_FORMAT_555, 0}, Case{16, R3X_PIXEL_FORMAT_565, 1},
                       Case{16, R3X_PIXEL_FORMAT_BGR555, 2}, Case{16, R3X_PIXEL_FORMAT_BGR565, 3},
                       Case{16, 0, -1}, Case{8, R3X_PIXEL_FORMAT_565, -1}}) {
    SCOPED_TRACE(c.pixelFormat);
    ContextPtr context(CreateRenderContext(0, nullptr));
    ASSERT_NE(context, nullptr);
    R3xPalette palette{};
    R3xRenderDevice device{};
    device.bitsPerPixel = c.bitsPerPixel;
    device.pixelFormat = c.pixelFormat;
    ASSERT_EQ(r3xAttachRenderDevice(context.get(), R3X_MODE_COLOUR, &device, &palette), 0);
    EXPECT_EQ(context->drawPolygon, kRoutines.drawPolygonColour);
    if (c.spanIndex < 0) {
      EXPECT_EQ(context->spanOutput16, nullptr);
      EXPECT_EQ(context->spanFill16, nullptr);
      EXPECT_EQ(context->spanOutput16b, nullptr);
    } else {
      EXPECT_EQ(context->spanOutput16, kRoutines.spanOutput16[c.spanIndex]);
      EXPECT_EQ(context->spanFill16, kRoutines.spanFill16[c.spanIndex]);
      EXPECT_EQ(context->spanOutput16b, kRoutines.spanOutput16b[c.spanIndex]);
    }
    ASSERT_EQ(r3xAttachRenderDevice(context.get(), R3X_MODE_PALETTISED, nullptr, nullptr), 0);
    EXPECT_EQ(context->drawPolygon, kRoutines.drawPolygon8);
  }
}

TEST(RasterRoutinesTest, TheColourModeWithoutAPaletteKeepsTheDrawer) {
  RegisteredRoutines registered(&kRoutines);
  ContextPtr context(CreateRenderContext(0, nullptr));
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(r3xAttachRenderDevice(context.get(), R3X_MODE_COLOUR, nullptr, nullptr),
            R3X_ERR_FAILED);
  EXPECT_EQ(context->drawPolygon, kRoutines.drawPolygon8);
}

}  // namespace
