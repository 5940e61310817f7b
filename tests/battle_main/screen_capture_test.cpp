// Screen captures: the BMP file of the board's front buffer, byte for byte, and its numbering.
#include "battle/main/screen_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "battle/main/game_session.h"
#include "platform/glide.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

namespace {

constexpr std::size_t kFileSize = 921654;
constexpr std::size_t kRowBytes = 1920;

// The 54 header bytes every capture starts with.
const std::vector<std::uint8_t> kHeader = {
    'B', 'M', 0x36, 0x10, 0x0E, 0x00, 0,    0,    0,    0,    54, 0, 0, 0,  // file header
    40,  0,   0,    0,    0x80, 0x02, 0,    0,    0xE0, 0x01, 0,  0, 1, 0,
    24,  0,  // size, width, height
    0,   0,   0,    0,    0x00, 0x10, 0x0E, 0x00, 0,    0,    0,  0, 0, 0,
    0,   0,                                     // planes ... image size
    0,   0,   0,    0,    0,    0,    0,    0,  // colour counts
};

std::vector<std::uint8_t> FileBytes(const std::string& name) {
  const std::string text = test_support::ReadTestFile(name);
  return {text.begin(), text.end()};
}

TEST(ScreenCaptureEncodingTest, HeaderAndSizeAreFixed) {
  const std::vector<std::uint16_t> frame(640 * 480, 0);
  const std::vector<std::uint8_t> bytes = EncodeScreenCapture(frame);
  ASSERT_EQ(bytes.size(), kFileSize);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 54), kHeader);
}

TEST(ScreenCaptureEncodingTest, PixelsBecomeBlueGreenRedBytes) {
  struct Case {
    std::uint16_t pixel;
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
  };
  const Case cases[] = {
      {0xFFFF, 0xF8, 0xFC, 0xF8}, {0xF800, 0x00, 0x00, 0xF8}, {0x07E0, 0x00, 0xFC, 0x00},
      {0x001F, 0xF8, 0x00, 0x00}, {0x0821, 0x08, 0x04, 0x08}, {0x0000, 0x00, 0x00, 0x00},
  };
  for (const Case& c : cases) {
    std::vector<std::uint16_t> frame(640 * 480, 0);
    frame[0] = c.pixel;
    const std::vector<std::uint8_t> bytes = EncodeScreenCapture(frame);
    // The top row is the file's last.
    const std::size_t at = 54 + 479 * kRowBytes;
    EXPECT_EQ(bytes[at], c.blue) << c.pixel;
    EXPECT_EQ(bytes[at + 1], c.green) << c.pixel;
    EXPECT_EQ(bytes[at + 2], c.red) << c.pixel;
  }
}

TEST(ScreenCaptureNumberTest, SkipsTakenNamesAndStopsAfter999999) {
  const std::set<std::string> taken = {"zq000000.bmp", "zq000001.bmp", "zq000003.bmp"};
  EXPECT_EQ(FirstFreeCaptureNumber([&](const char* name) { return taken.count(name) != 0; }), 2);
  std::string last;
  EXPECT_EQ(FirstFreeCaptureNumber([&](const char* name) {
              last = name;
              return true;
            }),
            -1);
  EXPECT_EQ(last, "zq999999.bmp");
}

class ScreenCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::glide::SetSwapPacing(false);
    grGlideInit();
    grSstWinOpen(nullptr, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                 GR_ORIGIN_UPPER_LEFT, 2, 1);
  }
  void TearDown() override { grGlideShutdown(); }

  // White, with a red top-left and a blue bottom-right pixel, on the front buffer.
  static void ShowKnownFrame() {
    grBufferClear(0x00FFFFFF, 0, 0xFFFF);
    grClipWindow(0, 0, 1, 1);
    grBufferClear(0x00FF0000, 0, 0xFFFF);
    grClipWindow(639, 479, 640, 480);
    grBufferClear(0x000000FF, 0, 0xFFFF);
    grClipWindow(0, 0, 640, 480);
    grBufferSwap(0);
  }

  test_support::ScratchFolder folder_{"capture"};
  test_support::ScopedWorkingFolder working_{folder_.Path()};
};

TEST_F(ScreenCaptureTest, CaptureOfAKnownFrameIsByteExact) {
  ShowKnownFrame();
  EXPECT_EQ(WriteScreenCapture(), 0);
  std::vector<std::uint8_t> expected = kHeader;
  for (std::size_t i = 0; i < 640 * 480; ++i) {
    expected.insert(expected.end(), {0xF8, 0xFC, 0xF8});
  }
  // Bottom-right is in the first row written, top-left in the last.
  const std::size_t bottomRight = 54 + 639 * 3;
  expected[bottomRight] = 0xF8;
  expected[bottomRight + 1] = 0x00;
  expected[bottomRight + 2] = 0x00;
  const std::size_t topLeft = 54 + 479 * kRowBytes;
  expected[topLeft] = 0x00;
  expected[topLeft + 1] = 0x00;
  expected[topLeft + 2] = 0xF8;
  EXPECT_EQ(FileBytes("zq000000.bmp"), expected);
}

TEST_F(ScreenCaptureTest, NumberingSkipsExistingFiles) {
  folder_.Write("zq000000.bmp", "taken");
  folder_.Write("zq000002.bmp", "taken");
  ShowKnownFrame();
  gGameSession.CaptureScreen();
  EXPECT_EQ(std::filesystem::file_size(folder_ / "zq000001.bmp"), kFileSize);
  gGameSession.CaptureScreen();
  EXPECT_EQ(std::filesystem::file_size(folder_ / "zq000003.bmp"), kFileSize);
  EXPECT_EQ(test_support::ReadTestFile(folder_ / "zq000002.bmp"), "taken");
}

TEST_F(ScreenCaptureTest, ABoardThatCannotBeReadLeavesAnEmptyFile) {
  grGlideShutdown();
  EXPECT_EQ(WriteScreenCapture(), 0);
  EXPECT_EQ(std::filesystem::file_size(folder_ / "zq000000.bmp"), 0u);
  EXPECT_EQ(WriteScreenCapture(), 1);
}

}  // namespace
