#include "tools/mkdata/bmp_command.h"

#include <charconv>

#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/file_bytes.h"

namespace mkdata {

namespace {

bool ParseNumber(const std::string& text, std::uint32_t* value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, *value);
  return error == std::errc() && stop == end;
}

}  // namespace

bool RunBmpCommand(const std::vector<std::string>& args) {
  BmpHeader header = BmpHeader::kInfo;
  std::uint32_t colours = 256;
  std::uint32_t levels = 1;
  std::size_t next = 0;
  for (; next < args.size() && args[next].starts_with("--"); ++next) {
    if (args[next] == "--core") {
      header = BmpHeader::kCore;
    } else if (args[next] == "--colours" && next + 1 < args.size() &&
               ParseNumber(args[next + 1], &colours) && colours >= 1 && colours <= 256) {
      ++next;
    } else if (args[next] == "--levels" && next + 1 < args.size() &&
               ParseNumber(args[next + 1], &levels) && levels >= 1 && levels <= 16) {
      ++next;
    } else {
      return false;
    }
  }
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (args.size() != next + 3 || !ParseNumber(args[next + 1], &width) ||
      !ParseNumber(args[next + 2], &height) || width == 0 || height == 0 ||
      (header == BmpHeader::kCore && (width > 65535 || height > 65535))) {
    return false;
  }
  const std::string& out = args[next];
  BmpImage image = MakePatternImage(width, height, colours);
  WriteFileBytes(out, BuildBmp(image, header));
  for (std::uint32_t level = 1; level < levels; ++level) {
    image = HalveImage(image);
    WriteFileBytes(MakeLevelFileName(out, static_cast<int>(level)), BuildBmp(image, header));
  }
  return true;
}

}  // namespace mkdata
