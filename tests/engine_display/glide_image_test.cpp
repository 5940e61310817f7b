#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/display/glide_image_internal.h"
#include "tests/engine_display/display_fixture.h"
#include "tests/support/failing_memory.h"

namespace {

// A 5-bit channel widened to 8 bits as the board does it.
int Widen(int v) { return (v << 3) | (v >> 2); }
std::uint16_t FrameOf555(std::uint16_t p) {
  return Rgb565(Widen(p >> 10 & 31), Widen(p >> 5 & 31), Widen(p & 31));
}

class ImageTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    // Distinct in 5 bits for the first 256 indices; index 0, the transparent one, has low bits
    // set in every channel so that only a correctly widened key matches its panel pixels.
    for (int i = 0; i < 256; ++i) {
      palette_.entries[i] = {static_cast<BYTE>((i & 31) << 3), static_cast<BYTE>((i >> 5) << 3),
                             0x80, 0};
    }
    palette_.entries[0] = {0x2C, 0x54, 0x7E, 0};
    r3xSetTransparentIndex(render_, 0);
    ASSERT_EQ(r3xGlideAttach(glide_, render_, &palette_), 0);
    r3xGlideClear(glide_, 1, 1, 0, 0, 0xF8);
  }

  std::uint16_t PaletteFrame(int index) const {
    const PALETTEENTRY& e = palette_.entries[index];
    return Rgb565(Widen(e.peRed >> 3), Widen(e.peGreen >> 3), Widen(e.peBlue >> 3));
  }
  // The ARGB 1555 form of a palette index.
  std::uint16_t Converted(int index) const {
    const PALETTEENTRY& e = palette_.entries[index];
    return static_cast<std::uint16_t>(0x8000 | (e.peRed >> 3) << 10 | (e.peGreen >> 3) << 5 |
                                      e.peBlue >> 3);
  }
  std::uint16_t Transparent555() const {
    const PALETTEENTRY& e = palette_.entries[0];
    return static_cast<std::uint16_t>((e.peRed >> 3) << 10 | (e.peGreen >> 3) << 5 | e.peBlue >> 3);
  }

  const std::uint16_t background_ = Rgb565(0, 0, 0xF8);
  R3xPalette palette_{};
};

TEST_F(ImageTest, KeyedEightBitImageLeavesTransparentPixelsAndFlipsRows) {
  // 4 x 2, stored bottom-up: the stored first row is the image's bottom row.
  std::vector<std::uint8_t> pixels = {0, 5, 5, 0, 7, 0, 0, 7};
  R3xBitmap bitmap = MakeBitmap(4, 2, 8, pixels);
  R3xGlideImage* keyed = r3xGlideCreateImage(glide_, &bitmap, 1);
  ASSERT_NE(keyed, nullptr);
  EXPECT_EQ(keyed->pixels[0], Converted(7));
  EXPECT_EQ(keyed->pixels[1], 0x0000);
  EXPECT_EQ(r3xGlideDrawImage(glide_, keyed, 10, 20, nullptr), 0);
  EXPECT_EQ(BackPixel(10, 20), PaletteFrame(7));
  EXPECT_EQ(BackPixel(11, 20), background_);
  EXPECT_EQ(BackPixel(10, 21), background_);
  EXPECT_EQ(BackPixel(11, 21), PaletteFrame(5));
  EXPECT_EQ(BackPixel(14, 20), background_);

  R3xGlideImage* plain = r3xGlideCreateImage(glide_, &bitmap, 0);
  r3xGlideDrawImage(glide_, plain, 10, 20, nullptr);
  EXPECT_EQ(BackPixel(11, 20), PaletteFrame(0));
  r3xGlideFreeImage(glide_, plain);
  r3xGlideFreeImage(glide_, keyed);
}

TEST_F(ImageTest, NegativeHeightConvertsWithoutFlipping) {
  std::vector<std::uint8_t> pixels = {1, 2, 3, 4};
  R3xBitmap bitmap = MakeBitmap(2, -2, 8, pixels);
  R3xGlideImage* image = r3xGlideCreateImage(glide_, &bitmap, 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->height, 2);
  EXPECT_EQ(image->pixels[0], Converted(1));
  EXPECT_EQ(image->pixels[3], Converted(4));
  r3xGlideFreeImage(glide_, image);
}

TEST_F(ImageTest, KeyedPanelWithSourceRectangleWritesOnlyItsOpaquePixels) {
  // 40 x 20, bottom-up; image row r is red when even, green when odd; columns below 15 hold
  // the transparent colour.
  const int width = 40;
  const int height = 20;
  std::vector<std::uint8_t> bytes(width * height * 2);
  auto* panel = reinterpret_cast<std::uint16_t*>(bytes.data());
  auto imageColour = [&](int row, int column) -> std::uint16_t {
    return column < 15 ? Transparent555() : (row % 2 == 0 ? 0x7C00 : 0x03E0);
  };
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      panel[(height - 1 - row) * width + column] = imageColour(row, column);
    }
  }
  R3xBitmap bitmap = MakeBitmap(width, height, 16, bytes);
  R3xGlideImage* image = r3xGlideCreateImage(glide_, &bitmap, 1);
  ASSERT_NE(image, nullptr);
  const RECT source{10, 5, 30, 15};
  r3xGlideDrawImage(glide_, image, 100, 50, &source);
  for (int k = -1; k <= 10; ++k) {
    for (int j = -1; j <= 20; ++j) {
      const bool inside = k >= 0 && k < 10 && j >= 0 && j < 20;
      const std::uint16_t expected =
          inside && 10 + j >= 15 ? FrameOf555(imageColour(5 + k, 10 + j)) : background_;
      ASSERT_EQ(BackPixel(100 + j, 50 + k), expected) << j << "," << k;
    }
  }
  r3xGlideFreeImage(glide_, image);
}

TEST_F(ImageTest, PartlyOffScreenImagesWriteOnlyOnScreenPixels) {
  // 20 x 10, top-down: pixel (c, r) has index 1 + c + 20 r.
  std::vector<std::uint8_t> pixels(200);
  for (int i = 0; i < 200; ++i) {
    pixels[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(1 + i);
  }
  R3xBitmap bitmap = MakeBitmap(20, -10, 8, pixels);
  R3xGlideImage* image = r3xGlideCreateImage(glide_, &bitmap, 0);
  r3xGlideDrawImage(glide_, image, -5, -3, nullptr);
  EXPECT_EQ(BackPixel(0, 0), PaletteFrame(1 + 5 + 20 * 3));
  EXPECT_EQ(BackPixel(14, 6), PaletteFrame(1 + 19 + 20 * 9));
  EXPECT_EQ(BackPixel(15, 0), background_);
  EXPECT_EQ(BackPixel(639, 0), background_);

  r3xGlideDrawImage(glide_, image, 630, 475, nullptr);
  EXPECT_EQ(BackPixel(639, 479), PaletteFrame(1 + 9 + 20 * 4));
  EXPECT_EQ(BackPixel(629, 479), background_);
  EXPECT_EQ(BackPixel(0, 0), PaletteFrame(1 + 5 + 20 * 3));

  // A rectangle reaching past the image is cut to it.
  const RECT past{15, 8, 40, 30};
  r3xGlideDrawImage(glide_, image, 300, 300, &past);
  EXPECT_EQ(BackPixel(304, 301), PaletteFrame(1 + 19 + 20 * 9));
  EXPECT_EQ(BackPixel(305, 301), background_);
  EXPECT_EQ(BackPixel(304, 302), background_);
  r3xGlideFreeImage(glide_, image);
}

// A bitmap written without an image of its own: 8-bit pixels converted for the write, in the
// row order asked for, keyed or not.
TEST_F(ImageTest, EightBitBitmapsAreConvertedForTheirWrite) {
  // 4 x 2: stored rows {0, 5, 5, 0} then {7, 0, 0, 7}.
  std::vector<std::uint8_t> pixels = {0, 5, 5, 0, 7, 0, 0, 7};
  struct Case {
    const char* name;
    std::int32_t keyed;
    std::int32_t rowsTopDown;
    // Palette indexes expected at (10 + column, 20 + row); -1 leaves the background.
    int frame[2][4];
  };
  const Case cases[] = {
      {"keyed, bottom-up", 1, 0, {{7, -1, -1, 7}, {-1, 5, 5, -1}}},
      {"keyed, top-down", 1, 1, {{-1, 5, 5, -1}, {7, -1, -1, 7}}},
      {"unkeyed, bottom-up", 0, 0, {{7, 0, 0, 7}, {0, 5, 5, 0}}},
  };
  R3xBitmap bitmap = MakeBitmap(4, 2, 8, pixels);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    r3xGlideClear(glide_, 1, 1, 0, 0, 0xF8);
    ASSERT_EQ(_r3xGlideDrawBitmap(glide_, &bitmap, c.keyed, 10, 20, nullptr, c.rowsTopDown), 0);
    for (int row = 0; row < 2; ++row) {
      for (int column = 0; column < 4; ++column) {
        const int index = c.frame[row][column];
        EXPECT_EQ(BackPixel(10 + column, 20 + row), index < 0 ? background_ : PaletteFrame(index))
            << column << "," << row;
      }
    }
  }
  // The conversion buffer is the write's own.
  test_support::FailingMemory memory(0);
  EXPECT_EQ(_r3xGlideDrawBitmap(glide_, &bitmap, 1, 10, 20, nullptr, 0), R3X_ERR_FAILED);
}

// A 16-bit bitmap is written from its own bottom-up pixels, keyed by the transparent colour.
TEST_F(ImageTest, SixteenBitBitmapsAreWrittenKeyedFromTheirPixels) {
  // 3 x 2, bottom-up: image row 0 is {red, transparent, green}, row 1 all blue.
  std::vector<std::uint16_t> panel = {0x001F, 0x001F, 0x001F, 0x7C00, Transparent555(), 0x03E0};
  std::vector<std::uint8_t> bytes(panel.size() * 2);
  std::memcpy(bytes.data(), panel.data(), bytes.size());
  R3xBitmap bitmap = MakeBitmap(3, 2, 16, bytes);
  const RECT firstRow{0, 0, 3, 1};
  ASSERT_EQ(_r3xGlideDrawBitmap(glide_, &bitmap, 1, 100, 50, &firstRow, 0), 0);
  EXPECT_EQ(BackPixel(100, 50), FrameOf555(0x7C00));
  EXPECT_EQ(BackPixel(101, 50), background_);
  EXPECT_EQ(BackPixel(102, 50), FrameOf555(0x03E0));
  EXPECT_EQ(BackPixel(100, 51), background_);
  // Pixels shorter than the image, or a depth of no layout, write nothing.
  std::vector<std::uint8_t> shortBytes(11);
  R3xBitmap truncated = MakeBitmap(3, 2, 16, shortBytes);
  R3xBitmap deep = MakeBitmap(3, 2, 24, bytes);
  for (const R3xBitmap* refused : {&truncated, &deep}) {
    EXPECT_EQ(_r3xGlideDrawBitmap(glide_, refused, 1, 0, 0, nullptr, 0), R3X_ERR_FAILED);
  }
  EXPECT_EQ(BackPixel(0, 0), background_);
}

TEST_F(ImageTest, FrameWritesLeaveDepthWritesOff) {
  std::vector<std::uint8_t> pixels(4, 3);
  R3xBitmap bitmap = MakeBitmap(2, 2, 8, pixels);
  R3xGlideImage* image = r3xGlideCreateImage(glide_, &bitmap, 0);
  r3xGlideDrawImage(glide_, image, 0, 0, nullptr);
  GrState state;
  grGlideGetState(&state);
  EXPECT_FALSE(state.depthWrite);
  EXPECT_FALSE(state.chromakey);
  r3xGlideFreeImage(glide_, image);
}

TEST_F(ImageTest, AFailedLockSkipsTheCopyAndRestoresTheState) {
  std::vector<std::uint8_t> bytes(4 * 4 * 2, 0x7C);
  R3xBitmap bitmap = MakeBitmap(4, 4, 16, bytes);
  R3xGlideImage* image = r3xGlideCreateImage(glide_, &bitmap, 1);
  GrLfbInfo held{};
  held.size = 20;
  ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_555,
                        GR_ORIGIN_UPPER_LEFT, GR_LFB_PIXELPIPELINE, &held));
  EXPECT_EQ(r3xGlideDrawImage(glide_, image, 0, 0, nullptr), 0);
  grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
  GrState state;
  grGlideGetState(&state);
  EXPECT_FALSE(state.chromakey);
  EXPECT_EQ(BackPixel(0, 0), background_);
  r3xGlideFreeImage(glide_, image);
}

TEST_F(ImageTest, OtherDepthsAreRefused) {
  std::vector<std::uint8_t> pixels(64);
  for (int depth : {1, 4, 24, 32}) {
    R3xBitmap bitmap = MakeBitmap(4, 4, depth, pixels);
    EXPECT_EQ(r3xGlideCreateImage(glide_, &bitmap, 0), nullptr) << depth;
  }
}

TEST_F(ImageTest, TransparentBlitCopiesBetweenRowOrders) {
  // A 3 x 2 converted image (top-down) and a 3 x 2 panel (bottom-up).
  std::vector<std::uint16_t> top = {0x8001, 0, 0x8003, 0x8004, 0x8005, 0};
  std::vector<std::uint16_t> bottom = {0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016};
  R3xGlideImage topDown{3, 2, 8, top.data()};
  R3xGlideImage bottomUp{3, 2, 16, bottom.data()};
  ASSERT_EQ(r3xBlit16Transparent(glide_, &topDown, &bottomUp, nullptr, nullptr), 0);
  // Image row 0 of the panel is its second memory row.
  EXPECT_EQ(bottom, (std::vector<std::uint16_t>{0x8004, 0x8005, 0x0013, 0x8001, 0x0015, 0x8003}));
  std::vector<std::uint16_t> back = {0, 0, 0, 0, 0, 0};
  R3xGlideImage target{3, 2, 8, back.data()};
  const RECT one{1, 0, 2, 1};
  ASSERT_EQ(r3xBlit16Transparent(glide_, &bottomUp, &target, &one, &one), 0);
  EXPECT_EQ(back, (std::vector<std::uint16_t>{0, 0x0015, 0, 0, 0, 0}));
  const RECT two{0, 0, 2, 1};
  EXPECT_EQ(r3xBlit16Transparent(glide_, &bottomUp, &target, &one, &two), R3X_ERR_FAILED);
  // Parts outside either image are not copied.
  const RECT shifted{2, 1, 4, 3};
  const RECT from{0, 0, 2, 2};
  ASSERT_EQ(r3xBlit16Transparent(glide_, &bottomUp, &target, &from, &shifted), 0);
  EXPECT_EQ(back, (std::vector<std::uint16_t>{0, 0x0015, 0, 0, 0, 0x8001}));
}

TEST_F(ImageTest, FillWritesTheTransparentColourInsideTheBuffer) {
  std::vector<std::uint16_t> buffer(4 * 3, 0x1234);
  const RECT empty{1, 1, 1, 3};
  r3xFill16(glide_, buffer.data(), 4, 3, &empty);
  EXPECT_EQ(buffer, std::vector<std::uint16_t>(12, 0x1234));
  const RECT rect{2, 0, 9, 1};
  r3xFill16(glide_, buffer.data(), 4, 3, &rect);
  const std::uint16_t t = Transparent555();
  // Row 0 is the last memory row.
  EXPECT_EQ(buffer, (std::vector<std::uint16_t>{0x1234, 0x1234, 0x1234, 0x1234, 0x1234, 0x1234,
                                                0x1234, 0x1234, 0x1234, 0x1234, t, t}));
}

TEST_F(ImageTest, AttachDownloadsThePaletteAndKey) {
  Record();
  ASSERT_EQ(r3xGlideAttach(glide_, render_, &palette_), 0);
  const auto& calls = platform::glide::RecordedCalls();
  ASSERT_EQ(Calls(),
            (std::vector<std::string>{"grTexDownloadTable(0, 2)", "grChromakeyValue(2905214)",
                                      "grDepthBiasLevel(0)"}));
  EXPECT_EQ(calls[0].table.size(), 256u);
  EXPECT_EQ(calls[0].table[1], 0x080080u);
  EXPECT_EQ(render_->glide, glide_);
  EXPECT_EQ(render_->glideFlag, 1);

  R3xRenderContext* other = CreateRenderContext(0, nullptr);
  EXPECT_EQ(r3xGlideAttach(glide_, other, nullptr), R3X_ERR_FAILED);
  EXPECT_EQ(other->glide, glide_);
  EXPECT_EQ(other->glideFlag, 1);
  EXPECT_EQ(r3xGlideAttach(glide_, nullptr, &palette_), R3X_ERR_FAILED);
  r3xDestroyRenderContext(nullptr, other, 0);
}

}  // namespace
