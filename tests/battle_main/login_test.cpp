#include "battle/main/login.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "base/byte_reader.h"
#include "battle/core/game_params.h"
#include "battle/main/game_session.h"
#include "common/messages.h"
#include "host/interface/host_record.h"
#include "platform/kernel/clock.h"
#include "tools/testserver/server_params.h"
#include "tools/testserver/test_server.h"

namespace {

using namespace std::chrono_literals;

class LoginTest : public testing::Test {
 protected:
  LoginTest() : server_(words_, MakeServerGlobalParamsPayload()) {}

  void TearDown() override {
    gGameSession.netSocket.Close();
    std::uint32_t length = 0;
    while (gGameSession.Receive(length) != nullptr) {
    }
    server_.Stop();
    InitGameParams();
  }

  // Starts the server with a script and points the login block at it.
  void Serve(const std::string& scriptText) {
    auto parsed = testserver::ParseScript(scriptText);
    ASSERT_TRUE(std::holds_alternative<testserver::Script>(parsed));
    auto port = server_.Start("127.0.0.1", 0, std::get<testserver::Script>(parsed));
    ASSERT_TRUE(port.has_value()) << server_.Error();
    block_.serverPort = *port;
    std::strcpy(block_.serverHost, "127.0.0.1");
    std::strcpy(block_.loginText, "pilot secret");
  }

  // Distinct words, so that every row shows where its value came from.
  static std::array<std::uint32_t, GAME_PARAM_COUNT> DistinctWords() {
    std::array<std::uint32_t, GAME_PARAM_COUNT> words{};
    for (std::uint32_t i = 0; i < words.size(); ++i) {
      words[i] = 0x1000 + i;
    }
    return words;
  }

  std::array<std::uint32_t, GAME_PARAM_COUNT> words_ = DistinctWords();
  testserver::TestServer server_;
  LoginBlock block_{};
};

TEST_F(LoginTest, FullLoginFillsTheTablesAndKeepsTheConnection) {
  Serve("");
  ASSERT_EQ(LoginToServer(&block_), 0);
  EXPECT_TRUE(gGameSession.netSocket.IsConnected());
  for (std::size_t row : {std::size_t{0}, std::size_t{1}, std::size_t{250}, std::size_t{499}}) {
    EXPECT_EQ(GameParamTable[row].value, 0x1000 + row) << row;
    EXPECT_EQ(GameParamTable[row].savedValue, 0x1000 + row) << row;
    EXPECT_EQ(GameParamTable[row].modified, 0u) << row;
  }
  const auto record = MakeServerGlobalParamsPayload();
  EXPECT_EQ(gGameSession.globalParams.stateReportInterval, arena::ByteReader(record).U32());
  auto login = server_.WaitForMessage(MSG_LOGIN, 2s);
  ASSERT_TRUE(login.has_value());
  EXPECT_EQ(login->address, KIND_SESSION);  // outgoing headers carry the sender
  EXPECT_EQ(std::string(login->payload.begin(), login->payload.end()),
            std::string("pilot secret", 13));
}

struct LoginAnswer {
  const char* name;
  const char* script;
  std::uint32_t lastRow;  // the row that must hold the server's word after the login
};

class LoginAnswerTest : public LoginTest, public testing::WithParamInterface<LoginAnswer> {};

TEST_P(LoginAnswerTest, CompletesTheLogin) {
  Serve(GetParam().script);
  ASSERT_EQ(LoginToServer(&block_), 0);
  EXPECT_EQ(GameParamTable[GetParam().lastRow].value, 0x1000 + GetParam().lastRow);
  EXPECT_EQ(GameParamTable[499].value, 0x1000u + 499);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, LoginAnswerTest,
    testing::Values(
        LoginAnswer{"WordsOverTwoMessagesRecordFirst",
                    "login off\n"
                    "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
                    "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
                    "at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global\n"
                    "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params:0:300\n"
                    "at 5 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params:300:200\n",
                    299},
        LoginAnswer{"MoreThan500WordsAndAnOddTail",
                    "login off\n"
                    "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
                    "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
                    "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params 7 7 u8:1\n"
                    "at 5 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global\n",
                    0},
        LoginAnswer{"RecordAgainAfterTheWords",
                    "login off\n"
                    "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
                    "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
                    "at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global\n"
                    "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params\n"
                    "at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global\n",
                    100}),
    [](const auto& info) { return info.param.name; });

// A game message that comes while the login waits is taken and dropped unread; one that comes
// after the login stays in the session's mailbox for the game.
TEST_F(LoginTest, GameMessagesDuringTheLoginAreDroppedAndLaterOnesKept) {
  Serve(
      "login off\n"
      "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
      "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
      "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_TANK_DESTROYED 1 2 3\n"
      "at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global\n"
      "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params\n"
      "at 500 after MSG_LOGIN tcp KIND_SESSION MSG_TANK_DESTROYED 4 5 6\n");
  ASSERT_EQ(LoginToServer(&block_), 0);
  std::vector<std::uint32_t> firstWords;  // of every MSG_TANK_DESTROYED left for the game
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (firstWords.empty() && std::chrono::steady_clock::now() < deadline) {
    std::uint32_t length = 0;
    while (MailboxMessagePtr message = gGameSession.Receive(length)) {
      if (message->type == MSG_TANK_DESTROYED) {
        firstWords.push_back(arena::ByteReader(message->Bytes()).U32());
      }
    }
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(firstWords, std::vector<std::uint32_t>{4}) << "only the message after the login";
}

struct LoginFailure {
  const char* name;
  const char* script;
};

class LoginFailureTest : public LoginTest, public testing::WithParamInterface<LoginFailure> {};

// Each fails as soon as the server's answer comes, not at the 16-second time-out.
TEST_P(LoginFailureTest, FailsAndClosesTheConnection) {
  Serve(GetParam().script);
  const DWORD start = timeGetTime();
  EXPECT_EQ(LoginToServer(&block_), 1);
  EXPECT_LT(timeGetTime() - start, 16000u);
  EXPECT_FALSE(gGameSession.netSocket.IsConnected());
  EXPECT_TRUE(server_.WaitForDisconnection(5s));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LoginFailureTest,
    testing::Values(
        // The network client passes a short record on: the login's own rule refuses it.
        LoginFailure{"RecordOf283Bytes",
                     "login off\n"
                     "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
                     "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
                     "at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global:283\n"},
        LoginFailure{"RecordOf285Bytes",
                     "login off\n"
                     "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
                     "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
                     "at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global:285\n"},
        LoginFailure{"LogoutDuringTheSecondWait",
                     "login off\n"
                     "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
                     "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
                     "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params:0:100\n"
                     "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_LOGOUT\n"},
        LoginFailure{"ServerGoneDuringTheSecondWait",
                     "login off\n"
                     "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
                     "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
                     "at 0 after MSG_LOGIN close\n"},
        LoginFailure{"ServerGoneBeforeConnected",
                     "login off\n"
                     "at 0 close\n"}),
    [](const auto& info) { return info.param.name; });

TEST_F(LoginTest, NoConnectedMessageTimesOutAfter16Seconds) {
  Serve("login off\nat 0 tcp 0x10001 MSG_UDP_PORT udp_port\n");
  platform::VirtualClock clock(50000);
  platform::ScopedProcessClock scope(clock);
  EXPECT_EQ(LoginToServer(&block_), 1);
  const DWORD waited = timeGetTime() - 50000;
  EXPECT_GT(waited, 16000u);
  EXPECT_LE(waited, 16002u);
  EXPECT_FALSE(gGameSession.netSocket.IsConnected());
  EXPECT_FALSE(server_.WaitForMessage(MSG_LOGIN, 200ms).has_value());
}

// A virtual clock that has the server send MSG_CONNECTED once the first wait has lasted
// `connectAfter` ms, and then waits in real time for it to arrive, so that the login is posted
// at a known moment of the virtual clock.
class ConnectingClock : public platform::VirtualClock {
 public:
  ConnectingClock(testserver::TestServer& server, DWORD start, DWORD connectAfter)
      : VirtualClock(start), server_(server), connectAt_(start + connectAfter) {}

  void Sleep(DWORD milliseconds) override {
    VirtualClock::Sleep(milliseconds);
    const DWORD now = Milliseconds();
    if (!sent_ && now >= connectAt_) {
      server_.Send(testserver::MakeTcpMessage(KIND_SESSION, MSG_CONNECTED, {}));
      sent_ = true;
    }
    if (sent_ && now < connectAt_ + kArrivalSlack) {
      std::this_thread::sleep_for(1ms);
    }
  }

  static constexpr DWORD kArrivalSlack = 1000;

 private:
  testserver::TestServer& server_;
  DWORD connectAt_;
  bool sent_ = false;
};

// The second wait has its own 16 s from the login post, not from the start. The record that
// would end it never comes.
TEST_F(LoginTest, SecondWaitEnds16SecondsAfterTheLoginPostWithoutTheRecord) {
  Serve(
      "login off\n"
      "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
      "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params\n");
  ConnectingClock clock(server_, 50000, 12000);
  platform::ScopedProcessClock scope(clock);
  EXPECT_EQ(LoginToServer(&block_), 1);
  const DWORD waited = timeGetTime() - 50000;
  EXPECT_GT(waited, 12000u + 16000u);
  EXPECT_LE(waited, 12000u + 16000u + ConnectingClock::kArrivalSlack);
  EXPECT_TRUE(server_.WaitForMessage(MSG_LOGIN, 2s).has_value());
  EXPECT_FALSE(gGameSession.netSocket.IsConnected());
  EXPECT_EQ(GameParamTable[499].value, 0x1000u + 499);  // the table came; the record did not
}

// The real clock, counting how often the test's own thread sleeps or waits on it.
class CountingClock : public platform::ProcessClock {
 public:
  DWORD Milliseconds() override {
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now().time_since_epoch())
                                  .count());
  }
  DWORD StartMilliseconds() override { return start_; }
  std::int64_t PerformanceCounter() override { return Milliseconds(); }
  std::int64_t PerformanceFrequency() override { return 1000; }
  std::int64_t WallSeconds() override { return Milliseconds() / 1000; }
  void Sleep(DWORD milliseconds) override {
    sleeps += OnTestThread();
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  bool WaitFor(std::condition_variable& signal, std::unique_lock<std::mutex>& lock,
               DWORD milliseconds, const std::function<bool()>& ready) override {
    waits += OnTestThread();
    return signal.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
  }

  std::atomic<int> sleeps{0};
  std::atomic<int> waits{0};

 private:
  int OnTestThread() const { return std::this_thread::get_id() == testThread_ ? 1 : 0; }
  const std::thread::id testThread_ = std::this_thread::get_id();
  const DWORD start_ = Milliseconds();
};

// Both waits sleep until a message comes rather than looking every millisecond: a login that
// takes half a second wakes about once per message.
TEST_F(LoginTest, TheWaitsWakeForMessagesNotEveryMillisecond) {
  Serve(
      "login off\n"
      "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
      "at 250 tcp KIND_SESSION MSG_CONNECTED\n"
      "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params\n"
      "at 250 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global\n");
  CountingClock clock;
  platform::ScopedProcessClock scope(clock);
  ASSERT_EQ(LoginToServer(&block_), 0);
  EXPECT_EQ(clock.sleeps.load(), 0);
  EXPECT_GE(clock.waits.load(), 2);
  EXPECT_LE(clock.waits.load(), 10);
}

TEST_F(LoginTest, RefusedConnectionFails) {
  Serve("");
  server_.Stop();  // nothing listens on the port any more
  EXPECT_EQ(LoginToServer(&block_), 1);
  EXPECT_FALSE(gGameSession.netSocket.IsConnected());
}

TEST_F(LoginTest, UnterminatedTextFieldsAreReadWithinTheirSize) {
  Serve("");
  std::memset(block_.loginText, 'x', sizeof block_.loginText);
  ASSERT_EQ(LoginToServer(&block_), 0);
  auto login = server_.WaitForMessage(MSG_LOGIN, 2s);
  ASSERT_TRUE(login.has_value());
  ASSERT_EQ(login->payload.size(), sizeof block_.loginText + 1);
  EXPECT_EQ(login->payload.back(), 0);
}

}  // namespace
