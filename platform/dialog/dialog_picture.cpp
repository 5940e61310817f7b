#include "platform/dialog/dialog_picture.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/font_face.h"

namespace platform {
namespace {

constexpr std::uint16_t Rgb565(int red, int green, int blue) {
  return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

constexpr std::uint16_t kFace = Rgb565(192, 192, 192);
constexpr std::uint16_t kShadow = Rgb565(128, 128, 128);
constexpr std::uint16_t kHighlight = Rgb565(255, 255, 255);
constexpr std::uint16_t kBlack = Rgb565(0, 0, 0);
constexpr std::uint16_t kWindow = Rgb565(255, 255, 255);
constexpr int kTextMargin = 3;
constexpr std::uint16_t kCaptionBar = Rgb565(0, 0, 128);
constexpr int kScrollBarWidth = 16;
constexpr int kBoxWidth = 360;
constexpr int kBoxHeight = 120;
constexpr int kBoxOkWidth = 80;
constexpr int kBoxOkHeight = 28;

using Rect = PixelRect;

class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, kFace) {}

  void Put(int x, int y, std::uint16_t colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
      pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
    }
  }
  void Fill(const Rect& rect, std::uint16_t colour) {
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x) {
        Put(x, y, colour);
      }
    }
  }
  // A frame one pixel wide: top and left in one colour, bottom and right in the other.
  void Frame(const Rect& rect, std::uint16_t topLeft, std::uint16_t bottomRight) {
    for (int x = rect.left; x < rect.right; ++x) {
      Put(x, rect.top, topLeft);
      Put(x, rect.bottom - 1, bottomRight);
    }
    for (int y = rect.top; y < rect.bottom; ++y) {
      Put(rect.left, y, topLeft);
      Put(rect.right - 1, y, bottomRight);
    }
  }
  // Text with its cells' top-left at (x, y), kept inside the clip rectangle.
  void Text(const std::string& text, int x, int y, const Rect& clip,
            std::uint16_t colour = kBlack) {
    gdi::TextMask mask;
    if (text.empty() || !gdi::RenderText(text, mask)) {
      return;
    }
    for (int row = 0; row < mask.height; ++row) {
      for (int column = 0; column < mask.width; ++column) {
        const int px = x + column;
        const int py = y + row;
        if (mask.set[static_cast<std::size_t>(row) * mask.width + column] != 0 && px >= clip.left &&
            px < clip.right && py >= clip.top && py < clip.bottom) {
          Put(px, py, colour);
        }
      }
    }
  }
  void Icon(const IconImage& icon, int x, int y) {
    for (int row = 0; row < icon.height; ++row) {
      for (int column = 0; column < icon.width; ++column) {
        const std::size_t at = static_cast<std::size_t>(row) * icon.width + column;
        if (icon.opaque[at]) {
          Put(x + column, y + row, icon.pixels[at]);
        }
      }
    }
  }
  platform::Frame TakeFrame() {
    platform::Frame frame;
    frame.width = width_;
    frame.height = height_;
    frame.bitsPerPixel = 16;
    frame.pixels.reserve(pixels_.size() * 2);
    for (const std::uint16_t pixel : pixels_) {
      frame.pixels.push_back(static_cast<BYTE>(pixel));
      frame.pixels.push_back(static_cast<BYTE>(pixel >> 8));
    }
    return frame;
  }

 private:
  int width_;
  int height_;
  std::vector<std::uint16_t> pixels_;
};

int TextWidth(const std::string& text) {
  gdi::TextMask mask;
  return !text.empty() && gdi::RenderText(text, mask) ? mask.width : 0;
}

Rect PixelsOf(const DialogControlTemplate& control) {
  const int k = kPixelsPerDialogUnit;
  return {control.x * k, control.y * k, (control.x + control.width) * k,
          (control.y + control.height) * k};
}

void DrawGroupBox(Canvas& canvas, const Rect& rect, const std::string& caption) {
  // The etched line runs through the middle of the caption's cells.
  const int top = rect.top + gdi::kCellHeight / 2;
  canvas.Frame({rect.left, top, rect.right - 1, rect.bottom - 1}, kShadow, kShadow);
  canvas.Frame({rect.left + 1, top + 1, rect.right, rect.bottom}, kHighlight, kHighlight);
  if (!caption.empty()) {
    const int left = rect.left + 8;
    const Rect gap{left - 2, rect.top, left + TextWidth(caption) + 2, rect.top + gdi::kCellHeight};
    canvas.Fill({gap.left, top, gap.right, top + 2}, kFace);
    canvas.Text(caption, left, rect.top, gap);
  }
}

void DrawEdit(Canvas& canvas, const Rect& rect, const std::string& text, bool multiLine,
              bool scrollBar) {
  canvas.Fill(rect, kWindow);
  canvas.Frame(rect, kShadow, kHighlight);
  canvas.Frame({rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, kBlack, kFace);
  Rect inside{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
  if (scrollBar) {
    const Rect bar{inside.right - kScrollBarWidth, inside.top, inside.right, inside.bottom};
    canvas.Fill(bar, kFace);
    canvas.Frame(bar, kHighlight, kShadow);
    inside.right = bar.left;
  }
  if (!multiLine) {
    const int y = inside.top + (inside.bottom - inside.top - gdi::kCellHeight) / 2;
    canvas.Text(text, inside.left + kTextMargin, y, inside);
    return;
  }
  int y = inside.top;
  for (const std::string& line : WrapText(text, inside.right - inside.left - 2 * kTextMargin)) {
    canvas.Text(line, inside.left + kTextMargin, y, inside);
    y += gdi::kCellHeight;
  }
}

void DrawButton(Canvas& canvas, const Rect& rect, const std::string& text, bool pressed,
                bool isDefault) {
  Rect face = rect;
  if (isDefault) {
    canvas.Frame(face, kBlack, kBlack);
    face = {face.left + 1, face.top + 1, face.right - 1, face.bottom - 1};
  }
  canvas.Fill(face, kFace);
  if (pressed) {
    canvas.Frame(face, kShadow, kShadow);
  } else {
    canvas.Frame(face, kHighlight, kBlack);
    canvas.Frame({face.left + 1, face.top + 1, face.right - 1, face.bottom - 1}, kFace, kShadow);
  }
  const int shift = pressed ? 1 : 0;
  const int x = (face.left + face.right - TextWidth(text)) / 2 + shift;
  const int y = (face.top + face.bottom - gdi::kCellHeight) / 2 + shift;
  canvas.Text(text, x, y, face);
}

void DrawBox(Canvas& canvas, const MessageBoxPlace& place, const BoxPicture& box) {
  const Rect& frame = place.box;
  canvas.Fill(frame, kFace);
  canvas.Frame(frame, kFace, kBlack);
  canvas.Frame({frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1}, kHighlight,
               kShadow);
  const Rect bar{frame.left + 3, frame.top + 3, frame.right - 3,
                 frame.top + 3 + gdi::kCellHeight + 4};
  canvas.Fill(bar, kCaptionBar);
  canvas.Text(box.caption, bar.left + 4, bar.top + 2, bar, kHighlight);
  const Rect body{frame.left + 12, bar.bottom + 8, frame.right - 12, place.ok.top - 4};
  int y = body.top;
  for (const std::string& line : WrapText(box.text, body.right - body.left)) {
    canvas.Text(line, body.left, y, body);
    y += gdi::kCellHeight;
  }
  DrawButton(canvas, place.ok, "OK", box.pressed, true);
}

}  // namespace

MessageBoxPlace PlaceMessageBox(int width, int height) {
  const int left = (width - kBoxWidth) / 2;
  const int top = (height - kBoxHeight) / 2;
  const Rect box{left, top, left + kBoxWidth, top + kBoxHeight};
  const int okLeft = left + (kBoxWidth - kBoxOkWidth) / 2;
  const int okTop = box.bottom - 10 - kBoxOkHeight;
  return {box, {okLeft, okTop, okLeft + kBoxOkWidth, okTop + kBoxOkHeight}};
}

std::vector<std::string> WrapText(const std::string& text, int width) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    std::string paragraph = text.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') {
      paragraph.pop_back();
    }
    // Greedy: the longest run that fits, ended at its last space when it has one.
    while (!paragraph.empty()) {
      std::size_t fits = paragraph.size();
      while (fits > 1 && TextWidth(paragraph.substr(0, fits)) > width) {
        --fits;
      }
      std::size_t cut = fits;
      if (fits < paragraph.size()) {
        const std::size_t space = paragraph.rfind(' ', fits);
        if (space != std::string::npos && space > 0) {
          cut = space;
        }
      }
      std::string line = paragraph.substr(0, cut);
      while (!line.empty() && line.back() == ' ') {
        line.pop_back();
      }
      lines.push_back(line);
      paragraph.erase(0, cut);
      paragraph.erase(0, paragraph.find_first_not_of(' ') == std::string::npos
                             ? paragraph.size()
                             : paragraph.find_first_not_of(' '));
    }
    if (end == text.size()) {
      break;
    }
    start = end + 1;
  }
  return lines;
}

Frame DrawDialogPicture(const DialogTemplate& dialog, const std::vector<ControlPicture>& controls,
                        const std::optional<BoxPicture>& box) {
  Canvas canvas(dialog.width * kPixelsPerDialogUnit, dialog.height * kPixelsPerDialogUnit);
  for (std::size_t i = 0; i < dialog.controls.size() && i < controls.size(); ++i) {
    const DialogControlTemplate& control = dialog.controls[i];
    const ControlPicture& picture = controls[i];
    const Rect rect = PixelsOf(control);
    switch (control.kind) {
      case DialogControlKind::kLabel:
        canvas.Text(picture.text, rect.left, rect.top,
                    {rect.left, rect.top, rect.right, rect.bottom + 4});
        break;
      case DialogControlKind::kGroupBox:
        DrawGroupBox(canvas, rect, picture.text);
        break;
      case DialogControlKind::kIcon:
        if (picture.icon.width > 0) {
          canvas.Icon(picture.icon, rect.left, rect.top);
        }
        break;
      case DialogControlKind::kEdit:
        DrawEdit(canvas, rect, picture.text, false, false);
        break;
      case DialogControlKind::kMultiLineEdit:
        DrawEdit(canvas, rect, picture.text, true, false);
        break;
      case DialogControlKind::kReport:
        DrawEdit(canvas, rect, picture.text, true, true);
        break;
      case DialogControlKind::kButton:
      case DialogControlKind::kDefaultButton:
        DrawButton(canvas, rect, picture.text, picture.pressed, picture.isDefault);
        break;
    }
  }
  if (box.has_value()) {
    DrawBox(
        canvas,
        PlaceMessageBox(dialog.width * kPixelsPerDialogUnit, dialog.height * kPixelsPerDialogUnit),
        *box);
  }
  return canvas.TakeFrame();
}

}  // namespace platform
