// Cameras: one view into the world, with its placement and region, its projection, the image it
// draws into and the part of that image the view uses, and the actor it sits inside, if any.
// Results: 0 or a negative code: R3X_ERR_ or the setters' own R3X_CAMERA_ codes; a camera or null.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xActor;
struct R3xPlacement;

// R3X_TYPE_CAMERA; not registered in any world.
struct R3xCamera {
  std::int32_t type;
  // The region that holds the position.
  std::int32_t region;
  float x;
  float y;
  float z;
  // Angle units.
  float heading;
  float pitch;
  float roll;
  // Half the field of view given, in angle units.
  float halfFieldOfView;
  float aspect;
  float nearDistance;
  float farDistance;
  // 8-bit pixels, not owned.
  std::uint8_t* imageBuffer;
  std::int32_t imageWidth;
  std::int32_t imageHeight;
  std::int32_t rowLength;
  std::uint32_t viewOrigin;
  std::int32_t viewWidth;
  std::int32_t viewHeight;
  // The slot of the actor the camera sits in (the player's own vehicle in cockpit view), or -1.
  std::int32_t insideActor;
};

// A camera with every field 0 and inside no actor, or null when out of memory.
R3xCamera* CreateCamera();
// Frees the camera (null allowed). 0.
std::int32_t r3xDestroyCamera(R3xCamera* camera);

// The setters' own codes.
inline constexpr std::int32_t R3X_CAMERA_NULL = -1;
inline constexpr std::int32_t R3X_CAMERA_BAD_RANGE = -2;
inline constexpr std::int32_t R3X_CAMERA_NULL_PLACEMENT = -2;
inline constexpr std::int32_t R3X_CAMERA_OUTSIDE = -3;

// Stores the buffer (not owned), its size and row length = width. 0; R3X_CAMERA_NULL for a null
// camera.
std::int32_t SetCameraImageBuffer(R3xCamera* camera, std::uint8_t* buffer, std::int32_t width,
                                  std::int32_t height);
// The part of the image the view uses. 0; R3X_CAMERA_NULL for a null camera.
std::int32_t r3xSetCameraView(R3xCamera* camera, std::uint32_t origin, std::int32_t width,
                              std::int32_t height);
// Stores half the field of view, the aspect and the near and far distances. 0; R3X_CAMERA_NULL;
// R3X_CAMERA_BAD_RANGE, with nothing stored, unless near < far.
std::int32_t r3xSetCameraProjection(R3xCamera* camera, float fieldOfView, float aspect,
                                    float nearDistance, float farDistance);
// Moves the camera to the placement's position and angles (its region word is not read) and
// takes the region that holds the position. 0; R3X_CAMERA_NULL; R3X_CAMERA_NULL_PLACEMENT;
// R3X_CAMERA_OUTSIDE, with nothing stored, when the position lies outside every region.
std::int32_t r3xSetCameraPlacement(R3xWorld* world, R3xCamera* camera,
                                   const R3xPlacement* placement);
// The camera sits inside the actor (null: inside none). 0.
std::int32_t r3xSetCameraActor(R3xCamera* camera, const R3xActor* actor);

std::uint8_t* r3xGetCameraImageBuffer(const R3xCamera* camera);
std::int32_t r3xGetCameraImageWidth(const R3xCamera* camera);
std::int32_t r3xGetCameraImageHeight(const R3xCamera* camera);
std::int32_t r3xGetCameraViewWidth(const R3xCamera* camera);
std::int32_t r3xGetCameraViewHeight(const R3xCamera* camera);
