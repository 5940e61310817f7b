#include "probex/server_ping.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/backend/display_backend.h"
#include "platform/icmp/icmp.h"
#include "platform/system_library/system_library.h"
#include "probex/problem_word.h"
#include "tests/probex/probex_fixture.h"

namespace probex_test {
namespace {

// What one fake echo does.
struct Echo {
  enum Kind { kReply, kTimeOut, kFail } kind;
  DWORD roundTrip = 0;
};

// The fake ICMP library's script and record. Echoes beyond the script reply in 10 ms.
struct FakeIcmp {
  std::mutex mutex;
  std::vector<Echo> script;
  bool refuseHandle = false;
  // The ping-result box's text at each echo, and the destination of each.
  std::vector<std::string> shownBefore;
  std::vector<IPAddr> destinations;
  HWND dialog = nullptr;
  // How long each echo takes.
  std::chrono::milliseconds delay{0};
  // While set, an echo waits until it is cleared.
  bool hold = false;
  bool holding = false;
  std::condition_variable changed;
};

FakeIcmp& Fake() {
  static FakeIcmp fake;
  return fake;
}

HANDLE const kFakeHandle = reinterpret_cast<HANDLE>(std::uintptr_t{0x1C3});

HANDLE FakeCreate() { return Fake().refuseHandle ? INVALID_HANDLE_VALUE : kFakeHandle; }

BOOL FakeClose(HANDLE handle) { return handle == kFakeHandle ? TRUE : FALSE; }

DWORD FakeSend(HANDLE handle, IPAddr destination, LPVOID request, WORD requestSize,
               IP_OPTION_INFORMATION* /*options*/, LPVOID reply, DWORD replySize, DWORD timeout) {
  FakeIcmp& fake = Fake();
  std::this_thread::sleep_for(fake.delay);
  std::unique_lock lock(fake.mutex);
  fake.holding = true;
  fake.changed.notify_all();
  fake.changed.wait(lock, [&] { return !fake.hold; });
  fake.holding = false;
  EXPECT_EQ(handle, kFakeHandle);
  EXPECT_EQ(requestSize, 64);
  EXPECT_EQ(static_cast<BYTE*>(request)[63], 0xAA);
  EXPECT_EQ(replySize, 92u);
  EXPECT_EQ(timeout, 2000u);
  char shown[64] = {};
  GetWindowTextA(GetDlgItem(fake.dialog, kPingResultText), shown, sizeof shown);
  fake.shownBefore.push_back(shown);
  fake.destinations.push_back(destination);
  const std::size_t index = fake.destinations.size() - 1;
  const Echo echo = index < fake.script.size() ? fake.script[index] : Echo{Echo::kReply, 10};
  if (echo.kind == Echo::kTimeOut) {
    SetLastError(IP_REQ_TIMED_OUT);
    return 0;
  }
  if (echo.kind == Echo::kFail) {
    SetLastError(IP_GENERAL_FAILURE);
    return 0;
  }
  ICMP_ECHO_REPLY record{};
  record.Address = destination;
  record.RoundTripTime = echo.roundTrip;
  std::memcpy(reply, &record, sizeof record);
  return 1;
}

const platform::SystemLibrarySymbol kFakeSymbols[] = {
    {"IcmpCreateFile", reinterpret_cast<FARPROC>(&FakeCreate)},
    {"IcmpSendEcho", reinterpret_cast<FARPROC>(&FakeSend)},
    {"IcmpCloseHandle", reinterpret_cast<FARPROC>(&FakeClose)},
};

// The layer's libraries with the fake ICMP library in place of its own, or with none.
std::vector<platform::SystemLibrary> LibrariesWithFakeIcmp(bool withIcmp) {
  std::vector<platform::SystemLibrary> libraries;
  for (const platform::SystemLibrary& library : platform::DefaultSystemLibraries()) {
    if (std::string_view(library.name) != "ICMP.DLL") {
      libraries.push_back(library);
    }
  }
  if (withIcmp) {
    libraries.push_back({"ICMP.DLL", {}, kFakeSymbols});
  }
  return libraries;
}

std::vector<Echo> Replies(int count, DWORD roundTrip) {
  return std::vector<Echo>(static_cast<std::size_t>(count), Echo{Echo::kReply, roundTrip});
}

std::vector<Echo> operator+(std::vector<Echo> first, const std::vector<Echo>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

std::vector<Echo> TimeOuts(int count) {
  return std::vector<Echo>(static_cast<std::size_t>(count), Echo{Echo::kTimeOut});
}

class ServerPing : public ProbexTest {
 protected:
  ServerPing() {
    libraries_ = std::make_unique<platform::ScopedSystemLibraries>(LibrariesWithFakeIcmp(true));
    FakeIcmp& fake = Fake();
    std::lock_guard lock(fake.mutex);
    fake.script.clear();
    fake.refuseHandle = false;
    fake.shownBefore.clear();
    fake.destinations.clear();
    fake.hold = false;
    fake.delay = std::chrono::milliseconds(0);
  }

  // Runs one ping of the server to its end.
  void Ping(const char* server, std::vector<Echo> script) {
    if (dialog_ == nullptr) {
      Open();
    }
    {
      std::lock_guard lock(Fake().mutex);
      Fake().script = std::move(script);
      Fake().dialog = dialog_;
    }
    SetDlgItemTextA(dialog_, kServerNameText, server);
    Click();
    WaitForPing();
  }
  void Click() { SendMessageA(dialog_, WM_COMMAND, kPingButton, 0); }
  std::size_t Echoes() {
    std::lock_guard lock(Fake().mutex);
    return Fake().destinations.size();
  }
  std::vector<std::string> Shown() {
    std::lock_guard lock(Fake().mutex);
    return Fake().shownBefore;
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& box : platform::ShownMessageBoxes()) {
      EXPECT_EQ(box.caption, "Probex");
      EXPECT_EQ(box.type, MB_ICONEXCLAMATION);
      texts.push_back(box.text);
    }
    return texts;
  }

  std::unique_ptr<platform::ScopedSystemLibraries> libraries_;
};

TEST_F(ServerPing, TenRepliesOf100MsShow100MsAfterEachAndPass) {
  Ping("127.0.0.1", Replies(10, 100));
  ASSERT_EQ(Echoes(), 10u);
  const std::vector<std::string> shown = Shown();
  EXPECT_EQ(shown[0], "PINGING");
  for (std::size_t i = 1; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i], "100ms") << i;
  }
  EXPECT_EQ(Text(kPingResultText), "100ms");
  EXPECT_EQ(Icon(kPingIcon), kPassIcon);
  EXPECT_EQ(Word(), 0u);
  EXPECT_EQ(Text(kReportText), "Everything seems to be ok.....Start Kelvane\r\n");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(Probex().pingRunning.load());
}

TEST_F(ServerPing, AveragesTimeOutsAndTheVerdict) {
  struct Case {
    const char* name;
    std::vector<Echo> script;
    const char* result;
    bool slow;
  };
  const Case cases[] = {
      {"average of exactly 300 ms", Replies(5, 200) + Replies(5, 400), "300ms", false},
      {"average of 301 ms", Replies(9, 300) + Replies(1, 310), "301ms", true},
      // Time-outs are counted, not added: the average is of the answers alone.
      {"five time-outs", TimeOuts(5) + Replies(5, 50), "50ms", false},
      {"six time-outs", Replies(4, 50) + TimeOuts(6), "50ms", true},
      {"ten time-outs", TimeOuts(10), "TO", true},
  };
  for (const Case& c : cases) {
    Ping("127.0.0.1", c.script);
    EXPECT_EQ(Echoes(), 10u) << c.name;
    EXPECT_EQ(Text(kPingResultText), c.result) << c.name;
    EXPECT_EQ(Word(), c.slow ? kProblemPingSlow : 0u) << c.name;
    EXPECT_EQ(Icon(kPingIcon), c.slow ? kProblemIcon : kPassIcon) << c.name;
    EXPECT_EQ(Text(kReportText), c.slow ? "There are some problems: \r\n"
                                          "1) Your Ping Time is too slow\r\n"
                                        : "Everything seems to be ok.....Start Kelvane\r\n")
        << c.name;
    std::lock_guard lock(Fake().mutex);
    Fake().destinations.clear();
    Fake().shownBefore.clear();
  }
}

TEST_F(ServerPing, ATimedOutEchoShowsTOAndTheNextAnswerTheAverageOfAnswers) {
  Ping("127.0.0.1", Replies(1, 40) + TimeOuts(1) + Replies(1, 80));
  const std::vector<std::string> shown = Shown();
  ASSERT_EQ(shown.size(), 10u);
  EXPECT_EQ(shown[1], "40ms");
  EXPECT_EQ(shown[2], "TO");
  EXPECT_EQ(shown[3], "60ms");
}

TEST_F(ServerPing, AFailureAtTheSeventhEchoEndsWithNcAfterSixAverages) {
  Ping("127.0.0.1", Replies(6, 20) + std::vector<Echo>{{Echo::kFail}});
  const std::vector<std::string> shown = Shown();
  ASSERT_EQ(shown.size(), 7u);
  EXPECT_EQ(shown[6], "20ms");
  EXPECT_EQ(Text(kPingResultText), "NC");
  EXPECT_EQ(Icon(kPingIcon), kProblemIcon);
  EXPECT_EQ(Word(), kProblemPingNoConnection);
  EXPECT_EQ(Text(kReportText), "There are some problems: \r\n1) Unable to connect to host\r\n");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ServerPing, SetUpFailuresShowTheirMessageAndEndAsNc) {
  const std::string longName(300, 'n');
  struct Case {
    const char* server;
    bool withIcmp;
    bool refuseHandle;
    const char* message;
  };
  const Case cases[] = {
      {"", true, false, "NO SERVER NAME!"},
      {"no-such-host.invalid", true, false, "CAN'T FIND SERVER IP ADDRESS!"},
      // A name longer than the 128-byte buffer is not cut to some other name.
      {longName.c_str(), true, false, "CAN'T FIND SERVER IP ADDRESS!"},
      {"127.0.0.1", false, false, "UNABLE TO LOCATE ICMP.DLL FUNCTIONS!"},
      {"127.0.0.1", true, true, "UNABLE TO PING!"},
  };
  for (const Case& c : cases) {
    const platform::ScopedSystemLibraries icmp(LibrariesWithFakeIcmp(c.withIcmp));
    Fake().refuseHandle = c.refuseHandle;
    platform::ClearShownMessageBoxes();
    Probex().problemWord = 0;
    Ping(c.server, {});
    EXPECT_EQ(Boxes(), std::vector<std::string>{c.message}) << c.message;
    EXPECT_EQ(Echoes(), 0u) << c.message;
    EXPECT_EQ(Text(kPingResultText), "NC") << c.message;
    EXPECT_EQ(Icon(kPingIcon), kProblemIcon) << c.message;
    EXPECT_EQ(Text(kReportText), "There are some problems: \r\n1) Unable to connect to host\r\n");
  }
}

TEST_F(ServerPing, AClickWhileAPingRunsChangesNothing) {
  Open();
  {
    std::lock_guard lock(Fake().mutex);
    Fake().hold = true;
    Fake().dialog = dialog_;
  }
  SetDlgItemTextA(dialog_, kServerNameText, "127.0.0.1");
  Click();
  {
    std::unique_lock lock(Fake().mutex);
    Fake().changed.wait(lock, [] { return Fake().holding; });
  }
  SetDlgItemTextA(dialog_, kServerNameText, "");
  SetDlgItemTextA(dialog_, kPingResultText, "unchanged");
  Click();
  EXPECT_EQ(Text(kPingResultText), "unchanged");
  {
    std::lock_guard lock(Fake().mutex);
    Fake().hold = false;
  }
  Fake().changed.notify_all();
  WaitForPing();
  EXPECT_EQ(Echoes(), 10u);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Text(kPingResultText), "10ms");
}

// The dialog's thread reads and draws what the worker writes while it writes it (a race here is
// what a thread sanitizer build reports).
TEST_F(ServerPing, TheDialogReadsTheWorkersResultsWhileItRuns) {
  Open();
  {
    std::lock_guard lock(Fake().mutex);
    Fake().script = Replies(5, 30) + TimeOuts(5);
    Fake().dialog = dialog_;
    Fake().delay = std::chrono::milliseconds(2);
  }
  SetDlgItemTextA(dialog_, kServerNameText, "127.0.0.1");
  Click();
  std::vector<std::string> seen;
  while (Probex().pingRunning.load()) {
    seen.push_back(Text(kPingResultText));
    EXPECT_EQ(Word() & ~kProblemPingSlow, 0u);
    platform::DrawDialog(dialog_);
  }
  WaitForPing();
  for (const std::string& text : seen) {
    EXPECT_TRUE(text == "PINGING" || text == "30ms" || text == "TO") << text;
  }
  EXPECT_EQ(Text(kPingResultText), "30ms");
  EXPECT_EQ(Word(), 0u);
}

TEST_F(ServerPing, AClickAfterTheWindowsSocketsCheckFailedChangesNothing) {
  facts_.socketsStartupResult = 10092;
  Open();
  ASSERT_NE(Word() & kProblemWinsock, 0u);
  SetDlgItemTextA(dialog_, kServerNameText, "127.0.0.1");
  Click();
  WaitForPing();
  EXPECT_EQ(Text(kPingResultText), "");
  EXPECT_EQ(Echoes(), 0u);
}

}  // namespace
}  // namespace probex_test
