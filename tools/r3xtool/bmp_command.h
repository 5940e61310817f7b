// r3xtool's "bmp" command: reads a BMP, from disk or a pack archive, with the engine's reader.
#pragma once

#include <string>
#include <vector>

// Prints the image's width, height, bit count, colour count and levels (the file and the
// further level files named after it that exist), or the engine's error. The process exit
// code: 0 read, 1 refused by the reader or missing archive, 2 bad usage.
int RunBmpCommand(const std::vector<std::string>& args);
