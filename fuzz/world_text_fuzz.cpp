// The text world-file scanner over arbitrary bytes (an input that starts with the binary
// signature is read by the binary scanner, as any world file would be).
#include <cstddef>
#include <cstdint>

#include "fuzz/world_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  world_fuzz::ScanFile(nullptr, 0, data, size);
  return 0;
}
