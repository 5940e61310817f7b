// mkdata's "bmp" command: a test-pattern BMP and its further levels.
#pragma once

#include <string>
#include <vector>

namespace mkdata {

// Writes the files and returns 0, or names the argument that is wrong and returns 2 before
// writing anything. Throws std::runtime_error when a file cannot be written.
int RunBmpCommand(const std::vector<std::string>& args);

}  // namespace mkdata
