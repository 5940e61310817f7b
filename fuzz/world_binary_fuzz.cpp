// The binary world-file scanner over arbitrary bytes after the binary signature.
#include <cstddef>
#include <cstdint>

#include "engine/world/world_stream.h"
#include "fuzz/world_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  world_fuzz::ScanFile(R3X_WLD_MAGIC, sizeof R3X_WLD_MAGIC, data, size);
  return 0;
}
