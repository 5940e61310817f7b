// The ".VIS" member that holds a precompiled world's visible-region lists, mapped from the same
// pack archive as the world file.
// Results: 0 or R3X_ERR_NO_VIS_DATA.
#pragma once

#include <cstdint>

struct R3xWorldReader;

// Maps the reader's ".VIS" member into a new R3xVisData without references and points the
// reader's cursor at its first byte. 0, or R3X_ERR_NO_VIS_DATA (no archive, no such member, no
// memory).
std::int32_t _r3xOpenVisData(R3xWorldReader* reader);
