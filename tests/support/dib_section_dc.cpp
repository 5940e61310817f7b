#include "tests/support/dib_section_dc.h"

namespace test_support {

DibSectionDc::DibSectionDc(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<std::uint16_t*>(bits);
  saved_ = SelectObject(dc_, bitmap_);
}

DibSectionDc::~DibSectionDc() {
  SelectObject(dc_, saved_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

}  // namespace test_support
