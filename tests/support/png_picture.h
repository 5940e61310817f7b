// Reads back the pictures WriteFramePng writes (8-bit RGB, filter 0 rows), for comparing what
// was shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

struct PngPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // red, green, blue for each pixel, rows top first
};

// Nothing when the file is missing, is not such a picture or its data does not inflate to its
// rows.
std::optional<PngPicture> ReadPngPicture(const std::string& path);

}  // namespace test_support
