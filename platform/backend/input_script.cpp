#include "platform/backend/input_script.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>

namespace platform {
namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r')) {
      ++pos;
    }
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t' && line[pos] != '\r') {
      ++pos;
    }
    if (pos > start) {
      words.push_back(line.substr(start, pos - start));
    }
  }
  return words;
}

// A whole word as an unsigned number, decimal or 0x-hex, at most `max`.
std::optional<std::uint32_t> ParseNumber(std::string_view word, std::uint32_t max) {
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    word.remove_prefix(2);
    base = 16;
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  if (error != std::errc() || end != word.data() + word.size() || word.empty() || value > max) {
    return std::nullopt;
  }
  return value;
}

std::optional<MouseButton> ParseButton(std::string_view word) {
  if (word == "left") {
    return MouseButton::kLeft;
  }
  if (word == "right") {
    return MouseButton::kRight;
  }
  if (word == "middle") {
    return MouseButton::kMiddle;
  }
  return std::nullopt;
}

// Coordinates stay within the 16 bits that a mouse message carries.
constexpr std::uint32_t kMaxCoordinate = 0x7FFF;

// The event of one line's words, or the reason it is not understood.
std::optional<BackendEvent> ParseEvent(const std::vector<std::string_view>& words,
                                       std::string& reason) {
  const auto time = ParseNumber(words[0], UINT32_MAX);
  if (!time) {
    reason = "bad time";
    return std::nullopt;
  }
  if (words.size() < 2) {
    reason = "missing event";
    return std::nullopt;
  }
  BackendEvent event{};
  event.time = *time;
  const std::string_view what = words[1];
  const std::size_t arguments = words.size() - 2;
  if (what == "key_down" || what == "key_up") {
    event.kind = what == "key_down" ? BackendEventKind::kKeyDown : BackendEventKind::kKeyUp;
    const auto code = arguments == 1 ? ParseNumber(words[2], 255) : std::nullopt;
    if (!code) {
      reason = "expected one scan code 0-255";
      return std::nullopt;
    }
    event.scanCode = static_cast<int>(*code);
    return event;
  }
  if (what == "char") {
    event.kind = BackendEventKind::kCharacter;
    const auto code = arguments == 1 ? ParseNumber(words[2], 255) : std::nullopt;
    if (!code || *code == 0) {
      reason = "expected one character code 1-255";
      return std::nullopt;
    }
    event.character = static_cast<int>(*code);
    return event;
  }
  if (what == "mouse_move" || what == "mouse_down" || what == "mouse_up") {
    std::size_t first = 2;
    event.kind = BackendEventKind::kMouseMove;
    if (what != "mouse_move") {
      const auto button = arguments == 3 ? ParseButton(words[2]) : std::nullopt;
      if (!button) {
        reason = "expected left, right or middle and two coordinates";
        return std::nullopt;
      }
      event.kind = what == "mouse_down" ? BackendEventKind::kMouseButtonDown
                                        : BackendEventKind::kMouseButtonUp;
      event.button = *button;
      first = 3;
    }
    const auto x =
        words.size() == first + 2 ? ParseNumber(words[first], kMaxCoordinate) : std::nullopt;
    const auto y = x ? ParseNumber(words[first + 1], kMaxCoordinate) : std::nullopt;
    if (!y) {
      reason = "expected two coordinates 0-32767";
      return std::nullopt;
    }
    event.x = static_cast<int>(*x);
    event.y = static_cast<int>(*y);
    return event;
  }
  if (what == "focus_lost" || what == "focus_gained" || what == "close") {
    if (arguments != 0) {
      reason = "unexpected arguments";
      return std::nullopt;
    }
    event.kind = what == "focus_lost"     ? BackendEventKind::kFocusLost
                 : what == "focus_gained" ? BackendEventKind::kFocusGained
                                          : BackendEventKind::kClose;
    return event;
  }
  reason = "unknown event";
  return std::nullopt;
}

}  // namespace

InputScript ParseInputScript(std::string_view text) {
  InputScript script;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    const auto words = SplitWords(line);
    if (words.empty() || words[0].front() == '#') {
      continue;
    }
    std::string reason;
    if (auto event = ParseEvent(words, reason)) {
      script.events.push_back(*event);
    } else {
      script.errors.push_back("line " + std::to_string(lineNumber) + ": " + reason);
    }
  }
  std::stable_sort(script.events.begin(), script.events.end(),
                   [](const BackendEvent& a, const BackendEvent& b) { return a.time < b.time; });
  return script;
}

}  // namespace platform
