#include "battle/arena/chat_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "battle/arena/chat_macros.h"
#include "common/mailbox.h"
#include "common/messages.h"

namespace {

struct Sent {
  std::uint32_t type;
  std::string payload;
  bool operator==(const Sent&) const = default;
};

class ChatLineTest : public ::testing::Test {
 protected:
  std::vector<Sent> SentToServer() {
    std::vector<Sent> sent;
    std::uint32_t length = 0;
    while (MailboxMessagePtr message = network_.Receive(length)) {
      sent.push_back({message->type, std::string(message->Payload(), message->Payload() + length)});
    }
    return sent;
  }

  void Type(CChatLine& line, const std::string& text) {
    for (const char c : text) {
      line.ChatLineKey(c);
    }
  }

  CMailbox network_{kNetworkAddress};
  CMailbox tank_{KIND_TANK | 1};
};

struct SendCase {
  const char* name;
  bool teamChat;
  std::string typed;
  std::vector<Sent> expected;
};

void PrintTo(const SendCase& c, std::ostream* out) { *out << c.name; }

class ChatLineSendTest : public ChatLineTest, public ::testing::WithParamInterface<SendCase> {};

TEST_P(ChatLineSendTest, EnterSendsTheLineWithItsNulAndCloses) {
  const SendCase& c = GetParam();
  CChatLine line(tank_, 5);
  line.Open(c.teamChat);
  Type(line, c.typed);
  EXPECT_EQ(line.ChatLineKey('\r'), 0x1001);
  EXPECT_FALSE(line.IsOpen());
  EXPECT_EQ(line.Text(), "");
  EXPECT_EQ(SentToServer(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ChatLineSendTest,
    ::testing::Values(
        SendCase{"Everybody", false, "hi all", {{MSG_CHAT, std::string("hi all\0", 7)}}},
        SendCase{"Team", true, "go", {{MSG_CHAT_TEAM, std::string("go\0", 3)}}},
        SendCase{"CommandInTeamChat", true, "/who", {{MSG_CHAT_COMMAND, std::string("/who\0", 5)}}},
        SendCase{"Report", false, "%r", {{MSG_CHAT_REPORT, std::string("%r\0", 3)}}},
        // Tab and line feed are not typed.
        SendCase{"TabAndLineFeed", false, "a\tb\nc", {{MSG_CHAT, std::string("abc\0", 4)}}},
        SendCase{"Empty", false, "", {}}, SendCase{"TypedAndErased", false, "ab\b\b", {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(ChatLineTest, TypingStopsAtEightyLessTheNameLength) {
  struct Case {
    std::size_t nameLength;
    int kept;
  };
  for (const Case c : {Case{10, 70}, Case{0, 80}, Case{79, 1}, Case{80, 0}, Case{200, 0}}) {
    CChatLine line(tank_, c.nameLength);
    line.Open(false);
    Type(line, std::string(100, 'x'));
    EXPECT_EQ(line.Length(), c.kept) << c.nameLength;
    EXPECT_EQ(line.Text(), std::string(static_cast<std::size_t>(c.kept), 'x')) << c.nameLength;
  }
}

TEST_F(ChatLineTest, BackspaceOnAnEmptyLineClosesIt) {
  CChatLine line(tank_, 5);
  line.Open(true);
  Type(line, "a\b");
  EXPECT_TRUE(line.IsOpen());
  EXPECT_EQ(line.Length(), 0);
  line.ClearDirty();
  line.ChatLineKey('\b');
  EXPECT_FALSE(line.IsOpen());
  EXPECT_TRUE(line.Dirty());
  EXPECT_TRUE(SentToServer().empty());
}

TEST_F(ChatLineTest, EscapeClosesWithoutSending) {
  CChatLine line(tank_, 5);
  line.Open(false);
  Type(line, "abc\x1B");
  EXPECT_FALSE(line.IsOpen());
  EXPECT_EQ(line.Text(), "");
  EXPECT_TRUE(SentToServer().empty());
}

TEST_F(ChatLineTest, AClosedLineTakesNoKeys) {
  CChatLine line(tank_, 5);
  Type(line, "ab\r");
  EXPECT_FALSE(line.IsOpen());
  EXPECT_FALSE(line.Dirty());
  EXPECT_TRUE(SentToServer().empty());
}

TEST_F(ChatLineTest, AMacroTypesIntoTheOpenLineOnly) {
  ChatMacros macros;
  macros[2] = "gg";
  CChatLine line(tank_, 5);
  line.PlayChatMacro(macros, 2);
  EXPECT_FALSE(line.IsOpen());
  line.Open(false);
  for (const int n : {-1, 8, 2, 2}) {
    line.PlayChatMacro(macros, n);
  }
  EXPECT_EQ(line.Text(), "gggg");
  EXPECT_TRUE(SentToServer().empty());
}

}  // namespace
