#include "engine/core/bitmap_file_info.h"

#include "engine/core/bitmap.h"
#include "engine/core/bmp_reader.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"

std::int32_t r3xReadBitmapFileInfo(std::int32_t levelCount, const char* const* names,
                                   R3xWad* archive, R3xBitmapFileInfo* info) {
  if (info == nullptr) {
    return R3X_ERR_FAILED;
  }
  R3xBitmap bitmap{};
  const std::int32_t result = _r3xLoadBitmapFile(levelCount, names, &bitmap, archive, 1);
  if (result != 0) {
    return result;
  }
  R3xDib* dib =
      archive != nullptr ? _r3xReadDibFromWad(archive, names[0]) : _r3xReadBmpFile(names[0]);
  *info = {bitmap.width, bitmap.height, bitmap.bitCount,
           dib != nullptr ? _r3xBmpColorCount(dib) : 0, bitmap.pixelBytes};
  r3xFree(dib);
  r3xFree(bitmap.pixels);
  r3xFree(bitmap.colourTable);
  return 0;
}
