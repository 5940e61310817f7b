// The DCs' font: DejaVu Sans through FreeType, rendered one bit a pixel. The font file is looked
// up in $ARENA_FONT_FOLDER, or in Debian's DejaVu folder when that is not set.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::gdi {

// The height of a text line's cells in pixels.
inline constexpr int kCellHeight = 16;

// A line of text as set pixels, row by row from the top of its cells.
struct TextMask {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> set;
};

// False, with the reason on standard error the first time, when the font file cannot be read.
// The cells are `cellHeight` rows high (a font's height), the DCs' default kCellHeight.
bool RenderText(std::string_view text, int cellHeight, TextMask& mask);

}  // namespace platform::gdi
