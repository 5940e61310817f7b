#include "battle/main/session_view.h"

#include <cstddef>

#include "battle/main/display_modes.h"
#include "engine/r3x_core.h"
#include "host/interface/host_record.h"

namespace {

// The 3D view above the cockpit panels.
constexpr std::int32_t kCockpitViewWidth = 640;
constexpr std::int32_t kCockpitViewHeight = 264;

}  // namespace

std::int32_t CSessionView::GiveCameraImage(R3xCamera* camera, std::int32_t width,
                                           std::int32_t height) {
  if (width <= 0 || height <= 0) {
    return R3X_CAMERA_BAD_RANGE;
  }
  cameraImage_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  return SetCameraImageBuffer(camera, cameraImage_.data(), width, height);
}

void CSessionView::SetViewRect(R3xCamera* camera, const DisplayModeList& modes, std::int32_t full) {
  std::int32_t width = kCockpitViewWidth;
  std::int32_t height = kCockpitViewHeight;
  if (full != 0) {
    const DisplayMode mode = FullViewMode(modes, displayModeIndex);
    width = static_cast<std::int32_t>(mode.width);
    height = static_cast<std::int32_t>(mode.height);
  }
  SetView(camera, width, height);
}

void CSessionView::LayOut(R3xCamera* camera, const HostRecord& host) {
  if ((host.viewFlags & kViewFlagCockpit) != 0) {
    viewRect = {0, 0, kCockpitViewWidth, kCockpitViewHeight};
    cameraImageRect = {0, 0, kScreenWidth, kScreenHeight};
  } else {
    viewRect = {0, 0, host.screenWidth, host.screenHeight};
    cameraImageRect = viewRect;
  }
  GiveCameraImage(camera, cameraImageRect.right, cameraImageRect.bottom);
  SetView(camera, viewRect.right, viewRect.bottom);
}

void CSessionView::SetView(R3xCamera* camera, std::int32_t width, std::int32_t height) {
  viewRect = {0, 0, width, height};
  if (camera == nullptr) {
    return;
  }
  r3xSetCameraView(camera, 0, width, height);
  aspect = static_cast<float>(r3xGetCameraViewWidth(camera)) /
           static_cast<float>(r3xGetCameraViewHeight(camera));
  r3xSetCameraProjection(camera, viewAngle, aspect, gNearDistance, farDistance);
}
