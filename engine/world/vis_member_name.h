// The name of the ".VIS" member that holds a precompiled world's visibility data, as the reader
// looks it up and as the data tools must name it.
// Results: true or false.
#pragma once

#include <cstddef>

// The member name holds at most 13 characters and its terminator.
inline constexpr std::size_t R3X_VIS_NAME_SIZE = 14;

// The member name of a world file's visibility data: the first 13 characters of the world
// file name with its first '.' (at index 9 or less) and what follows replaced by ".VIS".
// False for a name without such a '.'.
bool r3xVisMemberName(const char* fileName, char out[R3X_VIS_NAME_SIZE]);
