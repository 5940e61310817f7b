// Pack archive reader: open, list, and read every member of an arbitrary file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/r3x.h"
#include "fuzz/fuzz_input_file.h"

namespace {

void ReadMember(R3xWadMember* member) {
  std::uint8_t buffer[4096];
  std::int64_t left = r3xWadMemberSize(member);
  while (left > 0) {
    const std::int64_t count = left < 4096 ? left : 4096;
    if (r3xReadWadMember(member, buffer, count) != R3X_WAD_DONE) {
      std::abort();
    }
    left -= count;
  }
  if (r3xSeekWadMember(member, 1, R3X_WAD_SEEK_END) == R3X_WAD_DONE) {
    r3xReadWadMember(member, buffer, 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  R3xWad* wad = r3xOpenWad(fuzz_input::WriteInputFile(nullptr, 0, data, size), 2);
  if (wad == nullptr) {
    return 0;
  }
  for (std::uint32_t i = 0; i < wad->entryCount; ++i) {
    R3xWadEntry entry;
    r3xGetWadEntry(wad, i, &entry);
    R3xWadMember* member = r3xOpenWadMember(wad, entry.name);
    if (member != nullptr) {
      ReadMember(member);
      // The last member stays open for the archive's close.
      if (i + 1 < wad->entryCount) {
        r3xCloseWadMember(member);
      }
    }
  }
  r3xCloseWad(wad);
  return 0;
}
