// Draws a dialog from its template and its controls' current state, in the grey of the
// original platform's dialogs: sunken white edit boxes, raised buttons (the default one framed
// in black), etched group boxes, icons and black text without anti-aliasing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/dialog/dialog_resources.h"

namespace platform {

struct ControlPicture {
  std::string text;
  // Empty (width 0) when the control shows no icon.
  IconImage icon;
  bool pressed = false;
  bool isDefault = false;
};

// A message box shown over the dialog.
struct BoxPicture {
  std::string caption;
  std::string text;
  bool pressed = false;
};

struct PixelRect {
  int left;
  int top;
  int right;
  int bottom;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Where a message box and its OK button lie over a dialog of that size in pixels: centred.
struct MessageBoxPlace {
  PixelRect box;
  PixelRect ok;
};
MessageBoxPlace PlaceMessageBox(int width, int height);

// One picture per control of the template, in its order, and the box over them if one is shown.
// An RGB565 frame of the dialog's size in pixels.
Frame DrawDialogPicture(const DialogTemplate& dialog, const std::vector<ControlPicture>& controls,
                        const std::optional<BoxPicture>& box = std::nullopt);

// The lines that a multi-line box shows: its text split at line breaks ("\r\n" or "\n") and
// wrapped at spaces (a word wider than the box at a character) to fit the width in pixels.
std::vector<std::string> WrapText(const std::string& text, int width);

}  // namespace platform
