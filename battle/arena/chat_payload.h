// The text of a chat message from the server.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The text up to its terminating NUL, or the whole payload when the server sent none.
std::string_view ChatPayloadText(std::span<const std::uint8_t> payload);
