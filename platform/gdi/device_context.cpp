#include "platform/gdi/device_context.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/gdi/font_face.h"
#include "platform/gdi/gdi_object.h"
#include "platform/kernel/last_error.h"

namespace {

using platform::gdi::Bitmap;
using platform::gdi::DeviceContext;
using platform::gdi::Font;

// Large enough for any screen or panel; keeps the size arithmetic far from overflow.
constexpr LONG kMaxSide = 16384;

// The stock bitmap that a new memory DC holds, issued once.
HBITMAP StockBitmap() {
  static const HBITMAP stock = [] {
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = 1;
    bitmap->height = 1;
    return platform::IssueHandle(std::move(bitmap));
  }();
  return stock;
}

// The font a new DC holds, issued once.
HGDIOBJ StockFont() {
  static const HGDIOBJ stock = [] {
    auto font = std::make_shared<Font>();
    font->height = platform::gdi::kCellHeight;
    return platform::IssueHandle(std::move(font));
  }();
  return stock;
}

}  // namespace

HDC CreateCompatibleDC(HDC /*reference*/) {
  auto dc = std::make_shared<DeviceContext>();
  dc->bitmapHandle = StockBitmap();
  dc->bitmap = platform::HandleAs<Bitmap>(dc->bitmapHandle);
  ++dc->bitmap->selections;
  dc->fontHandle = StockFont();
  return platform::IssueHandle(std::move(dc));
}

BOOL DeleteDC(HDC dc) {
  const std::shared_ptr<DeviceContext> context = platform::HandleAs<DeviceContext>(dc);
  if (context == nullptr || !platform::CloseHandleAs<DeviceContext>(dc)) {
    return FALSE;
  }
  --context->bitmap->selections;
  return TRUE;
}

HBITMAP CreateDIBSection(HDC /*dc*/, const BITMAPINFO* info, UINT usage, void** bits,
                         HANDLE section, DWORD /*offset*/) {
  if (info == nullptr || bits == nullptr || usage != DIB_RGB_COLORS || section != nullptr ||
      info->bmiHeader.biBitCount != 16 || info->bmiHeader.biCompression != BI_RGB ||
      info->bmiHeader.biWidth <= 0 || info->bmiHeader.biWidth > kMaxSide ||
      info->bmiHeader.biHeight == 0 || std::abs(info->bmiHeader.biHeight) > kMaxSide) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto bitmap = std::make_shared<Bitmap>();
  bitmap->width = info->bmiHeader.biWidth;
  bitmap->height = std::abs(info->bmiHeader.biHeight);
  bitmap->bottomUp = info->bmiHeader.biHeight > 0;
  bitmap->pitch = (static_cast<std::size_t>(bitmap->width) * 2 + 3) & ~std::size_t{3};
  bitmap->pixels.assign(bitmap->pitch / 2 * static_cast<std::size_t>(bitmap->height), 0);
  bitmap->bits = reinterpret_cast<std::uint8_t*>(bitmap->pixels.data());
  *bits = bitmap->pixels.data();
  return platform::IssueHandle(std::move(bitmap));
}

HFONT CreateFontA(int height, int /*width*/, int /*escapement*/, int /*orientation*/,
                  int /*weight*/, DWORD /*italic*/, DWORD /*underline*/, DWORD /*strikeOut*/,
                  DWORD /*charSet*/, DWORD /*outputPrecision*/, DWORD /*clipPrecision*/,
                  DWORD /*quality*/, DWORD /*pitchAndFamily*/, LPCSTR /*face*/) {
  auto font = std::make_shared<Font>();
  font->height = height == 0 ? platform::gdi::kCellHeight : std::min(std::abs(height), kMaxSide);
  return platform::IssueHandle(std::move(font));
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateFontA(font->lfHeight, font->lfWidth, font->lfEscapement, font->lfOrientation,
                     font->lfWeight, font->lfItalic, font->lfUnderline, font->lfStrikeOut,
                     font->lfCharSet, font->lfOutPrecision, font->lfClipPrecision, font->lfQuality,
                     font->lfPitchAndFamily, font->lfFaceName);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  const std::shared_ptr<DeviceContext> context = platform::HandleAs<DeviceContext>(dc);
  if (const std::shared_ptr<Font> font = platform::HandleAs<Font>(object);
      context != nullptr && font != nullptr) {
    const HGDIOBJ previous = context->fontHandle;
    context->fontHandle = object;
    context->fontHeight = font->height;
    return previous;
  }
  std::shared_ptr<Bitmap> bitmap = platform::HandleAs<Bitmap>(object);
  if (context == nullptr || bitmap == nullptr) {
    return nullptr;
  }
  const HGDIOBJ previous = context->bitmapHandle;
  --context->bitmap->selections;
  ++bitmap->selections;
  context->bitmap = std::move(bitmap);
  context->bitmapHandle = object;
  return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
  if (platform::HandleAs<Font>(object) != nullptr) {
    return object != StockFont() && platform::CloseHandleAs<Font>(object) ? TRUE : FALSE;
  }
  const std::shared_ptr<Bitmap> bitmap = platform::HandleAs<Bitmap>(object);
  if (bitmap == nullptr || bitmap->selections > 0 || object == StockBitmap()) {
    return FALSE;
  }
  return platform::CloseHandleAs<Bitmap>(object) ? TRUE : FALSE;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
  const std::shared_ptr<DeviceContext> context = platform::HandleAs<DeviceContext>(dc);
  if (context == nullptr) {
    return CLR_INVALID;
  }
  const COLORREF previous = context->textColour;
  context->textColour = colour;
  return previous;
}

int SetBkMode(HDC dc, int mode) {
  const std::shared_ptr<DeviceContext> context = platform::HandleAs<DeviceContext>(dc);
  if (context == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
    return 0;
  }
  const int previous = context->backgroundMode;
  context->backgroundMode = mode;
  return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
  const std::shared_ptr<DeviceContext> context = platform::HandleAs<DeviceContext>(dc);
  if (context == nullptr) {
    return CLR_INVALID;
  }
  const COLORREF previous = context->backgroundColour;
  context->backgroundColour = colour;
  return previous;
}

UINT SetTextAlign(HDC dc, UINT align) {
  const std::shared_ptr<DeviceContext> context = platform::HandleAs<DeviceContext>(dc);
  if (context == nullptr) {
    return GDI_ERROR;
  }
  const UINT previous = context->textAlign;
  context->textAlign = align;
  return previous;
}
