#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/probex/probex_fixture.h"
#include "tests/support/test_files.h"

namespace probex_test {
namespace {

using ServerName = ProbexTest;

std::size_t OpenFileCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

TEST_F(ServerName, TheFirstWordOfIpDatAtMost19Characters) {
  struct Case {
    const char* content;  // null: no file
    std::string shown;
  };
  const std::string longWord(300, 'w');
  const Case cases[] = {
      {"  gameserver.example other words\n", "gameserver.example"},
      {nullptr, kDefaultServerName},
      {"", ""},
      {" \n\t \n", ""},
      {longWord.c_str(), std::string(19, 'w')},
      {"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrs"},
  };
  Open();
  for (const Case& c : cases) {
    std::filesystem::remove("ip.dat");
    if (c.content != nullptr) {
      test_support::WriteTestFile("ip.dat", c.content);
    }
    SetDlgItemTextA(dialog_, kServerNameText, "before");
    ReadServerName(dialog_);
    EXPECT_EQ(Text(kServerNameText), c.shown) << (c.content != nullptr ? c.content : "no file");
  }
}

TEST_F(ServerName, IpDatIsClosedOnceRead) {
  test_support::WriteTestFile("ip.dat", "127.0.0.1\n");
  Open();
  const std::size_t before = OpenFileCount();
  ReadServerName(dialog_);
  ReadServerName(dialog_);
  EXPECT_EQ(OpenFileCount(), before);
}

}  // namespace
}  // namespace probex_test
