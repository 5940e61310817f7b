// Screen captures: the board's front buffer saved as a numbered 24-bit BMP file, "zq000000.bmp"
// upward in the working folder.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// The last number a capture file name can carry.
inline constexpr std::int32_t kLastCaptureNumber = 999999;

// The BMP file of a 640 x 480 frame of RGB 565 pixels given top row first: 921,654 bytes, rows
// bottom-up.
std::vector<std::uint8_t> EncodeScreenCapture(std::span<const std::uint16_t> pixels);
// The first number from 0 whose file name ("zq%06d.bmp") is not taken, or -1 when all are.
std::int32_t FirstFreeCaptureNumber(const std::function<bool(const char* name)>& taken);
// Writes the front buffer into the first free "zq%06d.bmp" and returns its number; -1 when every
// number is taken or the file cannot be created. A frame that cannot be read leaves the file
// empty (its number is then taken).
std::int32_t WriteScreenCapture();
