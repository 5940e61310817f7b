#include "tools/testserver/test_server.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "common/messages.h"
#include "raw_client.h"

namespace testserver {
namespace {

using std::chrono::milliseconds;

// Long enough for anything that should happen; the short one for what should not.
constexpr milliseconds kWait{5000};
constexpr milliseconds kQuiet{150};

std::array<std::uint32_t, kParameterWordCount> TestWords() {
  std::array<std::uint32_t, kParameterWordCount> words{};
  for (std::uint32_t i = 0; i < kParameterWordCount; ++i) {
    words[i] = 0x01000000u + i * 7;
  }
  return words;
}

std::vector<std::uint8_t> TestRecord() {
  std::vector<std::uint8_t> record(284);
  for (std::size_t i = 0; i < record.size(); ++i) {
    record[i] = static_cast<std::uint8_t>(i * 5 + 1);
  }
  return record;
}

std::vector<std::uint8_t> WordBytes(std::size_t first, std::size_t count) {
  const auto words = TestWords();
  arena::ByteWriter bytes;
  for (std::size_t i = first; i < first + count; ++i) {
    bytes.U32(words[i]);
  }
  return bytes.Take();
}

std::vector<std::uint8_t> PortBytes(std::uint16_t port) {
  arena::ByteWriter bytes;
  bytes.U16BigEndian(port);
  return bytes.Take();
}

std::vector<std::uint8_t> Text(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// One message read off the stream with the test's own reading of the header.
struct StreamMessage {
  std::uint32_t address = 0;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> payload;
};

std::optional<StreamMessage> ReadMessage(RawClient& client) {
  const std::vector<std::uint8_t> header = client.ReadTcp(12, kWait);
  if (header.size() != 12) {
    return std::nullopt;
  }
  arena::ByteReader fields(header);
  StreamMessage message;
  message.address = fields.U32();
  message.type = fields.U32();
  const std::uint32_t length = fields.U32();
  message.payload = client.ReadTcp(length, kWait);
  if (message.payload.size() != length) {
    return std::nullopt;
  }
  return message;
}

class TestServerTest : public ::testing::Test {
 protected:
  std::uint16_t StartWith(const std::string& script_text) {
    auto parsed = ParseScript(script_text);
    EXPECT_TRUE(std::holds_alternative<Script>(parsed));
    const std::optional<std::uint16_t> port =
        server_.Start("127.0.0.1", 0, std::get<Script>(std::move(parsed)));
    EXPECT_TRUE(port) << server_.Error();
    return port.value_or(0);
  }

  void AnnounceUdpPort(RawClient& client) {
    client.SendTcp(
        Concat(TcpHeaderBytes(kNetworkAddress, MSG_UDP_PORT, 2), PortBytes(client.UdpPort())));
    ASSERT_TRUE(server_.WaitForMessage(MSG_UDP_PORT, kWait));
  }

  TestServer server_{TestWords(), TestRecord()};
};

TEST_F(TestServerTest, AnswersTheLoginByteForByte) {
  RawClient client(StartWith(""));
  ASSERT_TRUE(client.IsConnected());
  client.SendTcp(
      Concat(TcpHeaderBytes(kNetworkAddress, MSG_UDP_PORT, 2), PortBytes(client.UdpPort())));

  const std::vector<std::uint8_t> accepted =
      Concat(Concat(TcpHeaderBytes(0x10001, 0x1000010, 2), PortBytes(server_.UdpPort())),
             TcpHeaderBytes(0x80000, 0x1000008, 0));
  EXPECT_EQ(client.ReadTcp(accepted.size(), kWait), accepted);
  // The parameters wait for the login text.
  EXPECT_TRUE(client.ReadTcp(1, kQuiet).empty());

  client.SendTcp(Concat(TcpHeaderBytes(KIND_SESSION, MSG_LOGIN, 6), Text("pilot")));
  const std::vector<std::uint8_t> parameters =
      Concat(Concat(Concat(TcpHeaderBytes(0x80000, 0x2000007, 2000), WordBytes(0, 500)),
                    TcpHeaderBytes(0x80000, 0x4000005, 284)),
             TestRecord());
  EXPECT_EQ(client.ReadTcp(parameters.size(), kWait), parameters);

  const std::optional<ReceivedMessage> login = server_.WaitForMessage(MSG_LOGIN, kWait);
  ASSERT_TRUE(login);
  EXPECT_EQ(login->transport, Transport::kTcp);
  EXPECT_EQ(login->address, KIND_SESSION);
  EXPECT_EQ(login->length, 6u);
  EXPECT_EQ(login->payload, Text("pilot"));
  EXPECT_TRUE(server_.WaitForScriptEnd(kWait));
  EXPECT_TRUE(server_.Faults().empty());
}

TEST_F(TestServerTest, BindsUdpToTheTcpPortNumber) {
  const std::uint16_t port = StartWith("");
  EXPECT_EQ(server_.UdpPort(), port);
  EXPECT_NE(server_.OtherUdpPort(), port);
}

TEST_F(TestServerTest, RefusesAddressesOutsideLoopback) {
  for (const char* address :
       {"0.0.0.0", "10.0.0.1", "192.168.1.1", "128.0.0.1", "localhost", "::1", ""}) {
    TestServer server(TestWords(), TestRecord());
    EXPECT_FALSE(server.Start(address, 0, Script{})) << address;
    EXPECT_NE(server.Error().find("127.0.0.0/8"), std::string::npos) << server.Error();
  }
  TestServer other_loopback(TestWords(), TestRecord());
  EXPECT_TRUE(other_loopback.Start("127.0.0.3", 0, Script{})) << other_loopback.Error();
}

TEST_F(TestServerTest, LoginFailureAnswersCanBeScripted) {
  RawClient client(
      StartWith("login off\n"
                "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params:0:300\n"
                "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_PARAM_TABLE params:300:200 9\n"
                "at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global:283\n"
                "at 0 after MSG_LOGIN tcp KIND_SESSION GLOBAL_PARAMS_PASS global:285\n"
                "at 0 after MSG_LOGIN tcp KIND_SESSION MSG_LOGOUT\n"));
  // Without the standard login nothing comes before the login text.
  EXPECT_TRUE(client.ReadTcp(1, kQuiet).empty());
  client.SendTcp(Concat(TcpHeaderBytes(KIND_SESSION, MSG_LOGIN, 2), Text("p")));

  arena::ByteWriter extendedWords(WordBytes(300, 200));
  extendedWords.U32(9);
  const std::vector<std::uint8_t> extended = extendedWords.Take();
  std::vector<std::uint8_t> short_record = TestRecord();
  short_record.pop_back();
  std::vector<std::uint8_t> long_record = TestRecord();
  long_record.push_back(0);
  const std::vector<StreamMessage> expected{
      {KIND_SESSION, MSG_PARAM_TABLE, WordBytes(0, 300)},
      {KIND_SESSION, MSG_PARAM_TABLE, extended},
      {KIND_SESSION, GLOBAL_PARAMS_PASS, short_record},
      {KIND_SESSION, GLOBAL_PARAMS_PASS, long_record},
      {KIND_SESSION, MSG_LOGOUT, {}},
  };
  for (const StreamMessage& want : expected) {
    const std::optional<StreamMessage> got = ReadMessage(client);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->address, want.address);
    EXPECT_EQ(got->type, want.type);
    EXPECT_EQ(got->payload, want.payload);
  }
}

TEST_F(TestServerTest, PlaysTheScriptInTimeOrder) {
  const auto start = std::chrono::steady_clock::now();
  RawClient client(
      StartWith("login off\n"
                "at 60 tcp KIND_PLAYER_INPUT MSG_CHAT \"third\"\n"
                "at 20 tcp KIND_PLAYER_INPUT MSG_CHAT \"first\"\n"
                "at 40 after MSG_LOGIN tcp KIND_PLAYER_INPUT MSG_CHAT \"second\"\n"
                "at 20 tcp KIND_PLAYER_INPUT MSG_CHAT \"first too\"\n"));
  client.SendTcp(Concat(TcpHeaderBytes(KIND_SESSION, MSG_LOGIN, 2), Text("p")));

  const std::vector<std::pair<std::string, int>> expected{
      {"first", 20}, {"first too", 20}, {"second", 40}, {"third", 60}};
  for (const auto& [text, atMs] : expected) {
    const std::optional<StreamMessage> got = ReadMessage(client);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->address, KIND_PLAYER_INPUT);
    EXPECT_EQ(got->type, MSG_CHAT);
    EXPECT_EQ(got->payload, Text(text));
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(atMs)) << text;
  }
  EXPECT_TRUE(server_.WaitForScriptEnd(kWait));
}

TEST_F(TestServerTest, RecordsTheClientsMessagesWhateverTheirPieces) {
  RawClient client(StartWith("login off"));
  const std::vector<std::uint8_t> chat =
      Concat(TcpHeaderBytes(KIND_PLAYER_INPUT, MSG_CHAT, 3), Text("hi"));
  for (const std::uint8_t byte : chat) {
    client.SendTcp({byte});
    std::this_thread::sleep_for(milliseconds(1));
  }
  client.SendTcp(Concat(Concat(TcpHeaderBytes(kNetworkAddress, MSG_QUIT, 0), chat),
                        TcpHeaderBytes(kNetworkAddress, MSG_QUIT, 0)));

  const std::optional<ReceivedMessage> second_chat = server_.WaitForMessage(MSG_CHAT, kWait, 1);
  ASSERT_TRUE(second_chat);
  EXPECT_EQ(second_chat->payload, Text("hi"));
  ASSERT_TRUE(server_.WaitForMessage(MSG_QUIT, kWait, 1));
  EXPECT_FALSE(server_.WaitForMessage(MSG_QUIT, kQuiet, 2));

  const std::vector<ReceivedMessage> all = server_.Received();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].type, MSG_CHAT);
  EXPECT_EQ(all[0].address, KIND_PLAYER_INPUT);
  EXPECT_EQ(all[1].type, MSG_QUIT);
  EXPECT_EQ(all[1].length, 0u);
  EXPECT_TRUE(all[1].payload.empty());
  EXPECT_EQ(server_.Received(3).size(), 1u);
  EXPECT_TRUE(server_.Received(4).empty());
  EXPECT_TRUE(server_.Faults().empty());
}

TEST_F(TestServerTest, SplitsAMessageIntoSeparateSends) {
  const auto start = std::chrono::steady_clock::now();
  RawClient client(
      StartWith("login off\nat 0 tcp split=4 KIND_PLAYER_INPUT MSG_CHAT \"hello world\""));
  const std::vector<std::uint8_t> expected =
      Concat(TcpHeaderBytes(KIND_PLAYER_INPUT, MSG_CHAT, 12), Text("hello world"));
  EXPECT_EQ(client.ReadTcp(expected.size(), kWait), expected);
  // Six pieces with a pause of 2 ms after each but the last.
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(10));
}

TEST_F(TestServerTest, AnswersAliveRequestsFromTheServerPort) {
  RawClient client(StartWith("login off"));
  AnnounceUdpPort(client);
  client.SendDatagram(Concat(DatagramHeaderBytes(kNetworkAddress, MSG_ALIVE_REQUEST, 4, 0),
                             {0x78, 0x56, 0x34, 0x12}),
                      server_.UdpPort());

  const std::optional<RawClient::Received> reply = client.ReadDatagram(kWait);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->source_port, server_.UdpPort());
  EXPECT_EQ(reply->bytes,
            Concat(DatagramHeaderBytes(0x10001, 0x100000A, 4, 0), {0x78, 0x56, 0x34, 0x12}));
  const std::optional<ReceivedMessage> request = server_.WaitForMessage(MSG_ALIVE_REQUEST, kWait);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->transport, Transport::kUdp);
  EXPECT_EQ(request->sequence, 0u);
  EXPECT_EQ(request->payload, (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12}));
  EXPECT_TRUE(server_.Faults().empty());
}

TEST_F(TestServerTest, StaysSilentWhenAliveAnswersAreOff) {
  RawClient client(StartWith("login off\nat 0 answer_alive off"));
  AnnounceUdpPort(client);
  ASSERT_TRUE(server_.WaitForScriptEnd(kWait));
  client.SendDatagram(
      Concat(DatagramHeaderBytes(kNetworkAddress, MSG_ALIVE_REQUEST, 4, 0), {1, 0, 0, 0}),
      server_.UdpPort());
  ASSERT_TRUE(server_.WaitForMessage(MSG_ALIVE_REQUEST, kWait));
  EXPECT_FALSE(client.ReadDatagram(kQuiet));
}

TEST_F(TestServerTest, SendsAliveRequestsAndRecordsTheReply) {
  RawClient client(StartWith("login off\nat 0 udp 0x10001 MSG_ALIVE_REQUEST 77"));
  AnnounceUdpPort(client);
  const std::optional<RawClient::Received> request = client.ReadDatagram(kWait);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->bytes,
            Concat(DatagramHeaderBytes(kNetworkAddress, MSG_ALIVE_REQUEST, 4, 0), {77, 0, 0, 0}));
  client.SendDatagram(
      Concat(DatagramHeaderBytes(kNetworkAddress, MSG_ALIVE_REPLY, 4, 0), {77, 0, 0, 0}),
      server_.UdpPort());
  const std::optional<ReceivedMessage> reply = server_.WaitForMessage(MSG_ALIVE_REPLY, kWait);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->payload, (std::vector<std::uint8_t>{77, 0, 0, 0}));
}

TEST_F(TestServerTest, DatagramsCarryRunningSequenceOrChosenHeaders) {
  RawClient client(
      StartWith("login off\n"
                "at 0 udp KIND_TANK+5 MSG_TANK_STATE 1 2 3\n"
                "at 0 udp KIND_TANK+5 MSG_TANK_STATE 4\n"
                "at 0 udp seq=7 len=99 KIND_TANK+5 MSG_TANK_STATE 5\n"
                "at 0 udp from=other raw bytes:0102\n"
                "at 0 udp KIND_TANK MSG_TANK_STATE\n"));
  // Datagrams wait until the client has told its port.
  EXPECT_FALSE(client.ReadDatagram(kQuiet));
  AnnounceUdpPort(client);

  struct Expected {
    std::vector<std::uint8_t> bytes;
    std::uint16_t source_port;
  };
  const std::vector<Expected> expected{
      {Concat(DatagramHeaderBytes(0x90005, MSG_TANK_STATE, 12, 0),
              {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}),
       server_.UdpPort()},
      {Concat(DatagramHeaderBytes(0x90005, MSG_TANK_STATE, 4, 28), {4, 0, 0, 0}),
       server_.UdpPort()},
      {Concat(DatagramHeaderBytes(0x90005, MSG_TANK_STATE, 99, 7), {5, 0, 0, 0}),
       server_.UdpPort()},
      {{1, 2}, server_.OtherUdpPort()},
      {DatagramHeaderBytes(0x90000, MSG_TANK_STATE, 0, 70), server_.UdpPort()},
  };
  for (const Expected& want : expected) {
    const std::optional<RawClient::Received> got = client.ReadDatagram(kWait);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->bytes, want.bytes);
    EXPECT_EQ(got->source_port, want.source_port);
  }
}

TEST_F(TestServerTest, SendPlaysAtOnce) {
  RawClient client(StartWith("login off"));
  ASSERT_TRUE(server_.WaitForConnection(kWait));
  server_.Send(MakeTcpMessage(KIND_SESSION, MSG_WEATHER_ENABLE, EncodeWords({1})));
  server_.Send(MakeRawTcp({9, 8, 7}));
  EXPECT_EQ(
      client.ReadTcp(19, kWait),
      Concat(Concat(TcpHeaderBytes(KIND_SESSION, MSG_WEATHER_ENABLE, 4), {1, 0, 0, 0}), {9, 8, 7}));
}

TEST_F(TestServerTest, ClosesTheConnectionWhenScripted) {
  RawClient client(StartWith("at 0 after MSG_LOGIN close"));
  client.SendTcp(Concat(TcpHeaderBytes(KIND_SESSION, MSG_LOGIN, 2), Text("p")));
  // Everything queued before the close still arrives: UDP port, connected, table, record.
  const std::size_t login_bytes = 14 + 12 + (12 + 2000) + (12 + 284);
  EXPECT_EQ(client.ReadTcp(login_bytes, kWait).size(), login_bytes);
  EXPECT_TRUE(client.WaitForTcpClose(kWait));
  EXPECT_TRUE(server_.WaitForDisconnection(kWait));
  EXPECT_FALSE(server_.ClosedByClient());
}

TEST_F(TestServerTest, NoticesTheClientClosing) {
  RawClient client(StartWith(""));
  ASSERT_TRUE(server_.WaitForConnection(kWait));
  EXPECT_FALSE(server_.WaitForDisconnection(milliseconds(10)));
  client.CloseTcp();
  EXPECT_TRUE(server_.WaitForDisconnection(kWait));
  EXPECT_TRUE(server_.ClosedByClient());
}

struct FaultCase {
  const char* name;
  std::function<void(RawClient&, std::uint16_t server_udp_port)> act;
  const char* fault;
};

class ClientFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ClientFault, IsReported) {
  TestServer server(TestWords(), TestRecord());
  Script script;
  script.standardLogin = false;
  const std::optional<std::uint16_t> port = server.Start("127.0.0.1", 0, script);
  ASSERT_TRUE(port);
  RawClient client(*port);
  ASSERT_TRUE(server.WaitForConnection(kWait));
  GetParam().act(client, server.UdpPort());
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  std::vector<std::string> faults;
  while (faults.empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(5));
    faults = server.Faults();
  }
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_NE(faults[0].find(GetParam().fault), std::string::npos) << faults[0];
}

std::vector<std::uint8_t> UdpPortMessage(std::uint16_t port) {
  return Concat(TcpHeaderBytes(kNetworkAddress, MSG_UDP_PORT, 2), PortBytes(port));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClientFault,
    ::testing::Values(
        FaultCase{"ShortDatagram",
                  [](RawClient& c, std::uint16_t udp) {
                    c.SendDatagram({1, 2, 3}, udp);
                  },
                  "a datagram of 3 bytes is shorter than its header"},
        FaultCase{"LengthDisagrees",
                  [](RawClient& c, std::uint16_t udp) {
                    c.SendDatagram(
                        Concat(DatagramHeaderBytes(kNetworkAddress, MSG_FRAME_RATE, 8, 0),
                               {1, 0, 0, 0}),
                        udp);
                  },
                  "MSG_FRAME_RATE to 0x10001 carries 4 payload bytes but announces 8"},
        FaultCase{
            "WrongSequence",
            [](RawClient& c, std::uint16_t udp) {
              c.SendDatagram(
                  Concat(DatagramHeaderBytes(kNetworkAddress, MSG_FRAME_RATE, 4, 0), {1, 0, 0, 0}),
                  udp);
              c.SendDatagram(
                  Concat(DatagramHeaderBytes(kNetworkAddress, MSG_FRAME_RATE, 4, 16), {1, 0, 0, 0}),
                  udp);
            },
            "has sequence 16, expected 20"},
        FaultCase{"OtherSourcePort",
                  [](RawClient& c, std::uint16_t udp) {
                    c.SendTcp(UdpPortMessage(static_cast<std::uint16_t>(c.UdpPort() ^ 1)));
                    std::this_thread::sleep_for(milliseconds(50));
                    c.SendDatagram(DatagramHeaderBytes(kNetworkAddress, MSG_FRAME_RATE, 0, 0), udp);
                  },
                  "not from the port the client announced"},
        FaultCase{"UdpPortOfThreeBytes",
                  [](RawClient& c, std::uint16_t) {
                    c.SendTcp(Concat(TcpHeaderBytes(kNetworkAddress, MSG_UDP_PORT, 3), {1, 2, 3}));
                  },
                  "MSG_UDP_PORT carries 3 bytes, not 2"},
        FaultCase{"OversizeTcpHeader",
                  [](RawClient& c, std::uint16_t) {
                    c.SendTcp(TcpHeaderBytes(kNetworkAddress, MSG_CHAT, 4085));
                  },
                  "announces 4085 payload bytes, more than 4084"},
        FaultCase{"ClosedInsideAMessage",
                  [](RawClient& c, std::uint16_t) {
                    c.SendTcp(Concat(TcpHeaderBytes(kNetworkAddress, MSG_CHAT, 8), {1, 2, 3}));
                    c.CloseTcp();
                  },
                  "ended inside a message (15 bytes of it received)"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace testserver
