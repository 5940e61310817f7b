#include "common/socket/net_socket.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/mailbox.h"
#include "common/messages.h"
#include "common/socket/net_incoming.h"
#include "platform/kernel/clock.h"
#include "tools/testserver/test_server.h"
#include "tools/testserver/wire_header.h"

namespace {

using namespace std::chrono_literals;
using testserver::Action;
using testserver::ReceivedMessage;
using testserver::Transport;

constexpr std::uint32_t kTankAddress = KIND_TANK | 7;
constexpr auto kWait = 5s;

template <class Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = kWait) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

MailboxMessagePtr WaitForMail(CMailbox& mailbox, std::chrono::milliseconds timeout = kWait) {
  MailboxMessagePtr message;
  std::uint32_t length = 0;
  WaitUntil([&] { return (message = mailbox.Receive(length)) != nullptr; }, timeout);
  return message;
}

std::vector<std::uint8_t> PayloadOf(const MailboxMessage& message) {
  return {message.Payload(), message.Payload() + message.length};
}

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  }
  return bytes;
}

Action WithSequence(Action action, std::uint32_t sequence) {
  action.sequence = sequence;
  return action;
}

std::size_t OpenDescriptors() {
  return static_cast<std::size_t>(std::distance(
      std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

class NetSocketTest : public ::testing::Test {
 protected:
  NetSocketTest() : server_(params_, std::vector<std::uint8_t>(284)) {}

  void Connect(testserver::Script script = {}) {
    const auto port = server_.Start("127.0.0.1", 0, std::move(script));
    ASSERT_TRUE(port) << server_.Error();
    client_.SetAddress(kNetworkAddress);
    ASSERT_EQ(client_.Open("127.0.0.1", *port), 1);
    ASSERT_TRUE(server_.WaitForConnection(kWait));
    Sync();
  }

  // Once a TCP message sent now has been passed on, everything the server sent by TCP before
  // has been handled too (its UDP port among it).
  void Sync() {
    server_.Send(testserver::MakeTcpMessage(kPlayerInputAddress, MSG_CHAT, {'s', 0}));
    const MailboxMessagePtr message = WaitForMail(input_);
    ASSERT_NE(message, nullptr);
    ASSERT_EQ(message->type, MSG_CHAT);
  }

  // The types of the messages waiting in a mailbox, which is emptied.
  static std::vector<std::uint32_t> Drain(CMailbox& mailbox) {
    std::vector<std::uint32_t> types;
    std::uint32_t length = 0;
    while (const MailboxMessagePtr message = mailbox.Receive(length)) {
      types.push_back(message->type);
    }
    return types;
  }

  std::array<std::uint32_t, testserver::kParameterWordCount> params_{};
  testserver::TestServer server_;
  CMailbox session_{KIND_SESSION};
  CMailbox input_{kPlayerInputAddress};
  CMailbox tank_{kTankAddress};
  CNetSocket client_{1, 1, 1};
};

TEST_F(NetSocketTest, FirstMessageOnTheStreamIsTheUdpPort) {
  Connect();
  ASSERT_TRUE(server_.WaitForMessage(MSG_ALIVE_REQUEST, kWait));
  // The server may take the alive request's datagram off its socket before the stream's first
  // message: the order that counts is the stream's.
  const std::vector<ReceivedMessage> received = server_.Received();
  const auto first = std::find_if(received.begin(), received.end(), [](const ReceivedMessage& m) {
    return m.transport == Transport::kTcp;
  });
  ASSERT_NE(first, received.end());
  EXPECT_EQ(first->type, MSG_UDP_PORT);
  EXPECT_EQ(first->address, kNetworkAddress);
  ASSERT_EQ(first->payload.size(), 2u);
  EXPECT_NE(first->payload[0] | first->payload[1], 0);
  // The server checks that datagrams come from the port announced, in network order.
  EXPECT_TRUE(server_.Faults().empty()) << server_.Faults().front();
}

TEST_F(NetSocketTest, SevenTypesGoByDatagramWithByteCountSequences) {
  Connect();
  struct Case {
    std::uint32_t type;
    std::size_t size;
    Transport transport;
  };
  const Case cases[] = {
      {MSG_TANK_STATE, 36, Transport::kUdp},       {MSG_TANK_FIRE, 24, Transport::kUdp},
      {MSG_TANK_HIT, 20, Transport::kUdp},         {MSG_MISSILE_STATE, 40, Transport::kUdp},
      {MSG_FRAME_RATE, 4, Transport::kUdp},        {MSG_ALIVE_REPLY, 4, Transport::kUdp},
      {MSG_TANK_DAMAGE_LEVEL, 4, Transport::kTcp}, {MSG_CHAT, 6, Transport::kTcp},
      {MSG_TANK_RESPAWN, 0, Transport::kTcp},      {MSG_SYNC_PING, 0, Transport::kTcp},
  };
  for (const Case& c : cases) {
    tank_.Post(kNetworkAddress, c.type, static_cast<std::uint32_t>(c.size), Pattern(c.size).data());
  }
  for (const Case& c : cases) {
    const auto message = server_.WaitForMessage(c.type, kWait);
    ASSERT_TRUE(message) << std::hex << c.type;
    EXPECT_EQ(message->transport, c.transport) << std::hex << c.type;
    EXPECT_EQ(message->address, kTankAddress) << std::hex << c.type;
    EXPECT_EQ(message->payload, Pattern(c.size)) << std::hex << c.type;
  }
  std::uint32_t sentBefore = 0;
  std::size_t datagrams = 0;
  for (const ReceivedMessage& message : server_.Received()) {
    if (message.transport == Transport::kUdp) {
      EXPECT_EQ(message.sequence, sentBefore) << std::hex << message.type;
      sentBefore += 16 + message.length;
      ++datagrams;
    }
  }
  EXPECT_GE(datagrams, 6u);
  EXPECT_TRUE(server_.Faults().empty()) << server_.Faults().front();
}

TEST_F(NetSocketTest, LowerSequenceIsDroppedAndEqualAccepted) {
  Connect();
  const std::pair<std::uint32_t, std::uint8_t> sent[] = {{100, 1}, {100, 2}, {99, 3}, {250, 4}};
  for (const auto& [sequence, mark] : sent) {
    server_.Send(
        WithSequence(testserver::MakeDatagram(kTankAddress, MSG_TANK_DESTROYED, {mark}), sequence));
  }
  std::vector<std::uint8_t> marks;
  while (const MailboxMessagePtr message = WaitForMail(tank_, 500ms)) {
    EXPECT_EQ(message->sender, kNetworkAddress);
    marks.push_back(message->Payload()[0]);
  }
  EXPECT_EQ(marks, (std::vector<std::uint8_t>{1, 2, 4}));
}

TEST_F(NetSocketTest, AliveRequestIsAnsweredAndNeverReachesAGameMailbox) {
  Connect();
  // Too short to answer; the longer one is answered with its leading four bytes.
  server_.Send(testserver::MakeDatagram(KIND_SESSION, MSG_ALIVE_REQUEST, {1, 2, 3}));
  server_.Send(
      testserver::MakeDatagram(KIND_SESSION, MSG_ALIVE_REQUEST, {0x78, 0x56, 0x34, 0x12, 0x99}));
  server_.Send(testserver::MakeTcpMessage(KIND_SESSION, MSG_TIME_SYNC, {0, 0, 0, 1}));
  server_.Send(testserver::MakeTcpMessage(KIND_SESSION, MSG_FILE_BLOCK, {5, 5}));
  const auto reply = server_.WaitForMessage(MSG_ALIVE_REPLY, kWait);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->transport, Transport::kUdp);
  EXPECT_EQ(reply->address, kNetworkAddress);
  EXPECT_EQ(reply->payload, (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12}));
  Sync();
  EXPECT_FALSE(server_.WaitForMessage(MSG_ALIVE_REPLY, 100ms, 1));
  EXPECT_EQ(Drain(session_), std::vector<std::uint32_t>{MSG_CONNECTED});
}

TEST_F(NetSocketTest, SilentServerIsGivenUp22SecondsAfterTheConnect) {
  platform::VirtualClock clock;
  platform::ScopedProcessClock scoped(clock);
  testserver::Script script;
  script.steps.push_back({0, std::nullopt, testserver::MakeAnswerAlive(false)});
  Connect(std::move(script));
  clock.Advance(21000);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(client_.IsConnected(), 1);
  clock.Advance(1000);
  EXPECT_TRUE(WaitUntil([&] { return client_.IsConnected() == 0; }));
  EXPECT_TRUE(server_.WaitForDisconnection(kWait));
  client_.Close();  // the socket thread reads the clock until it has ended
}

TEST_F(NetSocketTest, AliveReplyMeasuresTheRoundTripAndKeepsTheConnectionFor120Seconds) {
  platform::VirtualClock clock;
  platform::ScopedProcessClock scoped(clock);
  testserver::Script script;
  script.steps.push_back({0, std::nullopt, testserver::MakeAnswerAlive(false)});
  Connect(std::move(script));
  clock.Advance(20000);
  const std::uint32_t sentAt = timeGetTime() - 7;
  server_.Send(testserver::MakeDatagram(kNetworkAddress, MSG_ALIVE_REPLY,
                                        testserver::EncodeWords({sentAt})));
  EXPECT_TRUE(WaitUntil([&] { return client_.RoundTripTime() == 7; }));
  clock.Advance(119000);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(client_.IsConnected(), 1);
  clock.Advance(1000);
  EXPECT_TRUE(WaitUntil([&] { return client_.IsConnected() == 0; }));
  client_.Close();
}

TEST_F(NetSocketTest, MessageSplitOverManySendsArrivesOnce) {
  Connect();
  Action split = testserver::MakeTcpMessage(kTankAddress, MSG_TANK_DESTROYED, Pattern(40));
  split.split = 3;
  server_.Send(split);
  server_.Send(testserver::MakeTcpMessage(kTankAddress, MSG_SYNC_PING, {}));
  const MailboxMessagePtr score = WaitForMail(tank_);
  ASSERT_NE(score, nullptr);
  EXPECT_EQ(score->type, MSG_TANK_DESTROYED);
  EXPECT_EQ(score->sender, kNetworkAddress);
  EXPECT_EQ(PayloadOf(*score), Pattern(40));
  const MailboxMessagePtr respawn = WaitForMail(tank_);
  ASSERT_NE(respawn, nullptr);
  EXPECT_EQ(respawn->type, MSG_SYNC_PING);
  EXPECT_EQ(respawn->length, 0u);
  EXPECT_EQ(WaitForMail(tank_, 100ms), nullptr);
}

TEST_F(NetSocketTest, OversizedTcpMessageIsDroppedAndTheStreamStaysInStep) {
  Connect();
  Action oversized = testserver::MakeRawTcp({});
  testserver::AppendTcpHeader(oversized.payload.emplace_back().bytes,
                              testserver::WireHeader{kTankAddress, MSG_TANK_DESTROYED, 5000, 0});
  oversized.payload.push_back(testserver::MakeBytesPiece(Pattern(5000)));
  server_.Send(oversized);
  server_.Send(testserver::MakeTcpMessage(kTankAddress, MSG_TANK_CHASSIS, {4, 0, 0, 0}));
  const MailboxMessagePtr message = WaitForMail(tank_);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->type, MSG_TANK_CHASSIS);
  EXPECT_EQ(PayloadOf(*message), (std::vector<std::uint8_t>{4, 0, 0, 0}));
  EXPECT_EQ(WaitForMail(tank_, 100ms), nullptr);
  EXPECT_EQ(client_.IsConnected(), 1);
  Sync();
}

// Datagrams come from the server's host, from any of its ports (one may come before
// MSG_UDP_PORT has named the server's). A datagram is cut to its header's length; one shorter
// than its header or than the length its header gives is dropped.
TEST_F(NetSocketTest, DatagramsFromTheServersHostAreCutToTheirHeadersLength) {
  Connect();
  Action claimsMore = testserver::MakeDatagram(kTankAddress, MSG_TANK_DESTROYED, {1, 1, 1, 1});
  claimsMore.length = 8;
  Action foreign = testserver::MakeDatagram(kTankAddress, MSG_TANK_DESTROYED, {2});
  foreign.fromForeign = true;
  Action otherPort = testserver::MakeDatagram(kTankAddress, MSG_TANK_DESTROYED, {3});
  otherPort.fromOther = true;
  Action claimsLess = testserver::MakeDatagram(kTankAddress, MSG_TANK_DESTROYED, {4, 4, 4, 4});
  claimsLess.length = 2;
  server_.Send(testserver::MakeRawDatagram(std::vector<std::uint8_t>(10, 0)));
  server_.Send(claimsMore);
  server_.Send(foreign);
  server_.Send(otherPort);
  server_.Send(claimsLess);
  server_.Send(testserver::MakeDatagram(kTankAddress, MSG_TANK_DESTROYED, {5}));
  std::vector<std::vector<std::uint8_t>> payloads;
  while (const MailboxMessagePtr message =
             WaitForMail(tank_, payloads.size() < 3 ? kWait : 200ms)) {
    payloads.push_back(PayloadOf(*message));
  }
  EXPECT_EQ(payloads, (std::vector<std::vector<std::uint8_t>>{{3}, {4, 4}, {5}}));
}

TEST_F(NetSocketTest, DatagramBetweenPiecesOfATcpHeaderLeavesItWhole) {
  Connect();
  Action split = testserver::MakeTcpMessage(kTankAddress, MSG_TANK_DESTROYED, Pattern(8));
  split.split = 5;
  server_.Send(split);
  server_.Send(testserver::MakeDatagram(kTankAddress, MSG_TANK_CHASSIS, {9, 9, 9, 9}));
  std::vector<std::uint32_t> types;
  for (int i = 0; i < 2; ++i) {
    const MailboxMessagePtr message = WaitForMail(tank_);
    ASSERT_NE(message, nullptr);
    types.push_back(message->type);
    const std::vector<std::uint8_t> expected =
        message->type == MSG_TANK_DESTROYED ? Pattern(8) : std::vector<std::uint8_t>{9, 9, 9, 9};
    EXPECT_EQ(PayloadOf(*message), expected);
  }
  std::sort(types.begin(), types.end());
  EXPECT_EQ(types, (std::vector<std::uint32_t>{MSG_TANK_DESTROYED, MSG_TANK_CHASSIS}));
}

void ExpectBareLogoutAndClose(testserver::TestServer& server, const CNetSocket& client) {
  const auto logout = server.WaitForMessage(MSG_LOGOUT, kWait);
  ASSERT_TRUE(logout);
  EXPECT_EQ(logout->transport, Transport::kTcp);
  EXPECT_EQ(logout->address, kNetworkAddress);
  EXPECT_EQ(logout->length, 0u);
  EXPECT_TRUE(server.WaitForDisconnection(kWait));
  EXPECT_TRUE(server.ClosedByClient());
  EXPECT_EQ(client.IsConnected(), 0);
}

TEST_F(NetSocketTest, DisconnectingPostedToTheClientSendsABareLogoutAndCloses) {
  Connect();
  tank_.Post(kNetworkAddress, MSG_DISCONNECTING, 0, nullptr);
  ExpectBareLogoutAndClose(server_, client_);
}

TEST_F(NetSocketTest, DisconnectingFromTheServerSendsABareLogoutAndCloses) {
  Connect();
  server_.Send(testserver::MakeTcpMessage(kNetworkAddress, MSG_DISCONNECTING, {}));
  ExpectBareLogoutAndClose(server_, client_);
}

TEST_F(NetSocketTest, LogoutFromTheServerIsPassedOnThenTheConnectionCloses) {
  Connect();
  server_.Send(testserver::MakeTcpMessage(KIND_SESSION, MSG_LOGOUT, {1, 2}));
  EXPECT_TRUE(WaitUntil([&] { return client_.IsConnected() == 0; }));
  EXPECT_TRUE(server_.WaitForDisconnection(kWait));
  std::uint32_t length = 0;
  MailboxMessagePtr message;
  while ((message = session_.Receive(length)) != nullptr && message->type == MSG_CONNECTED) {
  }
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->type, MSG_LOGOUT);
  EXPECT_EQ(PayloadOf(*message), (std::vector<std::uint8_t>{1, 2}));
}

TEST_F(NetSocketTest, MessageToTheNetworkAddressGoesBackToTheServer) {
  Connect();
  server_.Send(testserver::MakeTcpMessage(kNetworkAddress, MSG_CHAT, {'h', 'i', 0}));
  const auto echoed = server_.WaitForMessage(MSG_CHAT, kWait);
  ASSERT_TRUE(echoed);
  EXPECT_EQ(echoed->address, kNetworkAddress);
  EXPECT_EQ(echoed->payload, (std::vector<std::uint8_t>{'h', 'i', 0}));
}

TEST_F(NetSocketTest, CloseStopsTheThreadAndTheCountersAddUp) {
  Connect();
  for (int i = 0; i < 50; ++i) {
    tank_.Post(kNetworkAddress, MSG_TANK_STATE, 36, Pattern(36).data());
    tank_.Post(kNetworkAddress, MSG_CHAT, 6, Pattern(6).data());
  }
  ASSERT_TRUE(server_.WaitForMessage(MSG_CHAT, kWait, 49));
  client_.Close();
  client_.Close();
  EXPECT_EQ(client_.IsConnected(), 0);
  EXPECT_TRUE(server_.WaitForDisconnection(kWait));
  std::uint32_t tcpBytes = 0;
  for (const ReceivedMessage& message : server_.Received()) {
    if (message.transport == Transport::kTcp) {
      tcpBytes += 12 + message.length;
    }
  }
  const NetCounters& counters = client_.Counters();
  EXPECT_EQ(counters.tcpBytesSent, tcpBytes);
  EXPECT_GE(counters.tcpSends, 51u);
  EXPECT_GT(counters.tcpBytesReceived, 0u);
  EXPECT_GE(counters.selects, counters.readablePumps);
  EXPECT_GE(counters.maxReceivesPerPump, 1u);
  EXPECT_TRUE(client_.ErrorText().empty());
}

TEST_F(NetSocketTest, RefusedConnectEndsTheConnectionWithoutReceiveErrors) {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size), 0);
  ::close(probe);  // nobody listens on that port now
  if (client_.Open("127.0.0.1", ntohs(address.sin_port)) == 1) {
    EXPECT_TRUE(WaitUntil([&] { return client_.IsConnected() == 0; }));
  }
  client_.Close();
  EXPECT_TRUE(client_.ErrorText().empty()) << client_.ErrorText();
  EXPECT_EQ(client_.Counters().receiveSteps, 0u);
}

TEST_F(NetSocketTest, FailingOpenLeavesNothingOpen) {
  const std::size_t before = OpenDescriptors();
  EXPECT_EQ(client_.Open("no-such-host.invalid", 4000), 0);
  EXPECT_EQ(client_.IsConnected(), 0);
  EXPECT_EQ(OpenDescriptors(), before);
}

// Lines the client logs, from whichever thread logs them.
std::mutex gLogMutex;
std::vector<std::string> gLogLines;

void CaptureLog(int level, const char* format, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  const std::lock_guard lock(gLogMutex);
  gLogLines.push_back(std::to_string(level) + " " + text);
}

std::vector<std::string> LoggedLines() {
  const std::lock_guard lock(gLogMutex);
  return gLogLines;
}

std::string ShortMessageLine(std::uint32_t type, std::size_t size, std::uint32_t wanted) {
  char text[96];
  std::snprintf(text, sizeof text, "0 short message: type 0x%08X, %zu bytes of %u", type, size,
                wanted);
  return text;
}

// Every type of a fixed size: one byte short is dropped and logged, whether it would be passed on
// or read by the client itself; three bytes longer is passed on whole, to be read for its leading
// bytes.
TEST_F(NetSocketTest, ShortMessagesAreDroppedAndLoggedLongerOnesPassedOn) {
  gLogLines.clear();
  CNetSocket::SetLogFunction(&CaptureLog);
  Connect();
  std::vector<std::string> expectedLines;
  std::vector<std::pair<std::uint32_t, std::size_t>> expectedMail;
  for (const MessageInfo& info : kMessageCatalogue) {
    const std::uint32_t wanted = MinimumReceivedPayload(info.type);
    if (wanted == 0 || info.type == MSG_TIME_SYNC || IsSizeRuledByReceiver(info.type)) {
      continue;  // nothing to gate, consumed unread, or gated by its receiver
    }
    server_.Send(testserver::MakeTcpMessage(kTankAddress, info.type, Pattern(wanted - 1)));
    expectedLines.push_back(ShortMessageLine(info.type, wanted - 1, wanted));
    if (ClassifyIncoming(info.type, Pattern(wanted)).action == NetIncoming::Action::kPassOn) {
      server_.Send(testserver::MakeTcpMessage(kTankAddress, info.type, Pattern(wanted + 3)));
      expectedMail.emplace_back(info.type, wanted + 3);
    }
  }
  // The same gate for datagrams.
  server_.Send(testserver::MakeDatagram(kTankAddress, MSG_PLAY_SOUND, Pattern(11)));
  expectedLines.push_back(ShortMessageLine(MSG_PLAY_SOUND, 11, 12));
  Sync();
  ASSERT_TRUE(WaitUntil([] { return LoggedLines().size() >= 2 + 15; }));
  CNetSocket::SetLogFunction(nullptr);
  std::vector<std::string> shortLines;
  for (const std::string& line : LoggedLines()) {
    if (line.find("short message") != std::string::npos) {
      shortLines.push_back(line);
    }
  }
  // The datagram may overtake the stream.
  std::sort(shortLines.begin(), shortLines.end());
  std::sort(expectedLines.begin(), expectedLines.end());
  EXPECT_EQ(shortLines, expectedLines);
  std::vector<std::pair<std::uint32_t, std::size_t>> mail;
  std::uint32_t length = 0;
  while (const MailboxMessagePtr message = tank_.Receive(length)) {
    EXPECT_EQ(PayloadOf(*message), Pattern(length));
    mail.emplace_back(message->type, length);
  }
  EXPECT_EQ(mail, expectedMail);
  EXPECT_EQ(client_.IsConnected(), 1);
}

TEST_F(NetSocketTest, SocketBufferSizesAreLogged) {
  gLogLines.clear();
  CNetSocket::SetLogFunction(&CaptureLog);
  Connect();
  CNetSocket::SetLogFunction(nullptr);
  const std::lock_guard lock(gLogMutex);
  ASSERT_EQ(gLogLines.size(), 2u);
  EXPECT_EQ(gLogLines[0].rfind("0 Socket send buffer is ", 0), 0u) << gLogLines[0];
  EXPECT_EQ(gLogLines[1].rfind("0 Socket recv buffer is ", 0), 0u) << gLogLines[1];
  EXPECT_NE(gLogLines[1].find(" bytes"), std::string::npos);
}

TEST(NetSocketUnthreadedTest, OnlyPollMovesAnUnthreadedClient) {
  std::array<std::uint32_t, testserver::kParameterWordCount> params{};
  testserver::TestServer server(params, std::vector<std::uint8_t>(284));
  const auto port = server.Start("127.0.0.1", 0, {});
  ASSERT_TRUE(port) << server.Error();
  CNetSocket client(1, 1, 0);
  client.SetAddress(kNetworkAddress);
  ASSERT_EQ(client.Open("127.0.0.1", *port), 1);
  EXPECT_FALSE(server.WaitForMessage(MSG_UDP_PORT, 100ms));
  EXPECT_TRUE(WaitUntil([&] {
    client.Poll();
    return server.Received().size() >= 2;  // the port, then the first alive request
  }));
  EXPECT_EQ(server.Received()[0].type, MSG_UDP_PORT);
  client.Close();
  EXPECT_EQ(client.AveragePumpInterval(), 0u);  // no socket thread ran
}

}  // namespace

TEST_F(NetSocketTest, ASecondConnectionStartsFromACleanSlate) {
  Connect();
  server_.Send(WithSequence(testserver::MakeDatagram(kTankAddress, MSG_TANK_DESTROYED, {1}), 5000));
  ASSERT_NE(WaitForMail(tank_), nullptr);
  client_.Close();
  // Queued for the old connection: must not reach the new one.
  client_.Post(kNetworkAddress, MSG_CHAT, 2, "x");

  testserver::TestServer second(params_, std::vector<std::uint8_t>(284));
  const auto port = second.Start("127.0.0.1", 0, {});
  ASSERT_TRUE(port) << second.Error();
  ASSERT_EQ(client_.Open("127.0.0.1", *port), 1);
  ASSERT_TRUE(second.WaitForMessage(MSG_ALIVE_REQUEST, kWait));
  const std::vector<ReceivedMessage> received = second.Received();
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received[0].type, MSG_UDP_PORT);
  EXPECT_FALSE(second.WaitForMessage(MSG_CHAT, 100ms));
  // The new server's sequences count from zero again, and so do the client's.
  second.Send(testserver::MakeDatagram(kTankAddress, MSG_TANK_DESTROYED, {2}));
  const MailboxMessagePtr state = WaitForMail(tank_);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->Payload()[0], 2);
  EXPECT_TRUE(second.Faults().empty()) << second.Faults().front();
  client_.Close();
  second.Stop();
}
