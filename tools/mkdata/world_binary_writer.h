// Writes binary world files from text world files, for test fixtures and the demo data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

// The binary form of the text world file at textPath, token for token as the text form reads:
// keywords as their codes, numbers in their smallest form, names and strings scrambled, then
// the end code. Include files are not followed: INCLUDE and its name are encoded like any other
// tokens. Throws std::runtime_error when the file cannot be read, is binary already, holds what
// the text form's reader refuses (see WorldTextTokenizer) or a name longer than 255 bytes, which
// the binary form cannot store.
std::vector<std::uint8_t> EncodeBinaryWorld(const std::string& textPath);

}  // namespace mkdata
