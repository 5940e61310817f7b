// Writes binary world files from text world files, for test fixtures and the demo data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

// The binary form of the world file at textPath, token for token, as the engine's text scanner
// reads it: keywords as their codes, numbers in their smallest form, names and strings
// scrambled, then the end code. Include files are not followed: INCLUDE and its name are
// encoded like any other tokens. A file that is binary already is encoded again as it reads.
// Throws std::runtime_error when the file cannot be read, has a scanner error (shown as a
// "World File Parser" message) or holds a name longer than 255 bytes, which the binary form
// cannot store.
std::vector<std::uint8_t> EncodeBinaryWorld(const std::string& textPath);

}  // namespace mkdata
