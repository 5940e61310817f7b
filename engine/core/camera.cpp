#include "engine/core/camera.h"

#include "engine/core/actor.h"
#include "engine/core/bsp.h"
#include "engine/core/memory.h"
#include "engine/core/object.h"

R3xCamera* CreateCamera() {
  auto* camera = static_cast<R3xCamera*>(r3xMalloc(sizeof(R3xCamera)));
  if (camera != nullptr) {
    camera->type = R3X_TYPE_CAMERA;
    // Slot 0 is a real actor's: an empty slot says so.
    camera->insideActor = -1;
  }
  return camera;
}

std::int32_t r3xDestroyCamera(R3xCamera* camera) {
  r3xFree(camera);
  return 0;
}

std::int32_t SetCameraImageBuffer(R3xCamera* camera, std::uint8_t* buffer, std::int32_t width,
                                  std::int32_t height) {
  if (camera == nullptr) {
    return R3X_CAMERA_NULL;
  }
  camera->imageBuffer = buffer;
  camera->imageWidth = width;
  camera->imageHeight = height;
  camera->rowLength = width;
  return 0;
}

std::int32_t r3xSetCameraView(R3xCamera* camera, std::uint32_t origin, std::int32_t width,
                              std::int32_t height) {
  if (camera == nullptr) {
    return R3X_CAMERA_NULL;
  }
  camera->viewOrigin = origin;
  camera->viewWidth = width;
  camera->viewHeight = height;
  return 0;
}

std::int32_t r3xSetCameraProjection(R3xCamera* camera, float fieldOfView, float aspect,
                                    float nearDistance, float farDistance) {
  if (camera == nullptr) {
    return R3X_CAMERA_NULL;
  }
  if (!(nearDistance < farDistance)) {
    return R3X_CAMERA_BAD_RANGE;
  }
  camera->halfFieldOfView = fieldOfView * 0.5f;
  camera->aspect = aspect;
  camera->nearDistance = nearDistance;
  camera->farDistance = farDistance;
  return 0;
}

std::int32_t r3xSetCameraPlacement(R3xWorld* world, R3xCamera* camera,
                                   const R3xPlacement* placement) {
  if (camera == nullptr) {
    return R3X_CAMERA_NULL;
  }
  if (placement == nullptr) {
    return R3X_CAMERA_NULL_PLACEMENT;
  }
  const float position[3] = {placement->x, placement->y, placement->z};
  const std::int32_t region = r3xFindRegionIndexAt(world, position);
  if (region < 0) {
    return R3X_CAMERA_OUTSIDE;
  }
  camera->region = region;
  camera->x = placement->x;
  camera->y = placement->y;
  camera->z = placement->z;
  camera->heading = placement->heading;
  camera->pitch = placement->pitch;
  camera->roll = placement->roll;
  return 0;
}

std::int32_t r3xSetCameraActor(R3xCamera* camera, const R3xActor* actor) {
  camera->insideActor = actor != nullptr ? actor->header.slot : -1;
  return 0;
}

std::uint8_t* r3xGetCameraImageBuffer(const R3xCamera* camera) { return camera->imageBuffer; }

std::int32_t r3xGetCameraImageWidth(const R3xCamera* camera) { return camera->imageWidth; }

std::int32_t r3xGetCameraImageHeight(const R3xCamera* camera) { return camera->imageHeight; }

std::int32_t r3xGetCameraViewWidth(const R3xCamera* camera) { return camera->viewWidth; }

std::int32_t r3xGetCameraViewHeight(const R3xCamera* camera) { return camera->viewHeight; }
