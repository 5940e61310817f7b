// Whole files as bytes, for the data writers and their command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mkdata {

// "cannot open PATH: reason" when the file cannot be opened for reading (a directory included),
// nothing when it can: the tools ask this of every input before they start their work. Names of
// any case are found, as the engine's readers find them.
std::optional<std::string> FindReadError(const std::string& path);

// Throw std::runtime_error with "cannot open|read|write PATH: reason" when the file cannot be read
// or written.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace mkdata
