// A stand-in for the front-end library, which lies outside the system: no screens, only the
// environment. It fills the login block from OSTREL_SERVER, OSTREL_PORT, OSTREL_PACK,
// OSTREL_WORLD and OSTREL_LOGIN and asks for a game for the first OSTREL_GAMES calls (1 when
// unset), then for the quit. The host unloads it after every call, so the calls are counted in
// the host record's front-end block, beside the clock time at which the last game was asked for.
// Each call after a game writes one line to standard error with what the game library returned,
// how long it ran and how many frames it showed: a failed login shows as a game that returned at
// once (connection refused) or after the login's time-out, with no frame.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "host/interface/host_record.h"
#include "host/interface/library_entry.h"
#include "platform/backend/display_backend.h"
#include "platform/kernel/clock.h"

namespace {

constexpr char kName[] = "ostrel.dll";

// The variable's value; a report when it is unset or empty.
std::optional<std::string_view> ReadVariable(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr || *value == '\0') {
    std::fprintf(stderr, "%s: %s is not set.\n", kName, variable);
    return std::nullopt;
  }
  return std::string_view(value);
}

// Fills the field with the variable's value and zeros after it, so it is always terminated.
template <std::size_t N>
bool CopyVariable(const char* variable, char (&field)[N]) {
  const std::optional<std::string_view> value = ReadVariable(variable);
  if (!value) {
    return false;
  }
  if (value->size() > N - 1) {
    std::fprintf(stderr, "%s: %s is longer than %zu characters.\n", kName, variable, N - 1);
    return false;
  }
  std::memset(field, 0, N);
  std::memcpy(field, value->data(), value->size());
  return true;
}

// A whole decimal number within [low, high], or nothing.
std::optional<long> ParseNumber(std::string_view text, long low, long high) {
  long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number < low || number > high) {
    return std::nullopt;
  }
  return number;
}

bool ReadPort(std::uint32_t& port) {
  const std::optional<std::string_view> value = ReadVariable("OSTREL_PORT");
  if (!value) {
    return false;
  }
  const std::optional<long> number = ParseNumber(*value, 1, 65535);
  if (!number) {
    std::fprintf(stderr, "%s: OSTREL_PORT \"%.*s\" is not a port number (1-65535).\n", kName,
                 static_cast<int>(value->size()), value->data());
    return false;
  }
  port = static_cast<std::uint32_t>(*number);
  return true;
}

// How many games to ask for in all; nothing (after a report) for a value that is no count.
std::optional<long> ReadGames() {
  const char* value = std::getenv("OSTREL_GAMES");
  if (value == nullptr) {
    return 1;
  }
  const std::optional<long> games = ParseNumber(value, 0, INT32_MAX);
  if (!games) {
    std::fprintf(stderr, "%s: OSTREL_GAMES \"%s\" is not a number of games.\n", kName, value);
  }
  return games;
}

// Every variable is checked, so one run reports all that is wrong.
bool FillLoginBlock(LoginBlock& login) {
  bool filled = CopyVariable("OSTREL_SERVER", login.serverHost);
  filled = ReadPort(login.serverPort) && filled;
  filled = CopyVariable("OSTREL_PACK", login.worldPackName) && filled;
  filled = CopyVariable("OSTREL_WORLD", login.worldFileName) && filled;
  filled = CopyVariable("OSTREL_LOGIN", login.loginText) && filled;
  return filled;
}

// Where the block keeps the clock time at which the last game was asked for.
std::int32_t& GameStartTime(FrontEndBlock& block) { return block.words1[0]; }

// The host runs this library again only after a game library returned 1 (run the front end) or
// 3 (install the updates, then the front end).
void ReportGameEnd(FrontEndBlock& block) {
  const DWORD elapsed = timeGetTime() - static_cast<DWORD>(GameStartTime(block));
  std::fprintf(stderr,
               "%s: game %d: the game library returned to the front end (result 1 or 3) after "
               "%.2f s, %zu frames shown\n",
               kName, block.count, elapsed / 1000.0, platform::ShownFrameCount());
}

}  // namespace

extern "C" int dll_main(HMODULE /*module*/, HostRecord* record) {
  if (record->frontEnd.count > 0) {
    ReportGameEnd(record->frontEnd);
  }
  const std::optional<long> games = ReadGames();
  if (!games || record->frontEnd.count >= *games) {
    return kHostQuit;
  }
  if (!FillLoginBlock(record->login)) {
    return kHostQuit;
  }
  ++record->frontEnd.count;
  GameStartTime(record->frontEnd) = static_cast<std::int32_t>(timeGetTime());
  platform::ClearShownFrames();
  return kHostRunGame;
}
