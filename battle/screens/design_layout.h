// Where the design screen's pieces lie on the 640 x 480 screen and which bitmaps of the archive
// "Design.r3x" they show.
#pragma once

#include <array>

struct DesignPiece {
  // The normal (up) image, and the pressed (down) one of a button; null where none.
  const char* bitmap;
  const char* pressedBitmap;
  int x;
  int y;
  int width;
  int height;
};

inline constexpr char kDesignArchive[] = "Design.r3x";
inline constexpr DesignPiece kDesignBackground{"vconfig.bmp", nullptr, 0, 0, 640, 480};
inline constexpr DesignPiece kPreviousChassisButton{"s5al.bmp", "s5al.bmp", 244, 48, 25, 20};
inline constexpr DesignPiece kNextChassisButton{"s5ar.bmp", "s5ar.bmp", 385, 48, 25, 20};
inline constexpr DesignPiece kScrollBarPiece{nullptr, nullptr, 187, 29, 12, 239};
// The up arrow, and its look at position 0.
inline constexpr DesignPiece kScrollUpPiece{"uarrowl.bmp", "uarrowd.bmp", 188, 29, 11, 12};
// The down arrow, and its look at the last position.
inline constexpr DesignPiece kScrollDownPiece{"darrowl.bmp", "darrowd.bmp", 188, 227, 11, 12};
inline constexpr DesignPiece kScrollThumbPiece{"redball.bmp", nullptr, 188, 41, 12, 12};
inline constexpr DesignPiece kEquipmentListPiece{nullptr, nullptr, 33, 63, 140, 197};
inline constexpr DesignPiece kBayListPiece{nullptr, nullptr, 472, 239, 140, 130};
inline constexpr DesignPiece kStoredListPiece{nullptr, nullptr, 472, 89, 140, 130};
inline constexpr DesignPiece kDoneButton{"s5b2u.bmp", "s5b2d.bmp", 267, 388, 127, 60};
inline constexpr DesignPiece kApplyButton{"s5b3u.bmp", "s5b3d.bmp", 441, 416, 94, 45};
inline constexpr DesignPiece kSaveButton{"s5b4u.bmp", "s5b4d.bmp", 542, 416, 94, 45};
inline constexpr std::array<DesignPiece, 3> kConfigurationButtons = {{
    {"s5ab.bmp", "s5ab.bmp", 492, 44, 16, 16},
    {"s5bb.bmp", "s5bb.bmp", 533, 44, 16, 16},
    {"s5cb.bmp", "s5cb.bmp", 578, 44, 16, 16},
}};
inline constexpr DesignPiece kBatteryGauge{"greenbar.bmp", nullptr, 306, 354, 47, 11};
inline constexpr DesignPiece kArmorPicture{"armor.bmp", nullptr, 316, 279, 27, 43};
// Drawn with its transparent colour see-through, over the armor picture.
inline constexpr DesignPiece kTurretPicture{"turret.bmp", nullptr, 316, 279, 27, 43};

static_assert(kEquipmentListPiece.height / 13 == 15 && kBayListPiece.height / 13 == 10);
