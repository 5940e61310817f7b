// Loads the game library as the host does, runs a game, unloads it, and does it all again: the
// second load must start from fresh static state. The facts come from the library's test build,
// which adds a probe to the entry; "battle.dll" itself shows the entry only.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>

#include "common/messages.h"
#include "platform/kernel/module.h"
#include "tests/battle/game_fixture.h"
#include "tests/battle/library_probe.h"
#include "tools/testserver/server_params.h"
#include "tools/testserver/test_server.h"

namespace {

using namespace std::chrono_literals;
using GameEntry = int (*)(HMODULE module, HostRecord* host);

// Words unlike any default, so that a table that kept them shows.
std::array<std::uint32_t, testserver::kParameterWordCount> ServerWords() {
  std::array<std::uint32_t, testserver::kParameterWordCount> words{};
  for (std::uint32_t i = 0; i < words.size(); ++i) {
    words[i] = 0x5A000000 + i;
  }
  return words;
}

class LibraryReloadTest : public test::GameFixture {
 protected:
  struct Run {
    LibraryProbe atLoad{};
    LibraryProbe afterGame{};
    int result = 0;
    bool systemInfoSent = false;
  };

  // One load, one game against a fresh server, one unload.
  std::optional<Run> LoadAndPlay() {
    HMODULE library = LoadLibraryA("battle_probe.dll");
    if (library == nullptr) {
      ADD_FAILURE() << "battle_probe.dll did not load";
      return std::nullopt;
    }
    const auto entry = reinterpret_cast<GameEntry>(GetProcAddress(library, "dll_main"));
    const auto probe =
        reinterpret_cast<LibraryProbeEntry>(GetProcAddress(library, kLibraryProbeName));
    if (entry == nullptr || probe == nullptr) {
      ADD_FAILURE() << "an export is missing";
      FreeLibrary(library);
      return std::nullopt;
    }

    testserver::TestServer server(ServerWords(), MakeServerGlobalParamsPayload());
    const auto port = server.Start("127.0.0.1", 0, testserver::Script{});
    EXPECT_TRUE(port.has_value()) << server.Error();
    host_.login.serverPort = port.value_or(0);
    std::strcpy(host_.login.serverHost, "127.0.0.1");
    std::strcpy(host_.login.loginText, "pilot");

    Run run;
    probe(&run.atLoad);
    run.result = entry(library, &host_);
    probe(&run.afterGame);
    run.systemInfoSent = server.WaitForMessage(MSG_SYSTEM_INFO, 5s).has_value();
    server.Stop();
    FreeLibrary(library);
    return run;
  }
};

TEST(GameLibraryTest, ShowsItsEntryOnly) {
  HMODULE library = LoadLibraryA("battle.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(GetProcAddress(library, "dll_main"), nullptr);
  EXPECT_EQ(GetProcAddress(library, kLibraryProbeName), nullptr);
  EXPECT_EQ(GetProcAddress(library, "gGameSession"), nullptr);
  FreeLibrary(library);
}

TEST_F(LibraryReloadTest, EachLoadStartsFresh) {
  const std::optional<Run> first = LoadAndPlay();
  ASSERT_TRUE(first.has_value());
  // The window is the host's again: a message after the unload reaches only the host.
  EXPECT_EQ(SendMessageA(window_, WM_SETCURSOR, 0, 0), 7);
  const std::optional<Run> second = LoadAndPlay();
  ASSERT_TRUE(second.has_value());

  for (const Run& run : {*first, *second}) {
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(run.systemInfoSent);
    EXPECT_EQ(run.atLoad.sessionQuitFlag, 0u);
    EXPECT_EQ(run.atLoad.systemInfoLength, 0u);
    EXPECT_EQ(run.afterGame.sessionQuitFlag, 1u);
    EXPECT_EQ(run.afterGame.systemInfoLength, 28u);
    EXPECT_NE(run.afterGame.paramTablesHash, run.atLoad.paramTablesHash)
        << "the server's words replaced the defaults";
  }
  EXPECT_EQ(second->atLoad.paramTablesHash, first->atLoad.paramTablesHash)
      << "the second load starts from the defaults again";
  EXPECT_EQ(second->afterGame.paramTablesHash, first->afterGame.paramTablesHash);
  EXPECT_EQ(WindowProcedure(), &test::HostWindowProc);

  // Both games wrote to the one "arena.log", the second after the first.
  const std::string log = Log();
  const std::size_t firstLine = log.find("00 Socket send buffer is ");
  ASSERT_NE(firstLine, std::string::npos);
  EXPECT_NE(log.find("00 Socket send buffer is ", firstLine + 1), std::string::npos);
}

}  // namespace
