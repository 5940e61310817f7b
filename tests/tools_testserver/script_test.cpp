#include "tools/testserver/script.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <variant>

#include "common/messages.h"

namespace testserver {
namespace {

struct ValidCase {
  const char* name;
  const char* line;
  std::uint32_t atMs;
  std::optional<std::uint32_t> afterType;
  Action::Kind kind;
  std::uint32_t address;
  std::uint32_t type;
  std::vector<std::uint8_t> payload;
};

// Parameter word i is i; the record is 1 2 3 4; the UDP port is 0x1234.
std::vector<std::uint8_t> Build(const Action& action) {
  std::array<std::uint32_t, kParameterWordCount> words{};
  for (std::uint32_t i = 0; i < kParameterWordCount; ++i) {
    words[i] = i;
  }
  const std::array<std::uint8_t, 4> record{1, 2, 3, 4};
  return BuildPayload(action.payload, PayloadSources{words, record, 0x1234});
}

Action ParseOneAction(const std::string& line) {
  auto parsed = ParseScript(line);
  const Script* script = std::get_if<Script>(&parsed);
  EXPECT_NE(script, nullptr) << DescribeError(std::get<ScriptError>(parsed));
  EXPECT_EQ(script ? script->steps.size() : 0, 1u);
  return script && !script->steps.empty() ? script->steps[0].action : Action{};
}

class ScriptValidLine : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ScriptValidLine, ParsesTimeTriggerAddressTypeAndPayload) {
  const ValidCase& c = GetParam();
  auto parsed = ParseScript(c.line);
  ASSERT_TRUE(std::holds_alternative<Script>(parsed))
      << DescribeError(std::get<ScriptError>(parsed));
  const Script& script = std::get<Script>(parsed);
  ASSERT_EQ(script.steps.size(), 1u);
  const ScriptStep& step = script.steps[0];
  EXPECT_EQ(step.atMs, c.atMs);
  EXPECT_EQ(step.afterType, c.afterType);
  EXPECT_EQ(step.action.kind, c.kind);
  EXPECT_EQ(step.action.address, c.address);
  EXPECT_EQ(step.action.type, c.type);
  EXPECT_EQ(Build(step.action), c.payload);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptValidLine,
    ::testing::Values(
        ValidCase{"Text",
                  R"(at 5 tcp KIND_SESSION MSG_CHAT "hi")",
                  5,
                  std::nullopt,
                  Action::Kind::kTcp,
                  KIND_SESSION,
                  MSG_CHAT,
                  {'h', 'i', 0}},
        ValidCase{"TextEscapesAndHash",
                  R"(at 1 tcp 80000 MSG_CHAT "a\"b\\c # kept" # dropped)",
                  1,
                  std::nullopt,
                  Action::Kind::kTcp,
                  0x80000,
                  MSG_CHAT,
                  {'a', '"', 'b', '\\', 'c', ' ', '#', ' ', 'k', 'e', 'p', 't', 0}},
        ValidCase{"WordsAndFloatAfterTrigger",
                  "at 0 after MSG_LOGIN udp KIND_TANK+1F 4001006 1 -1 0x10 2.5",
                  0,
                  MSG_LOGIN,
                  Action::Kind::kUdp,
                  0x9001F,
                  MSG_TANK_STATE,
                  {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0, 0, 0, 0x00, 0x00, 0x20, 0x40}},
        ValidCase{"SizedItems",
                  "at 1 udp 0x10001 MSG_ALIVE_REQUEST u8:7 u16:0x102 be16:0x102 bytes:a0B1 zeros:2",
                  1,
                  std::nullopt,
                  Action::Kind::kUdp,
                  kNetworkAddress,
                  MSG_ALIVE_REQUEST,
                  {7, 2, 1, 1, 2, 0xA0, 0xB1, 0, 0}},
        ValidCase{"NegativeSixteenBits",
                  "at 1 udp 1 2 u16:-2",
                  1,
                  std::nullopt,
                  Action::Kind::kUdp,
                  1,
                  2,
                  {0xFE, 0xFF}},
        ValidCase{"RecordCutShort",
                  "at 3 tcp KIND_SESSION GLOBAL_PARAMS_PASS global:3",
                  3,
                  std::nullopt,
                  Action::Kind::kTcp,
                  KIND_SESSION,
                  GLOBAL_PARAMS_PASS,
                  {1, 2, 3}},
        ValidCase{"RecordPadded",
                  "at 3 tcp KIND_SESSION GLOBAL_PARAMS_PASS global:6",
                  3,
                  std::nullopt,
                  Action::Kind::kTcp,
                  KIND_SESSION,
                  GLOBAL_PARAMS_PASS,
                  {1, 2, 3, 4, 0, 0}},
        ValidCase{"ParameterRangeAndExtraWord",
                  "at 3 tcp KIND_SESSION MSG_PARAM_TABLE params:498:2 7",
                  3,
                  std::nullopt,
                  Action::Kind::kTcp,
                  KIND_SESSION,
                  MSG_PARAM_TABLE,
                  {0xF2, 1, 0, 0, 0xF3, 1, 0, 0, 7, 0, 0, 0}},
        ValidCase{"UdpPort",
                  "at 4 tcp 0x10001 MSG_UDP_PORT udp_port",
                  4,
                  std::nullopt,
                  Action::Kind::kTcp,
                  kNetworkAddress,
                  MSG_UDP_PORT,
                  {0x12, 0x34}},
        ValidCase{
            "Close", "at 7 after MSG_QUIT close", 7, MSG_QUIT, Action::Kind::kClose, 0, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptOptions, HeaderOverridesSplitAndOtherSocket) {
  const Action tcp = ParseOneAction("at 10 tcp len=3 split=2 80000 MSG_QUIT");
  EXPECT_EQ(tcp.length, 3u);
  EXPECT_EQ(tcp.split, 2u);
  EXPECT_FALSE(tcp.raw);

  const Action udp = ParseOneAction("at 1 udp seq=9 from=other 0x10001 MSG_ALIVE_REPLY 5");
  EXPECT_EQ(udp.sequence, 9u);
  EXPECT_TRUE(udp.fromOther);
  EXPECT_FALSE(udp.fromForeign);
  EXPECT_FALSE(udp.length.has_value());
  EXPECT_TRUE(ParseOneAction("at 1 udp from=foreign 0x10001 MSG_ALIVE_REPLY 5").fromForeign);

  const Action raw = ParseOneAction("at 2 tcp raw split=1 bytes:0102 3");
  EXPECT_TRUE(raw.raw);
  EXPECT_EQ(raw.split, 1u);
  EXPECT_EQ(Build(raw), (std::vector<std::uint8_t>{1, 2, 3, 0, 0, 0}));

  const Action alive = ParseOneAction("at 8 answer_alive off");
  EXPECT_EQ(alive.kind, Action::Kind::kAnswerAlive);
  EXPECT_FALSE(alive.answerAlive);
}

TEST(ScriptFile, SkipsCommentsAndBlankLinesAndReadsLoginSwitch) {
  auto parsed = ParseScript(
      "# demo\n"
      "\n"
      "login off\r\n"
      "at 20 tcp KIND_SESSION MSG_QUIT\n"
      "   # indented comment\n"
      "at 10 tcp KIND_SESSION MSG_CONNECTED");
  ASSERT_TRUE(std::holds_alternative<Script>(parsed));
  const Script& script = std::get<Script>(parsed);
  EXPECT_FALSE(script.standardLogin);
  ASSERT_EQ(script.steps.size(), 2u);
  EXPECT_EQ(script.steps[0].action.type, MSG_QUIT);
  EXPECT_EQ(script.steps[1].atMs, 10u);

  auto empty = ParseScript("");
  ASSERT_TRUE(std::holds_alternative<Script>(empty));
  EXPECT_TRUE(std::get<Script>(empty).standardLogin);
}

struct BadCase {
  const char* text;
  std::size_t line;
  const char* message;
};

class ScriptBadLine : public ::testing::TestWithParam<BadCase> {};

TEST_P(ScriptBadLine, ReportsLineAndReason) {
  const BadCase& c = GetParam();
  auto parsed = ParseScript(c.text);
  ASSERT_TRUE(std::holds_alternative<ScriptError>(parsed)) << c.text;
  const ScriptError& error = std::get<ScriptError>(parsed);
  EXPECT_EQ(error.line, c.line) << error.message;
  EXPECT_NE(error.message.find(c.message), std::string::npos) << error.message;
  EXPECT_EQ(DescribeError(error).rfind("line " + std::to_string(c.line) + ": ", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptBadLine,
    ::testing::Values(
        BadCase{"# fine\nat x tcp 1 2", 2, "bad time 'x'"},
        BadCase{"at 1 close\n\nat 5 tcp KIND_SESSION MSG_NOPE", 3,
                "unknown message type 'MSG_NOPE'"},
        BadCase{"at 5 tcp KIND_NOPE MSG_CHAT", 1, "unknown object kind 'KIND_NOPE'"},
        BadCase{"at 5 tcp KIND_TANK+10000 MSG_CHAT", 1, "bad instance"},
        BadCase{"at 5 tcp zz MSG_CHAT", 1, "bad address 'zz'"},
        BadCase{"at 5 tcp 1 qq", 1, "bad message type 'qq'"},
        BadCase{"at 5 tcp KIND_SESSION", 1, "expected an address and a message type"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT \"open", 1, "unterminated text"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT \"a\\qb\"", 1, "unknown escape"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT 1.2.3", 1, "bad float"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT 4294967296", 1, "bad payload item"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT u8:256", 1, "bad byte value"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT u16:65536", 1, "bad 16-bit value"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT bytes:abc", 1, "odd number of hex digits"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT bytes:zz", 1, "bad hex digits"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT zeros:70000", 1, "bad zero count"},
        BadCase{"at 5 tcp KIND_SESSION MSG_PARAM_TABLE params:400:101", 1, "bad parameter range"},
        BadCase{"at 5 tcp KIND_SESSION GLOBAL_PARAMS_PASS global:x", 1, "bad record size"},
        BadCase{"at 5 tcp KIND_SESSION MSG_CHAT what:1", 1, "unknown payload item"},
        BadCase{"at 5 tcp len=x KIND_SESSION MSG_CHAT", 1, "bad value in option"},
        BadCase{"at 5 tcp seq=1 KIND_SESSION MSG_CHAT", 1, "does not apply to tcp"},
        BadCase{"at 5 udp split=1 KIND_SESSION MSG_CHAT", 1, "does not apply to udp"},
        BadCase{"at 5 tcp from=other KIND_SESSION MSG_CHAT", 1, "applies to udp only"},
        BadCase{"at 5 udp raw len=3 bytes:00", 1, "need a header"},
        BadCase{"at 5 send KIND_SESSION MSG_CHAT", 1, "unknown action 'send'"},
        BadCase{"at 5", 1, "expected an action"}, BadCase{"at", 1, "expected a time"},
        BadCase{"at 5 after", 1, "expected a message type after 'after'"},
        BadCase{"at 5 close now", 1, "close takes nothing more"},
        BadCase{"at 5 answer_alive maybe", 1, "answer_alive takes on or off"},
        BadCase{"login maybe", 1, "login takes on or off"},
        BadCase{"tcp KIND_SESSION MSG_CHAT", 1, "expected 'at' or 'login'"}));

}  // namespace
}  // namespace testserver
