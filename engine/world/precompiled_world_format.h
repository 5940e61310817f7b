// The precompiled form of world files as the engine reads it: a header, a block of scrambled
// names and typed records, each of which builds one engine object.
// Results: constants and records only.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t R3X_PRECOMPILED_SIGNATURE[4] = {0x02, 0x3D, 0x4B, 0x56};
inline constexpr std::uint32_t R3X_PRECOMPILED_VERSION = 0x15500;
// Set in the version: the regions' visible lists lie in the ".VIS" member of the same archive.
inline constexpr std::uint32_t R3X_PRECOMPILED_VIS_FLAG = 0x1;
inline constexpr std::size_t R3X_PRECOMPILED_HEADER_SIZE = 28;
inline constexpr std::size_t R3X_PRECOMPILED_RECORD_HEAD_SIZE = 8;
