#include "battle/effects/camera_image.h"

#include <cstddef>
#include <cstring>

#include "engine/r3x_core.h"

namespace {

constexpr int kClearByte = 0xFF;

}  // namespace

void ClearCameraImage(const R3xCamera* camera) {
  if (camera == nullptr) {
    return;
  }
  std::uint8_t* image = r3xGetCameraImageBuffer(camera);
  const std::int32_t width = r3xGetCameraImageWidth(camera);
  const std::int32_t height = r3xGetCameraImageHeight(camera);
  if (image == nullptr || width <= 0 || height <= 0) {
    return;
  }
  std::memset(image, kClearByte,
              static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}
