#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace testserver {

// Message types and object kinds by their catalogue names ("MSG_CHAT", "KIND_TANK").
std::optional<std::uint32_t> FindMessageType(std::string_view name);
std::optional<std::uint32_t> FindKind(std::string_view name);

// The catalogue name of a type, or its value in hex for a type the catalogue does not know.
std::string GetMessageTypeName(std::uint32_t type);

}  // namespace testserver
