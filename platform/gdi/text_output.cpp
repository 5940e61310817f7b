#include "platform/gdi/text_output.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "platform/gdi/font_face.h"
#include "platform/gdi/gdi_object.h"
#include "platform/kernel/last_error.h"

namespace {

void FillRectangle(platform::gdi::Bitmap& bitmap, const RECT& rectangle, std::uint32_t value) {
  const int left = std::max(static_cast<int>(rectangle.left), 0);
  const int top = std::max(static_cast<int>(rectangle.top), 0);
  const int right = std::min(static_cast<int>(rectangle.right), static_cast<int>(bitmap.width));
  const int bottom = std::min(static_cast<int>(rectangle.bottom), static_cast<int>(bitmap.height));
  for (int row = top; row < bottom; ++row) {
    std::uint8_t* pixels = bitmap.Row(row);
    for (int column = left; column < right; ++column) {
      bitmap.Put(pixels, column, value);
    }
  }
}

}  // namespace

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rectangle, LPCSTR text, UINT count,
                 const int* spacing) {
  const std::shared_ptr<platform::gdi::DeviceContext> context =
      platform::HandleAs<platform::gdi::DeviceContext>(dc);
  if (context == nullptr) {
    return FALSE;
  }
  if ((options & ~(ETO_CLIPPED | ETO_OPAQUE)) != 0 || spacing != nullptr ||
      (text == nullptr && count != 0) ||
      ((options & (ETO_CLIPPED | ETO_OPAQUE)) != 0 && rectangle == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  platform::gdi::TextMask mask;
  if (!platform::gdi::RenderText(std::string_view(text, count), context->fontHeight, mask)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  platform::gdi::Bitmap& bitmap = *context->bitmap;
  if ((options & ETO_OPAQUE) != 0 && bitmap.bits != nullptr) {
    FillRectangle(bitmap, *rectangle, bitmap.valueOf(context->backgroundColour));
  }
  if ((context->textAlign & TA_CENTER) == TA_CENTER) {
    x -= mask.width / 2;
  } else if ((context->textAlign & TA_RIGHT) != 0) {
    x -= mask.width;
  }
  // The drawn area: the text's cells within the bitmap and, when clipped, the rectangle.
  int left = std::max(x, 0);
  int top = std::max(y, 0);
  int right = std::min(x + mask.width, bitmap.bits == nullptr ? 0 : bitmap.width);
  int bottom = std::min(y + mask.height, bitmap.bits == nullptr ? 0 : bitmap.height);
  if ((options & ETO_CLIPPED) != 0) {
    left = std::max(left, static_cast<int>(rectangle->left));
    top = std::max(top, static_cast<int>(rectangle->top));
    right = std::min(right, static_cast<int>(rectangle->right));
    bottom = std::min(bottom, static_cast<int>(rectangle->bottom));
  }
  const std::uint32_t ink = bitmap.valueOf(context->textColour);
  const std::uint32_t paper = bitmap.valueOf(context->backgroundColour);
  const bool opaque = context->backgroundMode == OPAQUE;
  for (int row = top; row < bottom; ++row) {
    std::uint8_t* pixels = bitmap.Row(row);
    const std::uint8_t* set = mask.set.data() + static_cast<std::size_t>(row - y) * mask.width;
    for (int column = left; column < right; ++column) {
      if (set[column - x] != 0) {
        bitmap.Put(pixels, column, ink);
      } else if (opaque) {
        bitmap.Put(pixels, column, paper);
      }
    }
  }
  return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
  if (count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size) {
  const std::shared_ptr<platform::gdi::DeviceContext> context =
      platform::HandleAs<platform::gdi::DeviceContext>(dc);
  if (context == nullptr) {
    return FALSE;
  }
  if (count < 0 || size == nullptr || (text == nullptr && count != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  platform::gdi::TextMask mask;
  if (!platform::gdi::RenderText(std::string_view(text, static_cast<std::size_t>(count)),
                                 context->fontHeight, mask)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  size->cx = mask.width;
  size->cy = context->fontHeight;
  return TRUE;
}
