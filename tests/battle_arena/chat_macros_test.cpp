#include "battle/arena/chat_macros.h"

#include <gtest/gtest.h>

#include <string>

#include "battle/arena/chat_line.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "tests/support/scratch_folder.h"

namespace {

struct MacroCase {
  const char* name;
  std::string file;
  ChatMacros expected;
};

void PrintTo(const MacroCase& c, std::ostream* out) { *out << c.name; }

class LoadChatMacrosTest : public ::testing::TestWithParam<MacroCase> {};

TEST_P(LoadChatMacrosTest, OneLineEachWithoutItsEnd) {
  test_support::ScratchFolder folder("chat_macros");
  EXPECT_EQ(LoadChatMacros(folder.Write("macro.dat", GetParam().file).c_str()),
            GetParam().expected);
}

const std::string k70(70, 'x');

INSTANTIATE_TEST_SUITE_P(
    Files, LoadChatMacrosTest,
    ::testing::Values(MacroCase{"LineFeeds", "hello\nbye\n", {"hello", "bye"}},
                      MacroCase{"CarriageReturns", "hello\r\nbye\r\n", {"hello", "bye"}},
                      MacroCase{"LastLineWithoutEnd", "a\r\nb", {"a", "b"}},
                      // A line longer than a macro goes on into the next one.
                      MacroCase{"SeventyCharacters",
                                k70 + "\nnext\n",
                                {std::string(64, 'x'), std::string(6, 'x'), "next"}},
                      MacroCase{"ThreeLines", "one\ntwo\nthree\n", {"one", "two", "three"}},
                      MacroCase{"TenLines",
                                "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n",
                                {"1", "2", "3", "4", "5", "6", "7", "8"}},
                      MacroCase{"EmptyFile", "", {}}),
    [](const auto& info) { return info.param.name; });

TEST(LoadChatMacrosTest, AMissingFileLeavesEveryMacroEmpty) {
  test_support::ScratchFolder folder("chat_macros");
  EXPECT_EQ(LoadChatMacros((folder / "macro.dat").c_str()), ChatMacros{});
}

TEST(LoadChatMacrosTest, AMacroFromACrLfFileTypesWithoutSending) {
  test_support::ScratchFolder folder("chat_macros");
  const ChatMacros macros = LoadChatMacros(folder.Write("macro.dat", "good game\r\n").c_str());
  CMailbox network(kNetworkAddress);
  CMailbox tank(KIND_TANK | 1);
  CChatLine line(tank, 4);
  line.Open(false);
  line.PlayChatMacro(macros, 0);
  EXPECT_TRUE(line.IsOpen());
  EXPECT_EQ(line.Text(), "good game");
  EXPECT_EQ(network.Count(), 0u);
}

}  // namespace
