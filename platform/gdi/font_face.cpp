#include "platform/gdi/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace platform::gdi {
namespace {

constexpr char kDebianFontFolder[] = "/usr/share/fonts/truetype/dejavu/";
constexpr char kFontFile[] = "DejaVuSans.ttf";
// Pixels an em: the text then fits a 16-pixel cell, its baseline 13 rows down.
constexpr FT_UInt kPixelsPerEm = 13;

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
        FT_Set_Pixel_Sizes(face_, 0, kPixelsPerEm) != 0) {
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

bool RenderText(std::string_view text, TextMask& mask) {
  std::lock_guard lock(gFonts.mutex);
  const FT_Face face = gFonts.FaceFor(FontPath());
  if (face == nullptr) {
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
  mask.height = kCellHeight;
  mask.set.assign(static_cast<std::size_t>(width) * kCellHeight, 0);
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
            y < kCellHeight) {
          mask.set[static_cast<std::size_t>(y) * width + x] = 1;
        }
      }
    }
    penX += static_cast<int>(glyph->advance.x >> 6);
  }
  return true;
}

}  // namespace platform::gdi
