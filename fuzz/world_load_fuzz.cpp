// The whole world-file loader over arbitrary input: the first byte chooses a text file (even)
// or a binary one (odd, the signature put before the rest), loaded into a fresh world through
// the engine's loading entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/error.h"
#include "engine/core/math_tables.h"
#include "engine/core/math_tables_internal.h"
#include "engine/core/world.h"
#include "engine/world/world_loading.h"
#include "engine/world/world_stream.h"
#include "fuzz/fuzz_input_file.h"
#include "platform/kernel/message_box.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool tablesBuilt = _r3xInitMathTables() == R3X_DONE;
  if (!tablesBuilt || size == 0) {
    return 0;
  }
  platform::SetMessageBoxEcho(false);  // the parser's boxes would flood standard error
  const bool binary = (data[0] & 1) != 0;
  const char* path = fuzz_input::WriteInputFile(R3X_WLD_MAGIC, binary ? sizeof R3X_WLD_MAGIC : 0,
                                                data + 1, size - 1);
  R3xWorld* world = r3xCreateWorld(nullptr, 0, nullptr);
  if (world == nullptr) {
    std::abort();
  }
  r3xLoadWorldFile(path, world, nullptr, nullptr, nullptr, nullptr);
  r3xDestroyWorld(world);
  platform::ClearShownMessageBoxes();
  return 0;
}
