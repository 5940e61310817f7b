#include "tools/mkdata/pack_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "base/byte_writer.h"

namespace mkdata {

namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kHeaderEntrySize = 8;
constexpr std::size_t kPlainEntrySize = 17;
constexpr std::size_t kPlainNameSize = 13;
constexpr std::size_t kEndWordSize = 4;

unsigned char ToLowerAscii(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// The order in which the reader searches: ASCII letters lowered, bytes compared unsigned.
bool IsNameBefore(const PackMember& a, const PackMember& b) {
  return std::lexicographical_compare(
      a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
      [](char x, char y) { return ToLowerAscii(x) < ToLowerAscii(y); });
}

void CheckNames(const std::vector<PackMember>& members, PackLayout layout) {
  for (const PackMember& member : members) {
    if (member.name.empty() || member.name.find('\0') != std::string::npos) {
      throw std::invalid_argument("pack member name is empty or holds a NUL");
    }
    if (layout == PackLayout::kPlain && member.name.size() >= kPlainNameSize) {
      throw std::invalid_argument("pack member name longer than 12 characters: " + member.name);
    }
  }
}

std::uint32_t NarrowOffset(std::size_t offset) {
  if (offset > std::numeric_limits<std::uint32_t>::max()) {
    throw std::invalid_argument("pack archive larger than 4 GiB");
  }
  return static_cast<std::uint32_t>(offset);
}

}  // namespace

std::vector<std::uint8_t> BuildPack(std::vector<PackMember> members, PackLayout layout) {
  CheckNames(members, layout);
  std::stable_sort(members.begin(), members.end(), IsNameBefore);

  std::size_t namesSize = 0;
  for (const PackMember& member : members) {
    namesSize += member.name.size() + 1;
  }
  const std::size_t count = members.size();
  const std::size_t directoryEnd =
      layout == PackLayout::kHeader
          ? kHeaderSize + count * kHeaderEntrySize + kEndWordSize + namesSize
          : 4 + count * kPlainEntrySize + kEndWordSize;
  std::vector<std::uint32_t> dataOffsets;
  std::size_t dataEnd = directoryEnd;
  for (const PackMember& member : members) {
    dataOffsets.push_back(NarrowOffset(dataEnd));
    dataEnd += member.data.size();
  }

  arena::ByteWriter out;
  if (layout == PackLayout::kHeader) {
    const std::uint8_t magic[4] = {0x02, 0x3D, 0xFF, 0xFF};
    out.Bytes(magic, sizeof magic);
    out.U32(0);
    out.U32(NarrowOffset(count));
    out.U32(NarrowOffset(kEndWordSize + namesSize));
    // Each name offset counts from its own entry's position.
    std::size_t nameAt = kHeaderSize + count * kHeaderEntrySize + kEndWordSize;
    for (std::size_t i = 0; i < count; ++i) {
      out.U32(dataOffsets[i]);
      out.U32(NarrowOffset(nameAt - (kHeaderSize + i * kHeaderEntrySize)));
      nameAt += members[i].name.size() + 1;
    }
    out.U32(NarrowOffset(dataEnd));
    for (const PackMember& member : members) {
      out.Bytes(member.name.data(), member.name.size() + 1);
    }
  } else {
    out.U32(NarrowOffset(count));
    for (std::size_t i = 0; i < count; ++i) {
      out.U32(dataOffsets[i]);
      char field[kPlainNameSize] = {};
      std::memcpy(field, members[i].name.data(), members[i].name.size());
      out.Bytes(field, sizeof field);
    }
    out.U32(NarrowOffset(dataEnd));
  }
  for (const PackMember& member : members) {
    out.Bytes(member.data.data(), member.data.size());
  }
  return out.Take();
}

}  // namespace mkdata
