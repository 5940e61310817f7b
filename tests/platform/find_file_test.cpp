#include "platform/kernel/find_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

namespace {

struct Found {
  std::string name;
  DWORD attributes;
  DWORD size;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& found) {
  return out << found.name << "/" << found.attributes << "/" << found.size;
}

std::vector<Found> FindAll(const std::string& pattern) {
  std::vector<Found> all;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    return all;
  }
  do {
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    all.push_back({data.cFileName, data.dwFileAttributes, data.nFileSizeLow});
  } while (FindNextFileA(find, &data));
  EXPECT_TRUE(FindClose(find));
  return all;
}

TEST(FindFiles, WildcardsInThePatternsFolder) {
  test_support::ScratchFolder folder;
  folder.Write("battle.dl_", "12345");
  folder.Write("run.ex_", "1");
  folder.Write("Game.R3X", "123");
  folder.Write("notes.txt", "");
  std::filesystem::create_directory(folder.Path() / "Sub");
  const Found battle{"battle.dl_", FILE_ATTRIBUTE_NORMAL, 5};
  const Found run{"run.ex_", FILE_ATTRIBUTE_NORMAL, 1};
  const Found game{"Game.R3X", FILE_ATTRIBUTE_NORMAL, 3};
  const Found notes{"notes.txt", FILE_ATTRIBUTE_NORMAL, 0};
  const Found sub{"Sub", FILE_ATTRIBUTE_DIRECTORY, 0};

  const struct {
    std::string pattern;
    std::vector<Found> found;  // in name order
  } cases[] = {
      {"*_", {battle, run}},
      {"*.r3x", {game}},
      {"G?ME.*", {game}},
      {"*", {game, sub, battle, notes, run}},
      {"s*", {sub}},
      {"notes.txt", {notes}},
      {"*.tx", {}},
      {"none*", {}},
      {"?", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindAll(folder / c.pattern), c.found) << c.pattern;
  }
  EXPECT_EQ(FindAll(folder.Path().string() + "\\*_"), (std::vector<Found>{battle, run}));
  EXPECT_TRUE(FindAll(folder / "missing/*").empty());
}

TEST(FindFiles, RenamingDuringTheEnumerationDoesNotDisturbIt) {
  test_support::ScratchFolder folder;
  folder.Write("a.dl_", "");
  folder.Write("b.dl_", "");
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder / "*_").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  std::vector<std::string> seen;
  do {
    seen.emplace_back(data.cFileName);
    std::string installed = seen.back();
    installed.back() = 'l';
    EXPECT_EQ(std::rename((folder / seen.back()).c_str(), (folder / installed).c_str()), 0);
  } while (FindNextFileA(find, &data));
  EXPECT_TRUE(FindClose(find));
  EXPECT_EQ(seen, (std::vector<std::string>{"a.dl_", "b.dl_"}));
  EXPECT_TRUE(FindAll(folder / "*_").empty());
}

TEST(FindFiles, WildcardMatching) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*", "", true},
      {"*", "anything", true},
      {"?", "", false},
      {"?", "a", true},
      {"??", "a", false},
      {"*_", "battle.dl_", true},
      {"*_", "battle.dll", false},
      {"*.DAT", "control.dat", true},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"*ab", "aab", true},
      {"a?c", "ABC", true},
      {"", "", true},
      {"", "a", false},
      {"**a", "ba", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::MatchesWildcard(c.pattern, c.name), c.matches)
        << c.pattern << " " << c.name;
  }
}

TEST(FindFiles, WrongHandlesAreRefused) {
  WIN32_FIND_DATAA data;
  EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(FindClose(nullptr));
  EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
}

}  // namespace
