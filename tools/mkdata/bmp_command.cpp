#include "tools/mkdata/bmp_command.h"

#include <charconv>
#include <cstdio>

#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/file_bytes.h"

namespace mkdata {

namespace {

// A test pattern is a small picture: this many pixels at most keeps it far from any memory limit.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 26;
constexpr std::uint32_t kMaxCoreSide = 65535;

bool ParseNumber(const std::string& text, std::uint32_t* value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, *value);
  return error == std::errc() && stop == end;
}

// The number in [low, high], or a refusal that names the argument.
bool ReadNumber(const char* name, const std::string& text, std::uint32_t low, std::uint32_t high,
                std::uint32_t* value) {
  if (!ParseNumber(text, value) || *value < low || *value > high) {
    std::fprintf(stderr, "mkdata bmp: %s \"%s\" is not a number from %u to %u\n", name,
                 text.c_str(), low, high);
    return false;
  }
  return true;
}

}  // namespace

int RunBmpCommand(const std::vector<std::string>& args) {
  BmpHeader header = BmpHeader::kInfo;
  std::uint32_t colours = 256;
  std::uint32_t levels = 1;
  std::size_t next = 0;
  for (; next < args.size() && args[next].starts_with("--"); ++next) {
    const bool hasValue = next + 1 < args.size();
    if (args[next] == "--core") {
      header = BmpHeader::kCore;
    } else if (args[next] == "--colours" && hasValue) {
      if (!ReadNumber("--colours", args[++next], 1, 256, &colours)) {
        return 2;
      }
    } else if (args[next] == "--levels" && hasValue) {
      if (!ReadNumber("--levels", args[++next], 1, 16, &levels)) {
        return 2;
      }
    } else {
      std::fprintf(stderr, "mkdata bmp: unknown option, or an option without its value: %s\n",
                   args[next].c_str());
      return 2;
    }
  }
  if (args.size() != next + 3) {
    std::fputs("usage: mkdata bmp [--core] [--colours N] [--levels L] OUT WIDTH HEIGHT\n", stderr);
    return 2;
  }
  const std::uint32_t maxSide = header == BmpHeader::kCore ? kMaxCoreSide : UINT32_MAX;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (!ReadNumber("WIDTH", args[next + 1], 1, maxSide, &width) ||
      !ReadNumber("HEIGHT", args[next + 2], 1, maxSide, &height)) {
    return 2;
  }
  if (std::uint64_t{width} * height > kMaxPixels) {
    std::fprintf(stderr, "mkdata bmp: WIDTH x HEIGHT %u x %u is more than %llu pixels\n", width,
                 height, static_cast<unsigned long long>(kMaxPixels));
    return 2;
  }
  const std::string& out = args[next];
  BmpImage image = MakePatternImage(width, height, colours);
  WriteFileBytes(out, BuildBmp(image, header));
  for (std::uint32_t level = 1; level < levels; ++level) {
    image = HalveImage(image);
    WriteFileBytes(MakeLevelFileName(out, static_cast<int>(level)), BuildBmp(image, header));
  }
  return 0;
}

}  // namespace mkdata
