// Pack archive reader: open, list, and read every member of an arbitrary file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/r3x.h"

namespace {

// The reader opens archives by name, so each input is written to one file of this process.
const char* InputPath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/wad_fuzz-XXXXXX";
    const int descriptor = ::mkstemp(pattern);
    if (descriptor < 0) {
      std::abort();
    }
    ::close(descriptor);
    std::atexit([] { ::unlink(InputPath()); });
    return std::string(pattern);
  }();
  return path.c_str();
}

void ReadMember(R3xWadMember* member) {
  std::uint8_t buffer[4096];
  std::int64_t left = r3xWadMemberSize(member);
  while (left > 0) {
    const std::int64_t count = left < 4096 ? left : 4096;
    if (!r3xReadWadMember(member, buffer, count)) {
      std::abort();
    }
    left -= count;
  }
  if (r3xSeekWadMember(member, 1, 2)) {
    r3xReadWadMember(member, buffer, 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(InputPath(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::abort();
  }
  R3xWad* wad = r3xOpenWad(InputPath(), 2);
  if (wad == nullptr) {
    return 0;
  }
  for (std::uint32_t i = 0; i < wad->entryCount; ++i) {
    R3xWadEntry entry;
    _r3xGetWadEntry(wad, i, &entry);
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
