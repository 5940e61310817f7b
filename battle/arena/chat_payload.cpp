#include "battle/arena/chat_payload.h"

#include <algorithm>

std::string_view ChatPayloadText(std::span<const std::uint8_t> payload) {
  const auto end = std::find(payload.begin(), payload.end(), std::uint8_t{0});
  return {reinterpret_cast<const char*>(payload.data()),
          static_cast<std::size_t>(end - payload.begin())};
}
