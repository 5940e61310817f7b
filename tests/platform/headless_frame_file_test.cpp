// The headless backend's frame file: the last frame shown ends up in it, without a picture being
// written for every frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/backend/headless_backend.h"
#include "tests/support/png_picture.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/scratch_folder.h"

namespace {

// A 2 x 1 frame of 8-bit grey levels.
platform::Frame GreyFrame(std::uint8_t level) {
  platform::Frame frame;
  frame.width = 2;
  frame.height = 1;
  frame.bitsPerPixel = 8;
  frame.pixels = {level, level};
  return frame;
}

// The red byte of the first pixel of a picture WriteFramePng wrote; -1 when there is no such
// picture.
int FirstPixel(const std::string& path) {
  const auto picture = test_support::ReadPngPicture(path);
  return picture && !picture->rgb.empty() ? picture->rgb[0] : -1;
}

class HeadlessFrameFileTest : public testing::Test {
 protected:
  test_support::ScratchFolder folder_{"headless"};
  std::string path_ = folder_ / "frame.png";
  test_support::ScopedEnvironment frameFile_{"ARENA_FRAME_FILE", path_.c_str()};
};

TEST_F(HeadlessFrameFileTest, FirstFrameIsWrittenAtOnceAndTheLastWhenTheBackendEnds) {
  {
    platform::HeadlessBackend backend;
    backend.Present(GreyFrame(10));
    EXPECT_EQ(FirstPixel(path_), 10);
    backend.Present(GreyFrame(20));
    backend.Present(GreyFrame(30));
    // Not rewritten for every frame shown.
    EXPECT_EQ(FirstPixel(path_), 10);
  }
  EXPECT_EQ(FirstPixel(path_), 30);
}

TEST_F(HeadlessFrameFileTest, HidingTheWindowWritesTheLastFrame) {
  platform::HeadlessBackend backend;
  backend.Present(GreyFrame(10));
  backend.Present(GreyFrame(40));
  backend.HideWindow();
  EXPECT_EQ(FirstPixel(path_), 40);
}

TEST_F(HeadlessFrameFileTest, FileIsBroughtUpToDateAboutOnceASecondOfFrames) {
  platform::HeadlessBackend backend;
  backend.Present(GreyFrame(1));
  for (std::uint8_t level = 2; level <= 60; ++level) {
    backend.Present(GreyFrame(level));
  }
  EXPECT_EQ(FirstPixel(path_), 1);
  backend.Present(GreyFrame(61));
  EXPECT_EQ(FirstPixel(path_), 61);
}

TEST_F(HeadlessFrameFileTest, NothingIsWrittenWithoutTheSetting) {
  test_support::ScopedEnvironment noFile("ARENA_FRAME_FILE", "");
  {
    platform::HeadlessBackend backend;
    backend.Present(GreyFrame(10));
    backend.HideWindow();
  }
  EXPECT_EQ(FirstPixel(path_), -1);
}

}  // namespace
