#include "platform/gdi/pixels_dc.h"

#include <memory>
#include <utility>

#include "platform/gdi/gdi_object.h"

namespace platform::gdi {

HDC CreateDCOverPixels(const LentPixels& pixels) {
  auto bitmap = std::make_shared<Bitmap>();
  bitmap->width = pixels.width;
  bitmap->height = pixels.height;
  bitmap->bottomUp = false;
  bitmap->pitch = pixels.pitch;
  bitmap->bytesPerPixel = pixels.bytesPerPixel;
  bitmap->bits = pixels.bits;
  bitmap->valueOf = pixels.valueOf;
  bitmap->selections = 1;
  auto dc = std::make_shared<DeviceContext>();
  dc->bitmap = std::move(bitmap);
  return IssueHandle(std::move(dc));
}

}  // namespace platform::gdi
