// Writes pack archives in either directory layout, for test fixtures and the demo data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

struct PackMember {
  std::string name;
  std::vector<std::uint8_t> data;
};

// kHeader: the 16-byte header, 8-byte entries and a name block. kPlain: a count and 17-byte
// entries with names of at most 12 characters.
enum class PackLayout { kHeader = 1, kPlain = 2 };

// The archive's bytes: the directory sorted by case-insensitive name, the last member's end
// offset right after the last entry, then the data in directory order. Throws
// std::invalid_argument for an empty name, a name the layout cannot hold, or more than 4 GiB.
std::vector<std::uint8_t> BuildPack(std::vector<PackMember> members, PackLayout layout);

}  // namespace mkdata
