// The host program itself, run as a process in a fresh folder that holds it, the platform
// library and the libraries of the case: the host loads its libraries from its own folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

enum class Library { kScripted, kNoEntry, kFrontEnd };

const char* SourceOf(Library library) {
  switch (library) {
    case Library::kScripted:
      return SCRIPTED_LIBRARY_PATH;
    case Library::kNoEntry:
      return NO_ENTRY_LIBRARY_PATH;
    case Library::kFrontEnd:
      return OSTREL_PATH;
  }
  return "";
}

struct HostRun {
  int status = -1;  // the exit status, -1 when the host did not exit by itself
  std::string errors;
  std::vector<std::string> calls;
};

// The process's environment without anything that steers the host, its libraries or the
// display, plus `settings` ("NAME=value").
std::vector<std::string> HostEnvironment(const std::vector<std::string>& settings) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!text.starts_with("ARENA_") && !text.starts_with("OSTREL_") &&
        !text.starts_with("HOST_TEST_")) {
      environment.push_back(text);
    }
  }
  environment.insert(environment.end(), settings.begin(), settings.end());
  return environment;
}

class HostFolder {
 public:
  bool Install(const char* source, const std::string& name) {
    std::error_code error;
    fs::copy_file(source, folder_.Path() / name, fs::copy_options::overwrite_existing, error);
    return !error;
  }

  // Runs the program (copied in first) in the folder: its standard error goes to a file.
  HostRun Run(const char* program, const std::vector<std::string>& settings) {
    HostRun run;
    const fs::path copy = folder_.Path() / fs::path(program).filename();
    if (!Install(program, copy.filename().string()) ||
        !Install(PLATFORM_PATH, fs::path(PLATFORM_PATH).filename().string())) {
      return run;
    }
    const std::string folder = folder_.Path().string();
    const std::string errorsPath = (folder_.Path() / "errors.txt").string();
    std::vector<std::string> environment = HostEnvironment(settings);
    std::vector<char*> envp;
    for (std::string& entry : environment) {
      envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string path = copy.string();
    char* argv[] = {path.data(), nullptr};

    const pid_t child = ::fork();
    if (child == 0) {
      // Only async-signal-safe calls between fork and exec; a hung host is ended by the alarm.
      const int errors = ::open(errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (errors < 0 || ::dup2(errors, 2) < 0 || ::chdir(folder.c_str()) != 0) {
        ::_exit(127);
      }
      ::alarm(60);
      ::execve(argv[0], argv, envp.data());
      ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
      return run;
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errors = test_support::ReadTestFile(errorsPath);
    std::istringstream calls(test_support::ReadTestFile(folder_.Path() / "calls.log"));
    for (std::string line; std::getline(calls, line);) {
      run.calls.push_back(line);
    }
    return run;
  }

 private:
  test_support::ScratchFolder folder_;
};

// The log line of the scripted library's n-th call: loaded afresh, host objects ready, and the
// record's screen width raised by each call before, so the record is the same in every call.
std::vector<std::string> ExpectedCalls(const std::vector<std::string>& libraries) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < libraries.size(); ++i) {
    lines.push_back(libraries[i] + " loads=1 ready=1 width=" + std::to_string(640 + i));
  }
  return lines;
}

constexpr const char* kBattleHost = GAMEHOST_PATH;
constexpr const char* kHalbrinHost = GAMEHOST_HALBRIN_PATH;

struct LoopCase {
  const char* name;
  const char* program;
  std::vector<std::pair<std::string, Library>> libraries;
  std::vector<std::string> settings;
  std::vector<std::string> calls;  // the scripted libraries run, in order
  int status;
  std::string errors;
};

void PrintTo(const LoopCase& c, std::ostream* out) { *out << c.name; }

class HostLoopTest : public ::testing::TestWithParam<LoopCase> {};

// The stand-in's reports with their run times as "T", which vary from run to run.
std::string WithoutTimes(const std::string& errors) {
  static const std::regex kTime("after [0-9]+\\.[0-9]+ s");
  return std::regex_replace(errors, kTime, "after T s");
}

TEST_P(HostLoopTest, RunsTheLibrariesTheCodesAskFor) {
  const LoopCase& c = GetParam();
  HostFolder folder;
  for (const auto& [name, library] : c.libraries) {
    ASSERT_TRUE(folder.Install(SourceOf(library), name)) << name;
  }
  const HostRun run = folder.Run(c.program, c.settings);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(WithoutTimes(run.errors), c.errors);
  EXPECT_EQ(run.calls, ExpectedCalls(c.calls));
}

const std::pair<std::string, Library> kScriptedFrontEnd{"ostrel.dll", Library::kScripted};
const std::pair<std::string, Library> kScriptedGame{"battle.dll", Library::kScripted};

INSTANTIATE_TEST_SUITE_P(
    Cases, HostLoopTest,
    ::testing::Values(
        LoopCase{"FrontEndQuits",
                 kBattleHost,
                 {kScriptedFrontEnd},
                 {"HOST_TEST_CODES=0"},
                 {"ostrel.dll"},
                 0,
                 ""},
        LoopCase{"GameThenFrontEndAgain",
                 kBattleHost,
                 {kScriptedFrontEnd, kScriptedGame},
                 {"HOST_TEST_CODES=2 1 2 1 0"},
                 {"ostrel.dll", "battle.dll", "ostrel.dll", "battle.dll", "ostrel.dll"},
                 0,
                 ""},
        LoopCase{"UpdateInstalledBeforeTheFrontEndRunsAgain",
                 kBattleHost,
                 {kScriptedFrontEnd,
                  {"battle.dll", Library::kNoEntry},
                  {"battle.dl_", Library::kScripted}},
                 {"HOST_TEST_CODES=3 2 0"},
                 {"ostrel.dll", "ostrel.dll", "battle.dll"},
                 0,
                 ""},
        LoopCase{"SecondBuildRunsHalbrin",
                 kHalbrinHost,
                 {kScriptedFrontEnd,
                  {"battle.dll", Library::kNoEntry},
                  {"halbrin.dll", Library::kScripted}},
                 {"HOST_TEST_CODES=2 1 0"},
                 {"ostrel.dll", "halbrin.dll", "ostrel.dll"},
                 0,
                 ""},
        LoopCase{"UnknownCodeFromTheGameQuits",
                 kBattleHost,
                 {kScriptedFrontEnd, kScriptedGame},
                 {"HOST_TEST_CODES=2 7 1"},
                 {"ostrel.dll", "battle.dll"},
                 0,
                 "battle.dll returned 7, which is no host result code.\n"},
        LoopCase{"NegativeCodeFromTheFrontEndQuits",
                 kBattleHost,
                 {kScriptedFrontEnd},
                 {"HOST_TEST_CODES=-1 1"},
                 {"ostrel.dll"},
                 0,
                 "ostrel.dll returned -1, which is no host result code.\n"},
        LoopCase{
            "FrontEndMissing", kBattleHost, {}, {}, {}, 1, "LoadLibrary(\"ostrel.dll\") failed.\n"},
        LoopCase{"GameMissing",
                 kBattleHost,
                 {kScriptedFrontEnd},
                 {"HOST_TEST_CODES=2"},
                 {"ostrel.dll"},
                 1,
                 "LoadLibrary(\"battle.dll\") failed.\n"},
        LoopCase{"HalbrinMissing",
                 kHalbrinHost,
                 {kScriptedFrontEnd, kScriptedGame},
                 {"HOST_TEST_CODES=2"},
                 {"ostrel.dll"},
                 1,
                 "LoadLibrary(\"halbrin.dll\") failed.\n"},
        LoopCase{"FrontEndWithoutEntry",
                 kBattleHost,
                 {{"ostrel.dll", Library::kNoEntry}},
                 {},
                 {},
                 1,
                 "Couldn't link to dll_main in ostrel.dll.\n"},
        LoopCase{"GameWithoutEntry",
                 kBattleHost,
                 {kScriptedFrontEnd, {"battle.dll", Library::kNoEntry}},
                 {"HOST_TEST_CODES=2"},
                 {"ostrel.dll"},
                 1,
                 "Couldn't link to dll_main in battle.dll.\n"},
        LoopCase{"HalbrinWithoutEntry",
                 kHalbrinHost,
                 {kScriptedFrontEnd, {"halbrin.dll", Library::kNoEntry}},
                 {"HOST_TEST_CODES=2"},
                 {"ostrel.dll"},
                 1,
                 "Couldn't link to dll_main in halbrin.dll.\n"},
        // The front-end stand-in itself: it logs nothing, the scripted game does.
        LoopCase{"StandInQuitsAtOnce",
                 kBattleHost,
                 {{"ostrel.dll", Library::kFrontEnd}},
                 {"OSTREL_GAMES=0"},
                 {},
                 0,
                 ""},
        LoopCase{"StandInRunsItsGames",
                 kBattleHost,
                 {{"ostrel.dll", Library::kFrontEnd}, kScriptedGame},
                 {"OSTREL_SERVER=127.0.0.1", "OSTREL_PORT=4000", "OSTREL_PACK=arena.r3x",
                  "OSTREL_WORLD=arena.wld", "OSTREL_LOGIN=pilot", "OSTREL_GAMES=2",
                  "HOST_TEST_CODES=1 1"},
                 {"battle.dll", "battle.dll"},
                 0,
                 "ostrel.dll: game 1: the game library returned to the front end (result 1 or 3) "
                 "after T s, 0 frames shown\n"
                 "ostrel.dll: game 2: the game library returned to the front end (result 1 or 3) "
                 "after T s, 0 frames shown\n"},
        LoopCase{"StandInWithoutSettingsQuits",
                 kBattleHost,
                 {{"ostrel.dll", Library::kFrontEnd}},
                 {"OSTREL_SERVER=127.0.0.1", "OSTREL_PORT=4000", "OSTREL_PACK=arena.r3x",
                  "OSTREL_WORLD=arena.wld"},
                 {},
                 0,
                 "ostrel.dll: OSTREL_LOGIN is not set.\n"}),
    [](const ::testing::TestParamInfo<LoopCase>& info) { return info.param.name; });

}  // namespace
