// Transparent copies and fills of 16-bit panel buffers in memory; transparency is a test of each
// pixel against 0.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/core/palette.h"
#include "engine/display/glide_colour.h"
#include "engine/display/glide_context.h"
#include "engine/display/glide_image.h"

namespace {

// The memory row of image row r: converted images are stored from the top, the others from
// the bottom.
std::size_t MemoryRow(const R3xGlideImage* image, std::int32_t r) {
  return static_cast<std::size_t>(image->sourceDepth == 8 ? r : image->height - 1 - r);
}

std::uint16_t* PixelAt(const R3xGlideImage* image, std::int32_t row, std::int32_t column) {
  return image->pixels + MemoryRow(image, row) * static_cast<std::size_t>(image->width) +
         static_cast<std::size_t>(column);
}

}  // namespace

std::int32_t r3xBlit16Transparent(R3xGlideContext* /*context*/, const R3xGlideImage* source,
                                  R3xGlideImage* destination, const RECT* sourceRect,
                                  const RECT* destinationRect) {
  const RECT from = sourceRect != nullptr ? *sourceRect : RECT{0, 0, source->width, source->height};
  const RECT to = destinationRect != nullptr ? *destinationRect
                                             : RECT{0, 0, destination->width, destination->height};
  const std::int32_t width = from.right - from.left;
  const std::int32_t height = from.bottom - from.top;
  if (width != to.right - to.left || height != to.bottom - to.top) {
    return R3X_ERR_FAILED;
  }
  // Only the rows and columns inside both images are copied.
  const std::int32_t firstRow = std::max({0, -from.top, -to.top});
  const std::int32_t endRow =
      std::min({height, source->height - from.top, destination->height - to.top});
  const std::int32_t firstColumn = std::max({0, -from.left, -to.left});
  const std::int32_t endColumn =
      std::min({width, source->width - from.left, destination->width - to.left});
  for (std::int32_t r = firstRow; r < endRow; ++r) {
    const std::uint16_t* in = PixelAt(source, from.top + r, from.left);
    std::uint16_t* out = PixelAt(destination, to.top + r, to.left);
    for (std::int32_t c = firstColumn; c < endColumn; ++c) {
      if (in[c] != 0) {
        out[c] = in[c];
      }
    }
  }
  return 0;
}

void r3xFill16(R3xGlideContext* context, std::uint16_t* pixels, std::int32_t rowLength,
               std::int32_t height, const RECT* rect) {
  const std::uint16_t colour =
      context->palette != nullptr
          ? _r3xColour555(context->palette->entries[context->transparentIndex])
          : std::uint16_t{0};
  const std::int32_t left = std::max<std::int32_t>(rect->left, 0);
  const std::int32_t right = std::min<std::int32_t>(rect->right, rowLength);
  const std::int32_t top = std::max<std::int32_t>(rect->top, 0);
  const std::int32_t bottom = std::min<std::int32_t>(rect->bottom, height);
  for (std::int32_t r = top; r < bottom; ++r) {
    std::uint16_t* row =
        pixels + static_cast<std::size_t>(height - 1 - r) * static_cast<std::size_t>(rowLength);
    std::fill(row + left, row + std::max(left, right), colour);
  }
}
