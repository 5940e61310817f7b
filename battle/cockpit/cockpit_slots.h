// The cockpit's 37 panel slots in its three layouts: which bitmap of "game.r3x" (or a blank of
// which size) each slot holds, where it is placed and with which colour key.
#pragma once

#include <array>
#include <cstdint>

#include "platform/window/rect.h"

inline constexpr int kCockpitSlotCount = 37;

enum class CockpitLayout { kCockpitPicture, kSeparateBoxes, kSmall };

// Small at 320 pixels wide or less; else the cockpit picture when bit 0 of the view flags (the
// cockpit shown) is set, else the separate boxes.
CockpitLayout ChooseCockpitLayout(int screenWidth, std::uint32_t viewFlags);

// A coordinate: from the screen's left or top, its middle or its far edge.
enum class Anchor : std::uint8_t { kStart, kHalf, kEnd };
struct SlotCoordinate {
  Anchor anchor;
  int offset;
  int Resolve(int extent) const {
    return anchor == Anchor::kStart ? offset
                                    : (anchor == Anchor::kHalf ? extent / 2 : extent) + offset;
  }
};

enum class SlotKind : std::uint8_t {
  kAbsent,
  // Placed at its position (inside its box for the shield, armor, turret and target pictures).
  kPlaced,
  // Created where it stands: only a source of copies (frames of a strip).
  kSource,
  // A blank panel holding a copy of its bitmap, so that GDI text drawn into it shows.
  kBlankCopy,
};

struct SlotSpec {
  SlotKind kind;
  // Null: a blank panel.
  const char* bitmap;
  int width;
  int height;
  SlotCoordinate x;
  SlotCoordinate y;
  int key;
};

// The slot's description in a layout.
const SlotSpec& CockpitSlot(CockpitLayout layout, int slot);
// Where the slot's panel lands on a screen of width x height (inside its box for the boxed
// pictures).
RECT CockpitSlotRectangle(CockpitLayout layout, int slot, int screenWidth, int screenHeight);
