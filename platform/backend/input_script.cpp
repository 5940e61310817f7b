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

// The joystick numbers the joystick driver supports.
constexpr std::uint32_t kMaxJoystick = 1;
constexpr std::uint32_t kMaxAxisPosition = 65535;
constexpr std::uint32_t kMaxButton = 31;
constexpr std::uint32_t kMaxHatDirection = 35999;
constexpr int kHatCentred = 0xFFFF;

// A joystick line's words after the time and the event's name; false with the reason when they
// are not understood.
bool ParseJoystickEvent(std::string_view what, const std::vector<std::string_view>& words,
                        BackendEvent& event, std::string& reason) {
  const std::size_t arguments = words.size() - 2;
  const auto stick = arguments >= 1 ? ParseNumber(words[2], kMaxJoystick) : std::nullopt;
  if (!stick) {
    reason = "expected a joystick number 0-1";
    return false;
  }
  event.joystick = static_cast<int>(*stick);
  if (what == "joystick_attach" || what == "joystick_detach") {
    event.kind = what == "joystick_attach" ? BackendEventKind::kJoystickAttach
                                           : BackendEventKind::kJoystickDetach;
    event.joystickButton = static_cast<int>(kMaxButton + 1);
    const bool withButtons = what == "joystick_attach" && arguments == 2;
    const auto buttons = withButtons ? ParseNumber(words[3], kMaxButton + 1) : std::nullopt;
    if (withButtons && buttons) {
      event.joystickButton = static_cast<int>(*buttons);
    } else if (arguments != 1) {
      reason = withButtons ? "expected a number of buttons 0-32" : "unexpected arguments";
      return false;
    }
    return true;
  }
  if (what == "joystick_axis") {
    event.kind = BackendEventKind::kJoystickAxis;
    const bool axisNamed = arguments == 3 && (words[3] == "x" || words[3] == "y");
    const auto position = axisNamed ? ParseNumber(words[4], kMaxAxisPosition) : std::nullopt;
    if (!position) {
      reason = "expected x or y and a position 0-65535";
      return false;
    }
    event.axis = words[3] == "x" ? JoystickAxis::kX : JoystickAxis::kY;
    event.value = static_cast<int>(*position);
    return true;
  }
  if (what == "joystick_button_down" || what == "joystick_button_up") {
    event.kind = what == "joystick_button_down" ? BackendEventKind::kJoystickButtonDown
                                                : BackendEventKind::kJoystickButtonUp;
    const auto button = arguments == 2 ? ParseNumber(words[3], kMaxButton) : std::nullopt;
    if (!button) {
      reason = "expected a button 0-31";
      return false;
    }
    event.joystickButton = static_cast<int>(*button);
    return true;
  }
  event.kind = BackendEventKind::kJoystickHat;
  if (arguments == 2 && words[3] == "centred") {
    event.value = kHatCentred;
    return true;
  }
  const auto direction = arguments == 2 ? ParseNumber(words[3], kMaxHatDirection) : std::nullopt;
  if (!direction) {
    reason = "expected a direction 0-35999 or centred";
    return false;
  }
  event.value = static_cast<int>(*direction);
  return true;
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
  if (what == "joystick_attach" || what == "joystick_detach" || what == "joystick_axis" ||
      what == "joystick_button_down" || what == "joystick_button_up" || what == "joystick_hat") {
    return ParseJoystickEvent(what, words, event, reason) ? std::optional(event) : std::nullopt;
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
