// BMP files and pack archives for the bitmap tests, written by mkdata into a fresh folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/byte_writer.h"
#include "tools/mkdata/bmp_writer.h"
#include "tools/mkdata/file_bytes.h"
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

// A fresh folder, removed with its files.
class BmpFolder {
 public:
  BmpFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bmp-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
    }
  }
  ~BmpFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  BmpFolder(const BmpFolder&) = delete;
  BmpFolder& operator=(const BmpFolder&) = delete;

  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  // Writes the bytes to the file `name` and returns its full name.
  std::string Write(const std::string& name, const Bytes& bytes) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    mkdata::WriteFileBytes(*this / name, bytes);
    return *this / name;
  }

  // A pack archive of the members and its full name.
  std::string WritePack(const std::string& name, std::vector<mkdata::PackMember> members) const {
    return Write(name, mkdata::BuildPack(std::move(members), mkdata::PackLayout::kHeader));
  }

 private:
  std::filesystem::path path_;
};
