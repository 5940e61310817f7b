#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tools/testserver/action.h"

namespace testserver {

// One timed action. Its time counts from the moment the client's connection was accepted, or,
// with `afterType`, from the first arrival of a message of that type on the connection.
struct ScriptStep {
  std::uint32_t atMs = 0;
  std::optional<std::uint32_t> afterType;
  Action action;
};

// What the server does with one client: the standard login answer (unless switched off) and
// then the steps, in order of their times (steps due at the same moment in the order given).
struct Script {
  bool standardLogin = true;
  std::vector<ScriptStep> steps;
};

struct ScriptError {
  std::size_t line = 0;
  std::string message;
};

// "line N: message".
std::string DescribeError(const ScriptError& error);

// Reads the text format that tools/testserver/README.md describes; stops at the first bad line.
std::variant<Script, ScriptError> ParseScript(std::string_view text);

}  // namespace testserver
