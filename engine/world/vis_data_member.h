// The ".VIS" member that holds a precompiled world's visible-region lists, mapped from the same
// pack archive as the world file.
// Results: 0 or R3X_ERR_NO_VIS_DATA; the name check gives true or false.
#pragma once

#include <cstddef>
#include <cstdint>

struct R3xWorldReader;

// The member name holds at most 13 characters and its terminator.
inline constexpr std::size_t R3X_VIS_NAME_SIZE = 14;

// The member name of a world file's visibility data: the first 13 characters of the world
// file name with its first '.' (at index 9 or less) and what follows replaced by ".VIS".
// False for a name without such a '.'.
bool _r3xVisMemberName(const char* fileName, char out[R3X_VIS_NAME_SIZE]);

// Maps the reader's ".VIS" member into a new R3xVisData without references and points the
// reader's cursor at its first byte. 0, or R3X_ERR_NO_VIS_DATA (no archive, no such member, no
// memory).
std::int32_t _r3xOpenVisData(R3xWorldReader* reader);
