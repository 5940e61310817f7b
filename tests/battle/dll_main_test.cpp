#include "battle/main/dll_main.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <variant>

#include "base/byte_reader.h"
#include "battle/core/game_params.h"
#include "battle/core/log.h"
#include "battle/main/game_session.h"
#include "battle/main/game_window_proc.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/sysinfo.h"
#include "platform/window/cursor.h"
#include "tests/battle/game_fixture.h"
#include "tests/battle_processor/scripted_processor.h"
#include "tools/testserver/server_params.h"
#include "tools/testserver/test_server.h"

namespace {

using namespace std::chrono_literals;

std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t index) {
  arena::ByteReader reader(bytes);
  reader.Seek(4 * index);
  return reader.U32();
}

// Waits for the server's parameters 300 ms after the login text, so that a test can look at the
// window while the game runs.
constexpr char kSlowLogin[] =
    "login off\n"
    "at 0 tcp 0x10001 MSG_UDP_PORT udp_port\n"
    "at 0 tcp KIND_SESSION MSG_CONNECTED\n"
    "at 300 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params\n"
    "at 300 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global\n";

class DllMainTest : public test::GameFixture {
 protected:
  DllMainTest() : server_(MakeServerParamWords(), MakeServerGlobalParamsPayload()) {
    // A processor whose clock is not measured, so that every word of the report is known.
    processor_.vendor = "AuthenticAMD";
    processor_.family = 6;
    processor_.features = 0x0183FBFF;
    errorSink_.SetAddress(KIND_ERROR_SINK);
    gFrameTime = 0;
  }

  ~DllMainTest() override {
    server_.Stop();
    InitGameParams();
    std::uint32_t length = 0;
    while (gGameSession.Receive(length) != nullptr) {
    }
    // Nothing of this game may reach the next test's server.
    while (gGameSession.netSocket.Receive(length) != nullptr) {
    }
    gGameSession.quitFlag = 0;
    gNonIntelProcessor = 0;
  }

  void Serve(const std::string& scriptText) {
    auto parsed = testserver::ParseScript(scriptText);
    ASSERT_TRUE(std::holds_alternative<testserver::Script>(parsed));
    auto port = server_.Start("127.0.0.1", 0, std::get<testserver::Script>(parsed));
    ASSERT_TRUE(port.has_value()) << server_.Error();
    host_.login.serverPort = *port;
    std::strcpy(host_.login.serverHost, "127.0.0.1");
    std::strcpy(host_.login.loginText, "pilot secret");
  }

  // The error reports that reached the sink, in order.
  std::vector<std::string> Reports() {
    std::vector<std::string> reports;
    std::uint32_t length = 0;
    while (MailboxMessagePtr message = errorSink_.Receive(length)) {
      EXPECT_EQ(message->type, MSG_CHAT_REPORT);
      EXPECT_EQ(message->sender, kErrorReportSender);
      reports.emplace_back(reinterpret_cast<const char*>(message->Payload()));
    }
    return reports;
  }

  // What every path of dll_main leaves behind.
  void ExpectStopped() {
    EXPECT_EQ(gGameSession.quitFlag, 1u) << "the world stop ran";
    EXPECT_FALSE(gGameSession.netSocket.IsConnected());
    EXPECT_EQ(WindowProcedure(), &test::HostWindowProc) << "the host's procedure is back";
    EXPECT_EQ(host_.login.window, window_);
    int arrow = 0;
    EXPECT_EQ(SetCursor(&arrow), nullptr) << "the cursor was hidden";
    LogPrintf(0, "written after the game");
    EXPECT_EQ(Log().find("written after the game"), std::string::npos) << "the log is closed";
    EXPECT_EQ(gFrameTime, 0u) << "no frame ran";
  }

  test::ScriptedProcessor processor_;
  platform::ScopedProcessorSource scopedProcessor_{processor_};
  testserver::TestServer server_;
  CMailbox errorSink_;
};

// The login block names a world pack that is not there, so the world start fails whatever it
// reports; the game still reports the machine, skips the loop and stops.
TEST_F(DllMainTest, LoginThenFailedWorldStartReportsTheMachineAndStops) {
  Serve(kSlowLogin);
  std::strcpy(host_.login.worldPackName, "absent.r3x");
  std::strcpy(host_.login.worldFileName, "absent.wld");
  std::atomic<WNDPROC> procedureWhileRunning{nullptr};
  std::thread watcher([&] {
    if (server_.WaitForMessage(MSG_LOGIN, 5s)) {
      procedureWhileRunning = WindowProcedure();
    }
  });
  const int result = dll_main(nullptr, &host_);
  watcher.join();

  EXPECT_EQ(result, 1);
  EXPECT_EQ(procedureWhileRunning.load(), &GameWindowProc);
  auto report = server_.WaitForMessage(MSG_SYSTEM_INFO, 5s);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->address, kNetworkAddress) << "sent from the network client's mailbox";
  ASSERT_EQ(FindMessageInfo(MSG_SYSTEM_INFO)->sent, FixedPayload(report->payload.size()))
      << "the report is the record the catalogue gives";
  MEMORYSTATUS memory{};
  GlobalMemoryStatus(&memory);
  // Signature, features, "Auth" "enti" "cAMD", no clock measured, the physical memory.
  const std::uint32_t expected[7] = {0x621,      0x0183FBFF, 0x68747541,        0x69746E65,
                                     0x444D4163, 0,          memory.dwTotalPhys};
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(WordAt(report->payload, i), expected[i]) << "word " << i;
  }
  for (const std::string& report : Reports()) {
    EXPECT_TRUE(report.starts_with("WORLD:")) << report;
  }
  EXPECT_TRUE(server_.WaitForDisconnection(5s));
  EXPECT_TRUE(server_.ClosedByClient());
  EXPECT_TRUE(server_.Faults().empty());
  EXPECT_NE(Log().find("00 Socket send buffer is "), std::string::npos);
  ExpectStopped();
}

TEST_F(DllMainTest, LoginTimeoutSkipsReportAndWorld) {
  Serve("login off\nat 0 tcp 0x10001 MSG_UDP_PORT udp_port\n");
  platform::VirtualClock clock(50000);
  platform::ScopedProcessClock scopedClock(clock);

  EXPECT_EQ(dll_main(nullptr, &host_), 1);
  EXPECT_GT(timeGetTime() - 50000, 16000u);
  EXPECT_FALSE(server_.WaitForMessage(MSG_SYSTEM_INFO, 200ms).has_value());
  EXPECT_FALSE(server_.WaitForMessage(MSG_LOGIN, 0ms).has_value());
  EXPECT_TRUE(Reports().empty()) << "no world start";
  ExpectStopped();
}

TEST_F(DllMainTest, RefusedConnectionSkipsReportAndWorld) {
  Serve("");
  server_.Stop();  // nothing listens on the port any more
  EXPECT_EQ(dll_main(nullptr, &host_), 1);
  EXPECT_TRUE(Reports().empty()) << "no world start";
  ExpectStopped();
}

}  // namespace
