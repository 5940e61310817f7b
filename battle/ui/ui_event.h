// The toolkit's input events, queued by the window procedure and taken one a frame by the screen.
#pragma once

#include <cstdint>

#include "battle/ui/ui_widget.h"

enum UiEventKind : std::uint32_t {
  // A pressed button was released, inside it or not.
  kUiReleased = 0,
  // A button was pressed, a list selected a new row, or a bar moved a position by an arrow.
  kUiActivated = 1,
  // The selected row of a list was clicked again.
  kUiClickedAgain = 2,
  // A row of a list was right-clicked.
  kUiRightClicked = 3,
  // A key: a character, or one of the named keys below.
  kUiKey = 4,
};

// The codes of the named keys in key events.
enum UiKeyCode : std::uint32_t {
  kUiKeyDelete = 0x7F,
  kUiKeyLeft = 0x80,
  kUiKeyRight = 0x81,
  kUiKeyUp = 0x82,
  kUiKeyDown = 0x83,
  kUiKeyHome = 0x84,
  kUiKeyEnd = 0x85,
};

struct UiEvent {
  std::uint32_t kind;
  // Null for key events.
  UiWidget* widget;
  // Key events only.
  std::uint32_t key;
  // The mouse's screen position when the event arose; 0 for keys.
  int x;
  int y;
};
