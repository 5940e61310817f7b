#include "tools/r3xtool/bmp_command.h"

#include <cstdio>
#include <memory>

#include "engine/r3x.h"
#include "platform/kernel/file.h"
#include "tools/mkdata/bmp_writer.h"

namespace {

constexpr char kUsage[] = "usage: r3xtool bmp FILE [PACK]\n";
// A bitmap has at most this many levels: one per halving of a 32-bit size.
constexpr int kMaxLevels = 32;

const char* GetErrorName(std::int32_t code) {
  switch (code) {
    case R3X_ERR_BMP_OPEN:
      return "R3X_ERR_BMP_OPEN";
    case R3X_ERR_BMP_READ:
      return "R3X_ERR_BMP_READ";
    case R3X_ERR_BMP_NOT_BM:
      return "R3X_ERR_BMP_NOT_BM";
    case R3X_ERR_BMP_HEADER:
      return "R3X_ERR_BMP_HEADER";
    case R3X_ERR_NO_MEMORY:
      return "R3X_ERR_NO_MEMORY";
    default:
      return "R3X_ERR_FAILED";
  }
}

struct WadCloser {
  void operator()(R3xWad* wad) const { r3xCloseWad(wad); }
};

bool CanOpen(const std::string& name, R3xWad* wad) {
  if (wad != nullptr) {
    R3xWadMember* member = r3xOpenWadMember(wad, name.c_str());
    r3xCloseWadMember(member);
    return member != nullptr;
  }
  std::FILE* file = platform::OpenFile(name.c_str(), "rb");
  if (file != nullptr) {
    std::fclose(file);
  }
  return file != nullptr;
}

}  // namespace

int RunBmpCommand(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& file = args[0];
  std::unique_ptr<R3xWad, WadCloser> wad;
  if (args.size() == 2) {
    wad.reset(r3xOpenWad(args[1].c_str(), 1));
    if (wad == nullptr) {
      std::fprintf(stderr, "r3xtool: %s: not a pack archive, or its directory is damaged\n",
                   args[1].c_str());
      return 1;
    }
  }
  std::vector<std::string> levels{file};
  while (static_cast<int>(levels.size()) < kMaxLevels &&
         CanOpen(mkdata::MakeLevelFileName(file, static_cast<int>(levels.size())), wad.get())) {
    levels.push_back(mkdata::MakeLevelFileName(file, static_cast<int>(levels.size())));
  }
  std::vector<const char*> names;
  for (const std::string& level : levels) {
    names.push_back(level.c_str());
  }
  R3xBitmapFileInfo info{};
  const std::int32_t result = r3xReadBitmapFileInfo(static_cast<std::int32_t>(names.size()),
                                                    names.data(), wad.get(), &info);
  if (result != 0) {
    std::fprintf(stderr, "r3xtool: %s: %s (%d)\n", file.c_str(), GetErrorName(result), result);
    return 1;
  }
  std::printf("width %d\nheight %d\nbit count %d\ncolours %u\nlevels %zu\npixel bytes %zu\n",
              info.width, info.height, info.bitCount, info.colourCount, names.size(),
              info.pixelBytes);
  return 0;
}
