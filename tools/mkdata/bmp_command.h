// mkdata's "bmp" command: a test-pattern BMP and its further levels.
#pragma once

#include <string>
#include <vector>

namespace mkdata {

// Writes the files; false for bad usage. Throws std::runtime_error when a file cannot be
// written.
bool RunBmpCommand(const std::vector<std::string>& args);

}  // namespace mkdata
