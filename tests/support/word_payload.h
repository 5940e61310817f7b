// A message payload of 32-bit words, little-endian as the wire carries them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace test_support {

std::vector<std::uint8_t> WordPayload(std::initializer_list<std::uint32_t> words);

}  // namespace test_support
