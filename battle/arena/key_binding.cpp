#include "battle/arena/key_binding.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "base/byte_reader.h"
#include "battle/arena/built_in_key_bindings.h"
#include "battle/core/log.h"

namespace {

// The binding editor writes one row per action; a count far beyond that is a damaged file, and
// would make the reader allocate and read whatever the count says.
constexpr std::uint32_t kMaxKeyBindingRows = 4096;
constexpr std::size_t kHeaderBytes = 8;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

KeyBinding ReadBinding(arena::ByteReader& reader) {
  KeyBinding binding{};
  binding.group = reader.I32();
  for (KeyChord& chord : binding.chords) {
    chord.code = reader.I32();
    chord.device = reader.I32();
    chord.modifiers = reader.I32();
  }
  binding.flags = reader.I32();
  binding.pressCommand = reader.I32();
  binding.releaseCommand = reader.I32();
  return binding;
}

// Appends the built-in rows after the file's `count` rows, without the chords the file binds.
void AppendBuiltInRows(KeyBinding* table, std::size_t count) {
  for (std::size_t row = count; row < kBuiltInKeyBindingRows; ++row) {
    KeyBinding binding = kBuiltInKeyBindings[row];
    for (KeyChord& chord : binding.chords) {
      const bool boundInFile = std::any_of(table, table + count, [&](const KeyBinding& own) {
        return std::find(own.chords.begin(), own.chords.end(), chord) != own.chords.end();
      });
      if (boundInFile) {
        chord = kNoChord;
      }
    }
    table[row] = binding;
  }
}

}  // namespace

void FreeKeyBindings(KeyBinding* table) {
  if (table != kBuiltInKeyBindings.data()) {
    delete[] table;
  }
}

KeyBindingTable LoadKeyBindings(const char* fileName) {
  const File file(std::fopen(fileName, "rb"), std::fclose);
  if (!file) {
    return nullptr;
  }
  std::uint8_t header[kHeaderBytes];
  arena::ByteReader headerReader(header, std::fread(header, 1, sizeof header, file.get()));
  const std::uint32_t version = headerReader.U32();
  const std::uint32_t count = headerReader.U32();
  if (!headerReader.ok() || version != 0) {
    return nullptr;
  }
  if (count > kMaxKeyBindingRows) {
    LogPrintf(0, "%s: %u key bindings is more than %u; the built-in bindings are used", fileName,
              count, kMaxKeyBindingRows);
    return nullptr;
  }
  std::vector<std::uint8_t> records(std::size_t{count} * kKeyBindingBytes);
  const std::size_t got = std::fread(records.data(), 1, records.size(), file.get());
  if (got < records.size()) {
    LogPrintf(
        0, "%s: %u key bindings need %zu bytes, the file has %zu; the built-in bindings are used",
        fileName, count, records.size(), got);
    return nullptr;
  }
  const std::size_t rows = std::max<std::size_t>(count, kBuiltInKeyBindingRows);
  // Zero-filled: the terminating record is read whole by whoever copies the table.
  KeyBindingTable table(new (std::nothrow) KeyBinding[rows + 1]());
  if (!table) {
    return nullptr;
  }
  arena::ByteReader reader(records);
  for (std::size_t row = 0; row < count; ++row) {
    table[row] = ReadBinding(reader);
  }
  AppendBuiltInRows(table.get(), count);
  table[rows].group = -1;
  return table;
}

const KeyBinding* FindKeyBinding(const KeyBinding* table, std::int32_t device, std::int32_t code,
                                 std::int32_t modifiers) {
  if (table == nullptr || table[0].group < 0) {
    return nullptr;
  }
  const KeyChord wanted{code, device, modifiers};
  for (const KeyBinding* binding = table;; ++binding) {
    if (std::find(binding->chords.begin(), binding->chords.end(), wanted) !=
        binding->chords.end()) {
      return binding;
    }
    if (binding[1].group < 0) {
      return nullptr;
    }
  }
}
