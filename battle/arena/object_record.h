// The creating records that the session hands the arena objects. A message type that reaches
// more than one receiver passes the network client's size gate with its shortest form, so the
// creating receiver checks that it holds its whole record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// True when the payload holds `bytes`; else logs "short message" as the size gate does and gives
// false.
bool IsWholeRecord(std::uint32_t type, std::span<const std::uint8_t> payload, std::size_t bytes);
