#include "tools/r3xtool/bmp_command.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "engine/r3x.h"
#include "platform/kernel/file.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/file_bytes.h"

namespace {

constexpr char kUsage[] = "usage: r3xtool bmp FILE [PACK]\n";
// A bitmap has at most this many levels: one per halving of a 32-bit size.
constexpr int kMaxLevels = 32;

// What went wrong, in words, for the bitmap reader's result.
const char* DescribeError(std::int32_t code) {
  switch (code) {
    case R3X_ERR_BMP_OPEN:
      return "cannot open it, or one of its levels";
    case R3X_ERR_BMP_READ:
      return "the file ends before its picture does";
    case R3X_ERR_BMP_NOT_BM:
      return "not a BMP file (it does not start with \"BM\")";
    case R3X_ERR_BMP_HEADER:
      return "its BMP header is damaged or of a kind the engine does not read";
    case R3X_ERR_NO_MEMORY:
      return "out of memory";
    default:
      return "cannot be read";
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
  const std::string& input = args.size() == 2 ? args[1] : file;
  if (const std::optional<std::string> error = mkdata::FindReadError(input)) {
    std::fprintf(stderr, "r3xtool: %s\n", error->c_str());
    return 1;
  }
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
    std::fprintf(stderr, "r3xtool: %s: %s\n", file.c_str(), DescribeError(result));
    return 1;
  }
  std::printf("width %d\nheight %d\nbit count %d\ncolours %u\nlevels %zu\npixel bytes %zu\n",
              info.width, info.height, info.bitCount, info.colourCount, names.size(),
              info.pixelBytes);
  return 0;
}
