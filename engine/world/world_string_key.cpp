#include "engine/world/world_string_key.h"

void _r3xApplyWorldStringKey(std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i] ^= R3X_WORLD_STRING_KEY[i % sizeof R3X_WORLD_STRING_KEY];
  }
}
