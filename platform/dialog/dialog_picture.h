// Draws a dialog from its template and its controls' current state, in the grey of the
// original platform's dialogs: sunken white edit boxes, raised buttons (the default one framed
// in black), etched group boxes, icons and black text without anti-aliasing.
#pragma once

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

// One picture per control of the template, in its order. An RGB565 frame of the dialog's size
// in pixels.
Frame DrawDialogPicture(const DialogTemplate& dialog, const std::vector<ControlPicture>& controls);

// The lines that a multi-line box shows: its text split at line breaks ("\r\n" or "\n") and
// wrapped at spaces (a word wider than the box at a character) to fit the width in pixels.
std::vector<std::string> WrapText(const std::string& text, int width);

}  // namespace platform
