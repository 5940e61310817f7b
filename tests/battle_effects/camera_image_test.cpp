#include "battle/effects/camera_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/r3x.h"

namespace {

TEST(CameraImageTest, FillsExactlyTheCamerasImage) {
  R3xCamera* camera = CreateCamera();
  ASSERT_NE(camera, nullptr);
  constexpr std::size_t kImage = 640 * 480;
  std::vector<std::uint8_t> buffer(kImage + 64, 0x11);
  ASSERT_EQ(SetCameraImageBuffer(camera, buffer.data(), 640, 480), 0);
  ClearCameraImage(camera);
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xFF), static_cast<long>(kImage));
  EXPECT_TRUE(std::all_of(buffer.begin() + kImage, buffer.end(), [](auto b) { return b == 0x11; }));
  r3xDestroyCamera(camera);
}

TEST(CameraImageTest, LeavesACameraWithoutAnImageAlone) {
  R3xCamera* camera = CreateCamera();
  ASSERT_NE(camera, nullptr);
  std::vector<std::uint8_t> buffer(64, 0x11);
  ASSERT_EQ(SetCameraImageBuffer(camera, buffer.data(), 0, 480), 0);
  ClearCameraImage(camera);
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0x11), 64);
  r3xDestroyCamera(camera);
}

}  // namespace
