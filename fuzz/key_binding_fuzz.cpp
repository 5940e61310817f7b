// "control.dat": any bytes are loaded; a table that loads ends with its terminating record within
// the rows its count allows, and every chord of it is found again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "battle/arena/key_binding.h"
#include "fuzz/fuzz_input_file.h"

namespace {

// The loader's bound on a file's rows.
constexpr std::size_t kMaxRows = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const KeyBindingTable table = LoadKeyBindings(fuzz_input::WriteInputFile(nullptr, 0, data, size));
  if (!table) {
    return 0;
  }
  std::size_t rows = 0;
  while (table[rows].group >= 0) {
    if (++rows > kMaxRows) {
      std::abort();
    }
  }
  for (std::size_t row = 0; row < rows; ++row) {
    for (const KeyChord& chord : table[row].chords) {
      const KeyBinding* found =
          FindKeyBinding(table.get(), chord.device, chord.code, chord.modifiers);
      if (found == nullptr || found > &table[row]) {
        std::abort();
      }
    }
  }
  return 0;
}
