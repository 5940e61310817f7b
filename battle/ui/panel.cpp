#include "battle/ui/panel.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "battle/arena/arena_view.h"
#include "battle/arena/arena_world.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"

namespace {

// The section's width: even, so that its padded rows are exactly width x 2 bytes, the step of
// the engine's 16-bit images.
int SectionWidth(int width) { return (width + 1) & ~1; }

}  // namespace

CPanel::CPanel(R3xWad* archive, int left, int top, int right, int bottom, std::string name)
    : source_{left, top, right, bottom},
      destination_{left, top, right, bottom},
      name_(std::move(name)),
      named_(1),
      archive_(archive) {}

CPanel::CPanel(int left, int top, int right, int bottom)
    : source_{left, top, right, bottom}, destination_{left, top, right, bottom} {}

CPanel::~CPanel() { Release(); }

int CPanel::rowLength() const { return image_ == nullptr ? 0 : image_->width; }

int CPanel::Place(int dx, int dy, int key) {
  destination_ = {source_.left + dx, source_.top + dy, source_.right + dx, source_.bottom + dy};
  colourKey_ = key;
  keyed_ = key >= 0 ? 1 : 0;
  return Create();
}

void CPanel::Release() {
  if (bitmap_ != nullptr) {
    r3xDestroyBitmap(gWorld, bitmap_);
    bitmap_ = nullptr;
  }
  if (dc_ != nullptr) {
    SelectObject(dc_, savedBitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
    savedBitmap_ = nullptr;
  }
  if (section_ != nullptr) {
    DeleteObject(section_);
    section_ = nullptr;
  }
  if (image_ != nullptr) {
    if (named_ != 0) {
      image_->pixels = savedImagePixels_;
    }
    r3xGlideFreeImage(gGlideContext, image_);
    image_ = nullptr;
  }
  savedImagePixels_ = nullptr;
  pixels_ = nullptr;
  created_ = 0;
}

int CPanel::CreateSection(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = SectionWidth(width);
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biClrUsed = 256;
  dc_ = CreateCompatibleDC(nullptr);
  if (dc_ == nullptr) {
    return 0;
  }
  void* bits = nullptr;
  section_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section_ == nullptr) {
    DeleteDC(dc_);
    dc_ = nullptr;
    return 0;
  }
  pixels_ = static_cast<std::uint16_t*>(bits);
  savedBitmap_ = SelectObject(dc_, section_);
  return 1;
}

int CPanel::Create() {
  Release();
  if (named_ != 0) {
    bitmap_ = r3xLoadBitmap(gWorld, name_.c_str(), name_.c_str(), archive_);
    if (bitmap_ == nullptr) {
      return 0;
    }
    image_ = r3xGlideCreateImage(gGlideContext, reinterpret_cast<const R3xBitmap*>(bitmap_->object),
                                 keyed_);
    if (image_ == nullptr) {
      Release();
      return 0;
    }
    const int width = r3xGetBitmapWidth(bitmap_);
    const int height = r3xGetBitmapHeight(bitmap_);
    if (CreateSection(width, height) == 0) {
      Release();
      return 0;
    }
    std::memcpy(pixels_, image_->pixels,
                static_cast<std::size_t>(image_->width) * image_->height * 2);
    savedImagePixels_ = image_->pixels;
    image_->pixels = pixels_;
    if (source_.left == 0 && source_.top == 0 && source_.right == 0 && source_.bottom == 0) {
      source_ = {0, 0, width, height};
      destination_.right += width;
      destination_.bottom += height;
    }
    r3xDestroyBitmap(gWorld, bitmap_);
    bitmap_ = nullptr;
  } else {
    const int width = source_.right - source_.left;
    const int height = source_.bottom - source_.top;
    if (CreateSection(width, height) == 0) {
      return 0;
    }
    std::fill_n(pixels_, static_cast<std::size_t>(SectionWidth(width)) * height, 1);
    R3xBitmap bits{};
    bits.pixels = reinterpret_cast<std::uint8_t*>(pixels_);
    bits.pixelBytes = static_cast<std::size_t>(SectionWidth(width)) * height * 2;
    bits.width = SectionWidth(width);
    bits.height = height;
    bits.bitCount = 16;
    image_ = r3xGlideCreateImage(gGlideContext, &bits, keyed_);
    if (image_ == nullptr) {
      Release();
      return 0;
    }
  }
  created_ = 1;
  dirty_ = 1;
  return 1;
}

void CPanel::Draw(int force) {
  if (created_ == 0) {
    return;
  }
  if (dirty_ != 0 || force != 0) {
    redrawCountdown_ = 2;
    dirty_ = 0;
  }
  if (redrawCountdown_ > 0) {
    --redrawCountdown_;
    r3xGlideDrawImage(gGlideContext, image_, destination_.left, destination_.top, &source_);
  }
}

void CPanel::BlitTo(int force, CPanel* target) {
  if (target == nullptr || created_ == 0 || target->created_ == 0 || (dirty_ == 0 && force == 0)) {
    return;
  }
  dirty_ = 0;
  r3xBlit16Transparent(gGlideContext, image_, target->image_, &source_, &destination_);
}
