// r3xtool's "amp" command: reads an arena height map with the game's reader and shows it.
#pragma once

#include <string>
#include <vector>

// Prints the grid's size, height scale and ceiling, how many cells hold how many layers, and a
// picture of the ground seen from above, one character per block of cells (+x to the left, as
// the columns run; +y up): digits 0 to 9 for the first layer's surface from the lowest to the
// highest, '#' where its first layer has no open space. The exit code: 0 read, 1 not valid, 2 bad
// usage.
int RunAmpCommand(const std::vector<std::string>& args);
