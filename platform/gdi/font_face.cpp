#include "platform/gdi/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace platform::gdi {
namespace {

constexpr char kDebianFontFolder[] = "/usr/share/fonts/truetype/dejavu/";
constexpr char kFontFile[] = "DejaVuSans.ttf";
// Pixels an em for a cell of a height: 13 for 16-pixel cells, the baseline then 13 rows down.
FT_UInt PixelsPerEm(int cellHeight) {
  return static_cast<FT_UInt>(std::max(1, cellHeight * 13 / kCellHeight));
}

std::string FontPath() {
  const char* folder = std::getenv("ARENA_FONT_FOLDER");
  std::string path = folder != nullptr ? folder : kDebianFontFolder;
  if (!path.empty() && path.back() != '/') {
    path += '/';
  }
  return path + kFontFile;
}

// The face of the last path asked for; a failed path is reported once and not retried until
// the path changes.
class FontCache {
 public:
  ~FontCache() { Close(); }

  FT_Face FaceFor(const std::string& path) {
    if (path == path_) {
      return face_;
    }
    Close();
    path_ = path;
    if (FT_Init_FreeType(&library_) != 0) {
      library_ = nullptr;
      std::fprintf(stderr, "text output: FreeType cannot start\n");
      return nullptr;
    }
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0 ||
        FT_Set_Pixel_Sizes(face_, 0, PixelsPerEm(kCellHeight)) != 0) {
      std::fprintf(stderr, "text output: cannot read the font %s; no text is drawn\n",
                   path.c_str());
      Close();
      path_ = path;
    }
    return face_;
  }

  std::mutex mutex;

 private:
  void Close() {
    if (face_ != nullptr) {
      FT_Done_Face(face_);
      face_ = nullptr;
    }
    if (library_ != nullptr) {
      FT_Done_FreeType(library_);
      library_ = nullptr;
    }
    path_.clear();
  }

  std::string path_;
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

FontCache gFonts;

bool LoadMonoGlyph(FT_Face face, unsigned char character) {
  return FT_Load_Char(face, character, FT_LOAD_TARGET_MONO) == 0 &&
         FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0 &&
         face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
}

}  // namespace

bool RenderText(std::string_view text, int cellHeight, TextMask& mask) {
  std::lock_guard lock(gFonts.mutex);
  const FT_Face face = gFonts.FaceFor(FontPath());
  if (face == nullptr || FT_Set_Pixel_Sizes(face, 0, PixelsPerEm(cellHeight)) != 0) {
    return false;
  }
  // Widths first, then the glyphs into a mask of the cells.
  int width = 0;
  for (const char c : text) {
    if (LoadMonoGlyph(face, static_cast<unsigned char>(c))) {
      width += static_cast<int>(face->glyph->advance.x >> 6);
    }
  }
  mask.width = width;
  mask.height = cellHeight;
  mask.set.assign(static_cast<std::size_t>(width) * cellHeight, 0);
  const int baseline = static_cast<int>(face->size->metrics.ascender >> 6);
  int penX = 0;
  for (const char c : text) {
    if (!LoadMonoGlyph(face, static_cast<unsigned char>(c))) {
      continue;
    }
    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bits = glyph->bitmap;
    for (unsigned row = 0; row < bits.rows; ++row) {
      const int y = baseline - glyph->bitmap_top + static_cast<int>(row);
      const unsigned char* line = bits.buffer + static_cast<std::ptrdiff_t>(row) * bits.pitch;
      for (unsigned column = 0; column < bits.width; ++column) {
        const int x = penX + glyph->bitmap_left + static_cast<int>(column);
        if ((line[column / 8] & (0x80 >> column % 8)) != 0 && x >= 0 && x < width && y >= 0 &&
            y < cellHeight) {
          mask.set[static_cast<std::size_t>(y) * width + x] = 1;
        }
      }
    }
    penX += static_cast<int>(glyph->advance.x >> 6);
  }
  return true;
}

}  // namespace platform::gdi
