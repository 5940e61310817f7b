// BMP reader: an image and its further levels from files and from pack members, the whole-file
// readers and a palette built from the same bytes.
//
// Input: one flag byte (bit 0: keep colours, bits 1-2: level count - 1), then the level files
// separated by "LVL!".
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/bmp_reader.h"
#include "engine/r3x.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/pack_writer.h"

namespace {

constexpr std::string_view kSeparator = "LVL!";
constexpr int kMaxLevels = 4;

// Made once and removed at exit.
const test_support::ScratchFolder& Folder() {
  static const test_support::ScratchFolder folder("bmp_fuzz");
  return folder;
}

void LoadImage(int levels, const char* const* names, R3xWad* wad, int paletteFlag) {
  R3xBitmap bitmap{};
  if (_r3xLoadBitmapFile(levels, names, &bitmap, wad, paletteFlag) == 0) {
    // Touch every byte the loader claims to have filled.
    volatile std::uint8_t sum = 0;
    for (std::size_t i = 0; i < bitmap.pixelBytes; ++i) {
      sum = static_cast<std::uint8_t>(sum + bitmap.pixels[i]);
    }
    if (bitmap.colourTable != nullptr) {
      sum = static_cast<std::uint8_t>(sum + bitmap.colourTable[4 * R3X_BITMAP_COLOUR_ENTRIES - 1]);
    }
  } else if (bitmap.pixels != nullptr || bitmap.colourTable != nullptr) {
    std::abort();
  }
  r3xFree(bitmap.pixels);
  r3xFree(bitmap.colourTable);
}

void ReadWhole(R3xDib* dib) {
  if (dib == nullptr) {
    return;
  }
  const std::uint32_t count = _r3xBmpColorCount(dib);
  if (_r3xBmpColorsFit(dib, count) && count > 0) {
    _r3xBmpColor(dib, count - 1);
  }
  r3xFree(dib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const int paletteFlag = data[0] & 1;
  const int levelCount = 1 + ((data[0] >> 1) & 3);
  std::vector<std::vector<std::uint8_t>> files;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t start = 0;
  while (static_cast<int>(files.size()) + 1 < kMaxLevels) {
    const std::size_t found = rest.find(kSeparator, start);
    if (found == std::string_view::npos) {
      break;
    }
    files.emplace_back(rest.begin() + start, rest.begin() + found);
    start = found + kSeparator.size();
  }
  files.emplace_back(rest.begin() + start, rest.end());

  std::vector<std::string> paths;
  std::vector<mkdata::PackMember> members;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string name = "level" + std::to_string(i) + ".bmp";
    paths.push_back(Folder().Write(name, files[i]));
    members.push_back({name, files[i]});
  }
  // Levels past the files given name a missing file.
  std::vector<const char*> diskNames;
  std::vector<const char*> memberNames;
  for (int i = 0; i < levelCount; ++i) {
    const bool present = i < static_cast<int>(files.size());
    diskNames.push_back(present ? paths[i].c_str() : "/nonexistent/level.bmp");
    memberNames.push_back(present ? members[i].name.c_str() : "missing.bmp");
  }
  LoadImage(levelCount, diskNames.data(), nullptr, paletteFlag);
  ReadWhole(_r3xReadBmpFile(paths[0].c_str()));
  r3xDestroyPalette(nullptr, r3xCreatePalette(nullptr, nullptr, paths[0].c_str(), paletteFlag));

  const std::string packPath =
      Folder().Write("pack.r3x", mkdata::BuildPack(members, mkdata::PackLayout::kHeader));
  R3xWad* wad = r3xOpenWad(packPath.c_str(), 2);
  if (wad == nullptr) {
    std::abort();
  }
  LoadImage(levelCount, memberNames.data(), wad, paletteFlag);
  ReadWhole(_r3xReadDibFromWad(wad, memberNames[0]));
  r3xDestroyPalette(nullptr, r3xCreatePalette(nullptr, wad, memberNames[0], paletteFlag));
  r3xCloseWad(wad);
  return 0;
}
