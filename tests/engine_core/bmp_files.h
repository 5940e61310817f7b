// BMP files and pack archives for the bitmap tests, written by mkdata into a fresh folder.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_writer.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/pack_writer.h"

using Bytes = std::vector<std::uint8_t>;

// Overwrite one field of a written file.
inline void PutU16(Bytes& bytes, std::size_t at, std::uint16_t value) {
  arena::ByteWriter writer(std::move(bytes));
  writer.PatchU16(at, value);
  bytes = writer.Take();
}

inline void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  arena::ByteWriter writer(std::move(bytes));
  writer.PatchU32(at, value);
  bytes = writer.Take();
}

// Offsets in a BMP file as mkdata writes it.
inline constexpr std::size_t kFileSizeAt = 2;
inline constexpr std::size_t kPixelOffsetAt = 10;
inline constexpr std::size_t kHeaderSizeAt = 14;
inline constexpr std::size_t kWidthAt = 18;
inline constexpr std::size_t kHeightAt = 22;
inline constexpr std::size_t kBitCountAt = 28;
inline constexpr std::size_t kUsedColoursAt = 46;

// A scratch folder that also writes pack archives.
class BmpFolder : public test_support::ScratchFolder {
 public:
  BmpFolder() : ScratchFolder("bmp") {}

  // A pack archive of the members and its full name.
  std::string WritePack(const std::string& name, std::vector<mkdata::PackMember> members) const {
    return Write(name, mkdata::BuildPack(std::move(members), mkdata::PackLayout::kHeader));
  }
};
