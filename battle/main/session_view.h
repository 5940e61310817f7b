// The game's view layout: the 3D view is always drawn at 640 x 480, shown either above the
// cockpit (the top 640 x 264 of a 640 x 480 screen) or as a full view in one display mode. The
// session keeps the rectangles, the projection and the camera's image here.
#pragma once

#include <cstdint>
#include <vector>

struct DisplayModeList;
struct HostRecord;
struct R3xCamera;

// The camera's near distance.
inline constexpr float gNearDistance = 0.8f;

struct ViewRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
};

class CSessionView {
 public:
  // Gives the camera an image of width x height pixels, kept here as long as the session; the
  // result of SetCameraImageBuffer.
  std::int32_t GiveCameraImage(R3xCamera* camera, std::int32_t width, std::int32_t height);
  // The 3D view is the top 640 x 264 (full 0) or the chosen display mode's whole screen; the
  // camera's view and projection follow it.
  void SetViewRect(R3xCamera* camera, const DisplayModeList& modes, std::int32_t full);
  // The layout of the host's view flags and screen size: the rectangles, a camera image of the
  // screen's size, the camera's view and projection.
  void LayOut(R3xCamera* camera, const HostRecord& host);

  // Into the display-mode list.
  std::int32_t displayModeIndex = 0;
  ViewRect viewRect{};
  ViewRect cameraImageRect{};
  float viewAngle = 85.0f;
  float farDistance = 0.0f;
  float aspect = 0.0f;

 private:
  // The 3D view of size width x height in the camera, and the projection of its aspect.
  void SetView(R3xCamera* camera, std::int32_t width, std::int32_t height);

  std::vector<std::uint8_t> cameraImage_;
};
