#include "tools/testserver/catalogue_names.h"

#include <array>
#include <cstdio>
#include <utility>

#include "common/messages.h"

namespace testserver {
namespace {

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 14> kKinds{{
    {"KIND_NETWORK", KIND_NETWORK},
    {"KIND_ERROR_SINK", KIND_ERROR_SINK},
    {"KIND_PLAYER_INPUT", KIND_PLAYER_INPUT},
    {"KIND_SESSION", KIND_SESSION},
    {"KIND_TANK", KIND_TANK},
    {"KIND_BULLET", KIND_BULLET},
    {"KIND_MINE_A", KIND_MINE_A},
    {"KIND_PERSONAL_DEFENSE", KIND_PERSONAL_DEFENSE},
    {"KIND_FLAG", KIND_FLAG},
    {"KIND_MISSILE", KIND_MISSILE},
    {"KIND_SMOKE", KIND_SMOKE},
    {"KIND_MINE_B", KIND_MINE_B},
    {"KIND_DEFENSE", KIND_DEFENSE},
    {"KIND_RECON_GUN", KIND_RECON_GUN},
}};

}  // namespace

std::optional<std::uint32_t> FindMessageType(std::string_view name) {
  for (const MessageInfo& info : kMessageCatalogue) {
    if (info.name == name) {
      return info.type;
    }
  }
  return std::nullopt;
}

std::optional<std::uint32_t> FindKind(std::string_view name) {
  for (const auto& [kindName, value] : kKinds) {
    if (kindName == name) {
      return value;
    }
  }
  return std::nullopt;
}

std::string GetMessageTypeName(std::uint32_t type) {
  if (const MessageInfo* info = FindMessageInfo(type)) {
    return std::string(info->name);
  }
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", type);
  return text;
}

}  // namespace testserver
