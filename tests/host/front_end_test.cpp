// The front-end stand-in "ostrel.dll", loaded, called and unloaded as the host does it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <list>
#include <string>
#include <vector>

#include "host/interface/host_record.h"
#include "host/interface/library_entry.h"
#include "platform/backend/display_backend.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/module.h"
#include "tests/support/scoped_environment.h"

namespace {

constexpr const char* kVariables[] = {"OSTREL_SERVER", "OSTREL_PORT",  "OSTREL_PACK",
                                      "OSTREL_WORLD",  "OSTREL_LOGIN", "OSTREL_GAMES"};

struct Setting {
  const char* variable;
  std::string value;
};

// One call of the stand-in's entry with exactly these variables set.
int CallFrontEnd(HostRecord& record, const std::vector<Setting>& settings) {
  std::list<test_support::ScopedEnvironment> environment;
  for (const char* variable : kVariables) {
    const auto setting = std::find_if(settings.begin(), settings.end(), [&](const Setting& s) {
      return std::strcmp(s.variable, variable) == 0;
    });
    environment.emplace_back(variable,
                             setting == settings.end() ? nullptr : setting->value.c_str());
  }
  HMODULE library = LoadLibraryA(OSTREL_PATH);
  EXPECT_NE(library, nullptr);
  if (library == nullptr) {
    return -1;
  }
  const auto entry = reinterpret_cast<LibraryEntry>(GetProcAddress(library, kLibraryEntryName));
  EXPECT_NE(entry, nullptr);
  const int code = entry != nullptr ? entry(library, &record) : -1;
  FreeLibrary(library);
  return code;
}

std::vector<Setting> GoodSettings() {
  return {{"OSTREL_SERVER", "127.0.0.1"},
          {"OSTREL_PORT", "4000"},
          {"OSTREL_PACK", "arena.r3x"},
          {"OSTREL_WORLD", "arena.wld"},
          {"OSTREL_LOGIN", "pilot secret"}};
}

std::vector<Setting> With(std::vector<Setting> settings, const char* variable,
                          const std::string& value) {
  for (Setting& setting : settings) {
    if (std::strcmp(setting.variable, variable) == 0) {
      setting.value = value;
      return settings;
    }
  }
  settings.push_back({variable, value});
  return settings;
}

std::vector<Setting> Without(std::vector<Setting> settings, const char* variable) {
  std::erase_if(settings, [&](const Setting& s) { return std::strcmp(s.variable, variable) == 0; });
  return settings;
}

// A record whose login block holds no NUL anywhere, so a missing terminator shows.
HostRecord DirtyRecord() {
  HostRecord record{};
  std::memset(&record.login, 'x', sizeof record.login);
  return record;
}

struct EnvironmentCase {
  const char* name;
  std::vector<Setting> settings;
  int code;
  std::string errors;
};

void PrintTo(const EnvironmentCase& c, std::ostream* out) { *out << c.name; }

class FrontEndEnvironmentTest : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(FrontEndEnvironmentTest, AnswersAndReports) {
  const EnvironmentCase& c = GetParam();
  HostRecord record = DirtyRecord();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(CallFrontEnd(record, c.settings), c.code);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.errors);
  EXPECT_EQ(record.frontEnd.count, c.code == kHostRunGame ? 1 : 0);
}

const std::string k15(15, 's');
const std::string k63(63, 'l');
const std::string k411(411, 'w');

INSTANTIATE_TEST_SUITE_P(
    Cases, FrontEndEnvironmentTest,
    ::testing::Values(
        EnvironmentCase{"AllSet", GoodSettings(), kHostRunGame, ""},
        EnvironmentCase{"OneGameAskedFor", With(GoodSettings(), "OSTREL_GAMES", "1"), kHostRunGame,
                        ""},
        EnvironmentCase{"HighestPort", With(GoodSettings(), "OSTREL_PORT", "65535"), kHostRunGame,
                        ""},
        EnvironmentCase{"NoGamesQuitsWithNothingElseSet", {{"OSTREL_GAMES", "0"}}, kHostQuit, ""},
        EnvironmentCase{"NothingSet",
                        {},
                        kHostQuit,
                        "ostrel.dll: OSTREL_SERVER is not set.\n"
                        "ostrel.dll: OSTREL_PORT is not set.\n"
                        "ostrel.dll: OSTREL_PACK is not set.\n"
                        "ostrel.dll: OSTREL_WORLD is not set.\n"
                        "ostrel.dll: OSTREL_LOGIN is not set.\n"},
        EnvironmentCase{"EmptyServer", With(GoodSettings(), "OSTREL_SERVER", ""), kHostQuit,
                        "ostrel.dll: OSTREL_SERVER is not set.\n"},
        EnvironmentCase{"LoginMissing", Without(GoodSettings(), "OSTREL_LOGIN"), kHostQuit,
                        "ostrel.dll: OSTREL_LOGIN is not set.\n"},
        EnvironmentCase{"ServerTooLong", With(GoodSettings(), "OSTREL_SERVER", k15 + "s"),
                        kHostQuit, "ostrel.dll: OSTREL_SERVER is longer than 15 characters.\n"},
        EnvironmentCase{"PackTooLong", With(GoodSettings(), "OSTREL_PACK", k15 + "p"), kHostQuit,
                        "ostrel.dll: OSTREL_PACK is longer than 15 characters.\n"},
        EnvironmentCase{"WorldTooLong", With(GoodSettings(), "OSTREL_WORLD", k411 + "w"), kHostQuit,
                        "ostrel.dll: OSTREL_WORLD is longer than 411 characters.\n"},
        EnvironmentCase{"LoginTooLong", With(GoodSettings(), "OSTREL_LOGIN", k63 + "l"), kHostQuit,
                        "ostrel.dll: OSTREL_LOGIN is longer than 63 characters.\n"},
        EnvironmentCase{"PortZero", With(GoodSettings(), "OSTREL_PORT", "0"), kHostQuit,
                        "ostrel.dll: OSTREL_PORT \"0\" is not a port number (1-65535).\n"},
        EnvironmentCase{"PortTooHigh", With(GoodSettings(), "OSTREL_PORT", "65536"), kHostQuit,
                        "ostrel.dll: OSTREL_PORT \"65536\" is not a port number (1-65535).\n"},
        EnvironmentCase{"PortWithLetters", With(GoodSettings(), "OSTREL_PORT", "40x"), kHostQuit,
                        "ostrel.dll: OSTREL_PORT \"40x\" is not a port number (1-65535).\n"},
        EnvironmentCase{"PortNegative", With(GoodSettings(), "OSTREL_PORT", "-4000"), kHostQuit,
                        "ostrel.dll: OSTREL_PORT \"-4000\" is not a port number (1-65535).\n"},
        EnvironmentCase{"GamesNotANumber", With(GoodSettings(), "OSTREL_GAMES", "two"), kHostQuit,
                        "ostrel.dll: OSTREL_GAMES \"two\" is not a number of games.\n"},
        EnvironmentCase{"GamesNegative", With(GoodSettings(), "OSTREL_GAMES", "-1"), kHostQuit,
                        "ostrel.dll: OSTREL_GAMES \"-1\" is not a number of games.\n"}),
    [](const ::testing::TestParamInfo<EnvironmentCase>& info) { return info.param.name; });

TEST(FrontEndTest, FillsEveryFieldTerminated) {
  HostRecord record = DirtyRecord();
  const std::vector<Setting> longest{{"OSTREL_SERVER", k15},
                                     {"OSTREL_PORT", "4000"},
                                     {"OSTREL_PACK", k15},
                                     {"OSTREL_WORLD", k411},
                                     {"OSTREL_LOGIN", k63}};
  ASSERT_EQ(CallFrontEnd(record, longest), kHostRunGame);
  EXPECT_EQ(record.login.serverPort, 4000u);
  EXPECT_EQ(FieldText(record.login.serverHost), k15);
  EXPECT_EQ(FieldText(record.login.worldPackName), k15);
  EXPECT_EQ(FieldText(record.login.worldFileName), k411);
  EXPECT_EQ(FieldText(record.login.loginText), k63);
  EXPECT_EQ(record.login.serverHost[15], '\0');
  EXPECT_EQ(record.login.worldPackName[15], '\0');
  EXPECT_EQ(record.login.worldFileName[411], '\0');
  EXPECT_EQ(record.login.loginText[63], '\0');

  // Shorter values later leave nothing of the longer ones behind.
  ASSERT_EQ(CallFrontEnd(record, With(GoodSettings(), "OSTREL_GAMES", "2")), kHostRunGame);
  EXPECT_EQ(FieldText(record.login.serverHost), "127.0.0.1");
  EXPECT_EQ(FieldText(record.login.worldPackName), "arena.r3x");
  EXPECT_EQ(FieldText(record.login.worldFileName), "arena.wld");
  EXPECT_EQ(FieldText(record.login.loginText), "pilot secret");
  EXPECT_EQ(record.login.serverHost[sizeof "127.0.0.1"], '\0');
}

TEST(FrontEndTest, CountOfGamesOutlivesEachUnloading) {
  HostRecord record{};
  const std::vector<Setting> settings = With(GoodSettings(), "OSTREL_GAMES", "2");
  EXPECT_EQ(CallFrontEnd(record, settings), kHostRunGame);
  EXPECT_EQ(CallFrontEnd(record, settings), kHostRunGame);
  EXPECT_EQ(CallFrontEnd(record, settings), kHostQuit);
  EXPECT_EQ(CallFrontEnd(record, settings), kHostQuit);
  EXPECT_EQ(record.frontEnd.count, 2);
}

// The game's length and frames are measured between the call that asks for it and the next.
TEST(FrontEndTest, ReportsEachGameOnceItReturned) {
  platform::VirtualClock clock(5000);
  platform::ScopedProcessClock scopedClock(clock);
  HostRecord record{};
  const std::vector<Setting> settings = With(GoodSettings(), "OSTREL_GAMES", "2");
  ::testing::internal::CaptureStderr();
  ASSERT_EQ(CallFrontEnd(record, settings), kHostRunGame);
  clock.Advance(16250);
  for (int i = 0; i < 3; ++i) {
    platform::ShowFrame(platform::Frame{2, 2, 8, std::vector<BYTE>(4), {}});
  }
  ASSERT_EQ(CallFrontEnd(record, settings), kHostRunGame);
  clock.Advance(10);
  ASSERT_EQ(CallFrontEnd(record, settings), kHostQuit);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "ostrel.dll: game 1: the game library returned to the front end (result 1 or 3) "
            "after 16.25 s, 3 frames shown\n"
            "ostrel.dll: game 2: the game library returned to the front end (result 1 or 3) "
            "after 0.01 s, 0 frames shown\n");
}

TEST(FrontEndTest, OneGameWhenTheCountIsUnset) {
  HostRecord record{};
  EXPECT_EQ(CallFrontEnd(record, GoodSettings()), kHostRunGame);
  EXPECT_EQ(CallFrontEnd(record, GoodSettings()), kHostQuit);
}

}  // namespace
