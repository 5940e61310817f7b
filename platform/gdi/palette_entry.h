// Palette entries as the GDI and DirectDraw palettes hold them.
#pragma once

#include "platform/kernel/types.h"

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};

// The entry gets a slot of its own in the system palette instead of sharing a matching one.
inline constexpr BYTE PC_NOCOLLAPSE = 0x04;
