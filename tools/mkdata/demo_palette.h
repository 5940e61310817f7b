// The demo arena's two palettes as 16 x 16 BMP images that show each colour once: the normal
// palette ("palette.bmp") and the infra-red view's ("pal_Infr.bmp"), which shows each colour of
// the normal palette as heat, by its brightness.
#pragma once

#include "tools/mkdata/bmp_writer.h"

namespace mkdata {

BmpImage MakeDemoPaletteImage();
BmpImage MakeInfraRedPaletteImage();

}  // namespace mkdata
