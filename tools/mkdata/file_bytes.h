// Whole files as bytes, for the data writers and their command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

// Throws std::runtime_error naming the file when it cannot be read or written.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace mkdata
