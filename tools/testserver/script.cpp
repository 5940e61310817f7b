#include "tools/testserver/script.h"

#include <charconv>
#include <utility>

#include "base/byte_writer.h"
#include "common/messages.h"
#include "tools/testserver/catalogue_names.h"
#include "tools/testserver/tank_lines.h"

namespace testserver {
namespace {

// Larger payloads fit neither the client's buffers nor a datagram; a script has no use for them.
constexpr std::uint32_t kMaxPieceSize = 65536;

struct Token {
  std::string text;
  bool quoted = false;
};

// A failure while reading one line; the line number is added by the caller.
struct LineError {
  std::string message;
};

template <typename T>
using LineResult = std::variant<T, LineError>;

LineError Fail(std::string message) { return LineError{std::move(message)}; }

std::string Quote(std::string_view text) { return "'" + std::string(text) + "'"; }

LineResult<std::vector<Token>> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const char c = line[pos];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++pos;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      Token token{"", true};
      ++pos;
      for (;;) {
        if (pos >= line.size()) {
          return Fail("unterminated text");
        }
        char t = line[pos++];
        if (t == '"') {
          break;
        }
        if (t == '\\') {
          if (pos >= line.size()) {
            return Fail("unterminated text");
          }
          const char escaped = line[pos++];
          switch (escaped) {
            case '"':
              t = '"';
              break;
            case '\\':
              t = '\\';
              break;
            case 'n':
              t = '\n';
              break;
            case 't':
              t = '\t';
              break;
            default:
              return Fail("unknown escape \\" + std::string(1, escaped) + " in text");
          }
        }
        token.text.push_back(t);
      }
      tokens.push_back(std::move(token));
    } else {
      const std::size_t end = line.find_first_of(" \t\r#\"", pos);
      const std::size_t stop = end == std::string_view::npos ? line.size() : end;
      tokens.push_back(Token{std::string(line.substr(pos, stop - pos)), false});
      pos = stop;
    }
  }
  return tokens;
}

// Decimal, or hex after "0x".
std::optional<std::uint32_t> ParseUnsigned(std::string_view text) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// Hex with or without "0x".
std::optional<std::uint32_t> ParseHex(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// A u32 word: unsigned as above, or a negative decimal stored in two's complement.
std::optional<std::uint32_t> ParseWord(std::string_view text) {
  if (!text.starts_with('-')) {
    return ParseUnsigned(text);
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::optional<float> ParseFloat(std::string_view text) {
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

LineResult<std::uint32_t> ParseAddress(std::string_view text) {
  if (text.starts_with("KIND_")) {
    const std::size_t plus = text.find('+');
    const std::optional<std::uint32_t> kind = FindKind(text.substr(0, plus));
    if (!kind) {
      return Fail("unknown object kind " + Quote(text.substr(0, plus)));
    }
    if (plus == std::string_view::npos) {
      return *kind;
    }
    const std::optional<std::uint32_t> instance = ParseHex(text.substr(plus + 1));
    if (!instance || *instance > 0xFFFF) {
      return Fail("bad instance in address " + Quote(text) + " (hex, at most FFFF)");
    }
    return *kind | *instance;
  }
  if (const std::optional<std::uint32_t> address = ParseHex(text)) {
    return *address;
  }
  return Fail("bad address " + Quote(text) + " (hex or KIND_ name)");
}

LineResult<std::uint32_t> ParseType(std::string_view text) {
  if (const std::optional<std::uint32_t> type = FindMessageType(text)) {
    return *type;
  }
  if (text.starts_with("MSG_")) {
    return Fail("unknown message type " + Quote(text));
  }
  if (const std::optional<std::uint32_t> type = ParseHex(text)) {
    return *type;
  }
  return Fail("bad message type " + Quote(text) + " (hex or catalogue name)");
}

LineResult<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
  if (text.size() % 2 != 0) {
    return Fail("odd number of hex digits in " + Quote(text));
  }
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    std::uint8_t byte = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
    if (error != std::errc() || end != text.data() + i + 2) {
      return Fail("bad hex digits in " + Quote(text));
    }
    bytes.push_back(byte);
  }
  return bytes;
}

LineResult<PayloadPiece> ParseSizedValue(std::string_view prefix, std::string_view value,
                                         std::string_view token) {
  const std::optional<std::uint32_t> number = ParseWord(value);
  arena::ByteWriter bytes;
  if (prefix == "u8") {
    if (!number || *number > 0xFF) {
      return Fail("bad byte value " + Quote(token));
    }
    bytes.U8(static_cast<std::uint8_t>(*number));
  } else if (prefix == "u16" || prefix == "be16") {
    if (!number || (*number > 0xFFFF && *number < 0xFFFF8000)) {
      return Fail("bad 16-bit value " + Quote(token));
    }
    const auto half = static_cast<std::uint16_t>(*number);
    if (prefix == "u16") {
      bytes.U16(half);
    } else {
      bytes.U16BigEndian(half);
    }
  } else {
    const std::optional<std::uint32_t> count = ParseUnsigned(value);
    if (!count || *count > kMaxPieceSize) {
      return Fail("bad zero count " + Quote(token));
    }
    bytes.Zeros(*count);
  }
  return MakeBytesPiece(bytes.Take());
}

LineResult<PayloadPiece> ParseParamsPiece(std::string_view token) {
  if (token == "params") {
    return MakeParamWordsPiece(0, kParameterWordCount);
  }
  const std::string_view range = token.substr(7);
  const std::size_t colon = range.find(':');
  const std::optional<std::uint32_t> first = ParseUnsigned(range.substr(0, colon));
  const std::optional<std::uint32_t> count =
      colon == std::string_view::npos ? std::nullopt : ParseUnsigned(range.substr(colon + 1));
  if (!first || !count || *first > kParameterWordCount || *count > kParameterWordCount - *first) {
    return Fail("bad parameter range " + Quote(token) + " (params:FIRST:COUNT within " +
                std::to_string(kParameterWordCount) + " words)");
  }
  return MakeParamWordsPiece(*first, *count);
}

LineResult<PayloadPiece> ParsePayloadPiece(const Token& token) {
  if (token.quoted) {
    std::vector<std::uint8_t> bytes(token.text.begin(), token.text.end());
    bytes.push_back(0);
    return MakeBytesPiece(std::move(bytes));
  }
  const std::string_view text = token.text;
  if (text == "udp_port") {
    return MakeUdpPortPiece();
  }
  if (text == "params" || text.starts_with("params:")) {
    return ParseParamsPiece(text);
  }
  if (text == "global") {
    return MakeGlobalParamsPiece(std::nullopt);
  }
  if (text.starts_with("global:")) {
    const std::optional<std::uint32_t> size = ParseUnsigned(text.substr(7));
    if (!size || *size > kMaxPieceSize) {
      return Fail("bad record size " + Quote(text));
    }
    return MakeGlobalParamsPiece(*size);
  }
  if (text.starts_with("bytes:")) {
    LineResult<std::vector<std::uint8_t>> bytes = ParseHexBytes(text.substr(6));
    if (auto* error = std::get_if<LineError>(&bytes)) {
      return *error;
    }
    return MakeBytesPiece(std::move(std::get<std::vector<std::uint8_t>>(bytes)));
  }
  if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    const std::string_view prefix = text.substr(0, colon);
    if (prefix == "u8" || prefix == "u16" || prefix == "be16" || prefix == "zeros") {
      return ParseSizedValue(prefix, text.substr(colon + 1), text);
    }
    return Fail("unknown payload item " + Quote(text));
  }
  arena::ByteWriter bytes;
  if (text.find('.') != std::string_view::npos) {
    const std::optional<float> value = ParseFloat(text);
    if (!value) {
      return Fail("bad float " + Quote(text));
    }
    bytes.F32(*value);
    return MakeBytesPiece(bytes.Take());
  }
  const std::optional<std::uint32_t> word = ParseWord(text);
  if (!word) {
    return Fail("bad payload item " + Quote(text));
  }
  bytes.U32(*word);
  return MakeBytesPiece(bytes.Take());
}

// Options come between the transport and the address: raw, len=N, seq=N, split=N, from=other,
// from=foreign.
std::optional<LineError> ParseOption(std::string_view text, Action& action) {
  const bool tcp = action.kind == Action::Kind::kTcp;
  if (text == "raw") {
    action.raw = true;
    return std::nullopt;
  }
  if (text == "from=other") {
    if (tcp) {
      return Fail("from=other applies to udp only");
    }
    action.fromOther = true;
    return std::nullopt;
  }
  if (text == "from=foreign") {
    if (tcp) {
      return Fail("from=foreign applies to udp only");
    }
    action.fromForeign = true;
    return std::nullopt;
  }
  const std::size_t equals = text.find('=');
  const std::string_view name = text.substr(0, equals);
  const std::optional<std::uint32_t> value = ParseUnsigned(text.substr(equals + 1));
  if (!value) {
    return Fail("bad value in option " + Quote(text));
  }
  if (name == "len") {
    action.length = *value;
  } else if (name == "seq" && !tcp) {
    action.sequence = *value;
  } else if (name == "split" && tcp) {
    action.split = *value;
  } else {
    return Fail("option " + Quote(text) + " does not apply to " + (tcp ? "tcp" : "udp"));
  }
  return std::nullopt;
}

LineResult<Action> ParseMessageAction(Action::Kind kind, std::span<const Token> tokens) {
  Action action;
  action.kind = kind;
  std::size_t pos = 0;
  while (pos < tokens.size() && !tokens[pos].quoted &&
         (tokens[pos].text == "raw" || tokens[pos].text.find('=') != std::string::npos)) {
    if (std::optional<LineError> error = ParseOption(tokens[pos].text, action)) {
      return *error;
    }
    ++pos;
  }
  if (action.raw) {
    if (action.length || action.sequence) {
      return Fail("len= and seq= need a header, which raw leaves out");
    }
  } else {
    if (tokens.size() - pos < 2) {
      return Fail("expected an address and a message type");
    }
    LineResult<std::uint32_t> address = ParseAddress(tokens[pos].text);
    if (auto* error = std::get_if<LineError>(&address)) {
      return *error;
    }
    LineResult<std::uint32_t> type = ParseType(tokens[pos + 1].text);
    if (auto* error = std::get_if<LineError>(&type)) {
      return *error;
    }
    action.address = std::get<std::uint32_t>(address);
    action.type = std::get<std::uint32_t>(type);
    pos += 2;
  }
  for (; pos < tokens.size(); ++pos) {
    LineResult<PayloadPiece> piece = ParsePayloadPiece(tokens[pos]);
    if (auto* error = std::get_if<LineError>(&piece)) {
      return *error;
    }
    action.payload.push_back(std::move(std::get<PayloadPiece>(piece)));
  }
  return action;
}

LineResult<Action> ParseAction(std::span<const Token> tokens) {
  if (tokens.empty()) {
    return Fail("expected an action (tcp, udp, close, answer_alive)");
  }
  const std::string& verb = tokens[0].text;
  const std::span<const Token> rest = tokens.subspan(1);
  if (verb == "tcp") {
    return ParseMessageAction(Action::Kind::kTcp, rest);
  }
  if (verb == "udp") {
    return ParseMessageAction(Action::Kind::kUdp, rest);
  }
  if (verb == "close") {
    if (!rest.empty()) {
      return Fail("close takes nothing more");
    }
    return MakeCloseConnection();
  }
  if (verb == "answer_alive") {
    if (rest.size() != 1 || (rest[0].text != "on" && rest[0].text != "off")) {
      return Fail("answer_alive takes on or off");
    }
    return MakeAnswerAlive(rest[0].text == "on");
  }
  return Fail("unknown action " + Quote(verb));
}

// "at <ms> [after <type>]": the step's timing, and the position of the action's first token.
LineResult<std::size_t> ParseTiming(std::span<const Token> tokens, ScriptStep& step) {
  if (tokens.size() < 2) {
    return Fail("expected a time after 'at'");
  }
  const std::optional<std::uint32_t> at = ParseUnsigned(tokens[1].text);
  if (!at || tokens[1].quoted) {
    return Fail("bad time " + Quote(tokens[1].text) + " (milliseconds)");
  }
  step.atMs = *at;
  std::size_t pos = 2;
  if (pos < tokens.size() && tokens[pos].text == "after") {
    if (pos + 1 >= tokens.size()) {
      return Fail("expected a message type after 'after'");
    }
    LineResult<std::uint32_t> type = ParseType(tokens[pos + 1].text);
    if (auto* error = std::get_if<LineError>(&type)) {
      return *error;
    }
    step.afterType = std::get<std::uint32_t>(type);
    pos += 2;
  }
  return pos;
}

LineResult<ScriptStep> ParseStep(std::span<const Token> tokens) {
  ScriptStep step;
  LineResult<std::size_t> timing = ParseTiming(tokens, step);
  if (auto* error = std::get_if<LineError>(&timing)) {
    return *error;
  }
  const std::size_t pos = std::get<std::size_t>(timing);
  LineResult<Action> action = ParseAction(tokens.subspan(pos));
  if (auto* error = std::get_if<LineError>(&action)) {
    return *error;
  }
  step.action = std::move(std::get<Action>(action));
  return step;
}

// The tank lines: tank_create and player_tank_create <instance> <chassis> <team> "<name>" <x>
// <y> <z> <heading>;
// tank_drive <instance> <states a second> <speed> <x y z>...; tank_fire <instance> <shot word>
// <x> <y> <z> <heading> <pitch>; tank_remove <instance>. Nothing when the verb is another.
std::optional<LineResult<std::vector<ScriptStep>>> ParseTankLine(std::span<const Token> tokens) {
  ScriptStep step;
  LineResult<std::size_t> timing = ParseTiming(tokens, step);
  if (std::holds_alternative<LineError>(timing) || std::get<std::size_t>(timing) >= tokens.size()) {
    return std::nullopt;
  }
  const std::span<const Token> rest = tokens.subspan(std::get<std::size_t>(timing));
  const std::string& verb = rest[0].text;
  if (verb != "tank_create" && verb != "player_tank_create" && verb != "tank_drive" &&
      verb != "tank_fire" && verb != "tank_remove") {
    return std::nullopt;
  }
  if (rest.size() < 2) {
    return Fail(verb + " needs the tank's instance");
  }
  const std::optional<std::uint32_t> instance = ParseHex(rest[1].text);
  if (!instance || *instance > 0xFFFF) {
    return Fail("bad tank instance " + Quote(rest[1].text) + " (hex, at most FFFF)");
  }
  const std::uint32_t id = KIND_TANK | *instance;
  auto numbers = [&](std::size_t first, std::size_t count) -> std::optional<std::vector<float>> {
    std::vector<float> values;
    for (std::size_t i = first; i < first + count; ++i) {
      const std::optional<float> value = ParseFloat(rest[i].text);
      if (!value || rest[i].quoted) {
        return std::nullopt;
      }
      values.push_back(*value);
    }
    return values;
  };
  std::vector<ScriptStep> steps;
  auto add = [&](std::uint32_t offset, Action action) {
    ScriptStep added = step;
    added.atMs += offset;
    added.action = std::move(action);
    steps.push_back(std::move(added));
  };
  if (verb == "tank_create" || verb == "player_tank_create") {
    const std::optional<std::vector<float>> place =
        rest.size() == 9 && rest[4].quoted ? numbers(5, 4) : std::nullopt;
    const std::optional<std::uint32_t> chassis = ParseUnsigned(rest[2].text);
    const std::optional<std::uint32_t> team =
        rest.size() > 3 ? ParseUnsigned(rest[3].text) : std::nullopt;
    if (!place || !chassis || !team) {
      return Fail(verb + " takes <instance> <chassis> <team> \"<name>\" <x> <y> <z> <heading>");
    }
    const auto make = verb == "tank_create" ? MakeTankCreate : MakePlayerTankCreate;
    add(0, make(id, *chassis, *team, rest[4].text, place->data(), (*place)[3]));
  } else if (verb == "tank_drive") {
    const std::optional<std::vector<float>> values = rest.size() >= 10 && (rest.size() - 4) % 3 == 0
                                                         ? numbers(2, rest.size() - 2)
                                                         : std::nullopt;
    if (!values || !((*values)[0] > 0.0f) || !((*values)[1] > 0.0f)) {
      return Fail(
          "tank_drive takes <instance> <states a second> <speed> and two or more points x y z");
    }
    const std::vector<float> path(values->begin() + 2, values->end());
    for (TankDriveStep& drive : MakeTankDrive(id, path, (*values)[0], (*values)[1])) {
      add(drive.atMs, std::move(drive.action));
    }
  } else if (verb == "tank_fire") {
    const std::optional<std::uint32_t> word =
        rest.size() == 8 ? ParseWord(rest[2].text) : std::nullopt;
    const std::optional<std::vector<float>> muzzle = word ? numbers(3, 5) : std::nullopt;
    if (!muzzle) {
      return Fail("tank_fire takes <instance> <shot word> <x> <y> <z> <heading> <pitch>");
    }
    add(0, MakeTankFire(id, muzzle->data(), *word));
  } else {
    if (rest.size() != 2) {
      return Fail("tank_remove takes <instance>");
    }
    add(0, MakeTankRemove(id));
  }
  return steps;
}

}  // namespace

std::string DescribeError(const ScriptError& error) {
  return "line " + std::to_string(error.line) + ": " + error.message;
}

std::variant<Script, ScriptError> ParseScript(std::string_view text) {
  Script script;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);

    LineResult<std::vector<Token>> tokenized = Tokenize(line);
    if (auto* error = std::get_if<LineError>(&tokenized)) {
      return ScriptError{lineNumber, error->message};
    }
    const auto& tokens = std::get<std::vector<Token>>(tokenized);
    if (tokens.empty()) {
      continue;
    }
    if (tokens[0].text == "login" && !tokens[0].quoted) {
      if (tokens.size() != 2 || (tokens[1].text != "on" && tokens[1].text != "off")) {
        return ScriptError{lineNumber, "login takes on or off"};
      }
      script.standardLogin = tokens[1].text == "on";
      continue;
    }
    if (tokens[0].text != "at" || tokens[0].quoted) {
      return ScriptError{lineNumber, "expected 'at' or 'login', found " + Quote(tokens[0].text)};
    }
    if (auto tankSteps = ParseTankLine(tokens)) {
      if (auto* error = std::get_if<LineError>(&*tankSteps)) {
        return ScriptError{lineNumber, error->message};
      }
      for (ScriptStep& tankStep : std::get<std::vector<ScriptStep>>(*tankSteps)) {
        script.steps.push_back(std::move(tankStep));
      }
      continue;
    }
    LineResult<ScriptStep> step = ParseStep(tokens);
    if (auto* error = std::get_if<LineError>(&step)) {
      return ScriptError{lineNumber, error->message};
    }
    script.steps.push_back(std::move(std::get<ScriptStep>(step)));
  }
  return script;
}

}  // namespace testserver
