// The view layouts: the 3D view above the cockpit or filling a display mode, the camera's image,
// view and projection, and the session's view commands.
#include "battle/main/session_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "battle/arena/arena_view.h"
#include "battle/main/display_modes.h"
#include "battle/main/game_session.h"
#include "battle/main/host_link.h"
#include "engine/r3x.h"
#include "host/interface/host_record.h"

namespace {

struct CameraDeleter {
  void operator()(R3xCamera* camera) const { r3xDestroyCamera(camera); }
};
using CameraPtr = std::unique_ptr<R3xCamera, CameraDeleter>;

void ExpectRect(const ViewRect& rect, std::int32_t width, std::int32_t height) {
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, width);
  EXPECT_EQ(rect.bottom, height);
}

class SessionViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(camera_, nullptr);
    view_.farDistance = 500.0f;
    modes_.entries[0] = {320, 240, 8};
    modes_.entries[1] = {640, 480, 8};
    modes_.count = 2;
  }

  CameraPtr camera_{CreateCamera()};
  CSessionView view_;
  DisplayModeList modes_{};
};

TEST_F(SessionViewTest, CockpitViewIsTheTop640By264) {
  view_.SetViewRect(camera_.get(), modes_, 0);
  ExpectRect(view_.viewRect, 640, 264);
  EXPECT_EQ(r3xGetCameraViewWidth(camera_.get()), 640);
  EXPECT_EQ(r3xGetCameraViewHeight(camera_.get()), 264);
  EXPECT_FLOAT_EQ(view_.aspect, 640.0f / 264.0f);
  EXPECT_FLOAT_EQ(camera_->aspect, 640.0f / 264.0f);
  EXPECT_FLOAT_EQ(camera_->halfFieldOfView, 85.0f / 2);
  EXPECT_FLOAT_EQ(camera_->nearDistance, 0.8f);
  EXPECT_FLOAT_EQ(camera_->farDistance, 500.0f);
}

TEST_F(SessionViewTest, FullViewFillsTheChosenMode) {
  view_.displayModeIndex = 0;
  view_.viewAngle = 60.0f;
  view_.SetViewRect(camera_.get(), modes_, 1);
  ExpectRect(view_.viewRect, 320, 240);
  EXPECT_EQ(r3xGetCameraViewWidth(camera_.get()), 320);
  EXPECT_EQ(r3xGetCameraViewHeight(camera_.get()), 240);
  EXPECT_FLOAT_EQ(camera_->aspect, 320.0f / 240.0f);
  EXPECT_FLOAT_EQ(camera_->halfFieldOfView, 30.0f);
}

TEST_F(SessionViewTest, LayoutWithCockpitKeepsA640By480Image) {
  HostRecord host;
  view_.LayOut(camera_.get(), host);
  ExpectRect(view_.viewRect, 640, 264);
  ExpectRect(view_.cameraImageRect, 640, 480);
  ASSERT_NE(r3xGetCameraImageBuffer(camera_.get()), nullptr);
  EXPECT_EQ(r3xGetCameraImageWidth(camera_.get()), 640);
  EXPECT_EQ(r3xGetCameraImageHeight(camera_.get()), 480);
  EXPECT_EQ(r3xGetCameraViewHeight(camera_.get()), 264);
  EXPECT_FLOAT_EQ(camera_->aspect, 640.0f / 264.0f);
}

TEST_F(SessionViewTest, LayoutWithoutCockpitUsesTheWholeScreen) {
  // An earlier layout's image, drawn on.
  HostRecord host;
  view_.LayOut(camera_.get(), host);
  std::fill_n(r3xGetCameraImageBuffer(camera_.get()), 640 * 480, std::uint8_t{0x55});
  host.viewFlags = 0;
  host.screenWidth = 320;
  host.screenHeight = 240;
  view_.LayOut(camera_.get(), host);
  ExpectRect(view_.viewRect, 320, 240);
  ExpectRect(view_.cameraImageRect, 320, 240);
  EXPECT_EQ(r3xGetCameraImageWidth(camera_.get()), 320);
  EXPECT_EQ(r3xGetCameraImageHeight(camera_.get()), 240);
  EXPECT_EQ(r3xGetCameraViewWidth(camera_.get()), 320);
  EXPECT_FLOAT_EQ(camera_->aspect, 320.0f / 240.0f);
  // A new image of the mode's size, cleared: nothing of the earlier picture shows in it.
  const std::uint8_t* image = r3xGetCameraImageBuffer(camera_.get());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(std::count(image, image + 320 * 240, std::uint8_t{0}), 320 * 240);
}

TEST_F(SessionViewTest, AnImageOfNoSizeIsRefusedAndTheCameraKeepsItsOwn) {
  ASSERT_EQ(view_.GiveCameraImage(camera_.get(), 640, 480), 0);
  std::uint8_t* image = r3xGetCameraImageBuffer(camera_.get());
  EXPECT_EQ(view_.GiveCameraImage(camera_.get(), 0, 480), R3X_CAMERA_BAD_RANGE);
  EXPECT_EQ(view_.GiveCameraImage(camera_.get(), 640, -1), R3X_CAMERA_BAD_RANGE);
  EXPECT_EQ(r3xGetCameraImageBuffer(camera_.get()), image);
  EXPECT_EQ(r3xGetCameraImageWidth(camera_.get()), 640);
}

TEST_F(SessionViewTest, NoCameraOnlyKeepsTheRectangle) {
  view_.SetViewRect(nullptr, modes_, 0);
  ExpectRect(view_.viewRect, 640, 264);
}

// The session's commands over the host record and the world start's camera.
class SessionViewCommandTest : public SessionViewTest {
 protected:
  void SetUp() override {
    SessionViewTest::SetUp();
    gHostRecord = &host_;
    gCamera = camera_.get();
    gDisplayModeList = modes_;
    gGameSession.view.farDistance = 500.0f;
    gGameSession.palettes.ClearPaletteDirty();
  }
  void TearDown() override {
    gHostRecord = nullptr;
    gCamera = nullptr;
    gDisplayModeList = {};
  }

  HostRecord host_;
};

TEST_F(SessionViewCommandTest, ChoosingAModeWritesTheIndexAndTheHostSize) {
  host_.viewFlags = 0;
  host_.screenWidth = 320;
  host_.screenHeight = 240;
  gGameSession.ChooseDisplayMode();
  EXPECT_EQ(gGameSession.view.displayModeIndex, 0);
  host_.viewFlags = kViewFlagCockpit;
  gGameSession.ChooseDisplayMode();
  EXPECT_EQ(gGameSession.view.displayModeIndex, 1);
  EXPECT_EQ(host_.screenWidth, 640);
  gGameSession.SetViewRect(0);
  EXPECT_EQ(r3xGetCameraViewHeight(camera_.get()), 264);
}

TEST_F(SessionViewCommandTest, WithoutTheOwnTankTheViewIsNotRebuilt) {
  gGameSession.view.viewRect = {0, 0, 1, 1};
  gGameSession.RebuildView();
  ExpectRect(gGameSession.view.viewRect, 1, 1);
  EXPECT_FALSE(gGameSession.palettes.PaletteDirty());
  gGameSession.ToggleCockpit();
  EXPECT_EQ(host_.viewFlags, 0u);
  ExpectRect(gGameSession.view.viewRect, 1, 1);
  gGameSession.ToggleCockpit();
  EXPECT_EQ(host_.viewFlags, kViewFlagCockpit);
}

}  // namespace
