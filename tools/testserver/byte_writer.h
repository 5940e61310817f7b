#pragma once

#include <cstdint>
#include <vector>

namespace testserver {

// Appends little-endian fields to a byte vector, one field at a time.
inline void AppendU8(std::vector<std::uint8_t>& out, std::uint8_t value) { out.push_back(value); }

inline void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

}  // namespace testserver
