// The network client's error texts, its retry of a blocked send and its sends on the posting
// thread, against a bare server socket that the test controls byte by byte (reads held back, the
// connection reset), with a client pumped by the test or by its socket thread and a virtual clock
// that stands still.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "base/byte_reader.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "common/socket/net_framing.h"
#include "common/socket/net_socket.h"
#include "error_texts.h"
#include "platform/kernel/clock.h"

namespace {

using namespace std::chrono_literals;

// A listening socket on loopback and the one connection it accepts.
class BareServer {
 public:
  // A small receive buffer keeps the kernel from taking in more than a few kilobytes unread.
  explicit BareServer(int receiveBuffer = 0) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBuffer != 0) {
      ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(listener_, 1);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
  }
  ~BareServer() {
    if (connection_ >= 0) {
      ::close(connection_);
    }
    ::close(listener_);
  }
  BareServer(const BareServer&) = delete;
  BareServer& operator=(const BareServer&) = delete;

  std::uint16_t port() const { return port_; }
  int connection() const { return connection_; }
  bool Accept() {
    connection_ = ::accept(listener_, nullptr, nullptr);
    return connection_ >= 0;
  }
  // Closes the connection with a reset rather than an orderly end.
  void Reset() {
    const linger abort{1, 0};
    ::setsockopt(connection_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(connection_);
    connection_ = -1;
  }
  // Whatever has arrived, without waiting.
  std::vector<std::uint8_t> ReadAvailable() {
    std::vector<std::uint8_t> bytes(65536);
    const ssize_t got = ::recv(connection_, bytes.data(), bytes.size(), MSG_DONTWAIT);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
  }

 private:
  int listener_ = -1;
  int connection_ = -1;
  std::uint16_t port_ = 0;
};

constexpr std::uint32_t kSender = KIND_TANK | 3;
constexpr std::size_t kUdpPortMessage = kNetHeaderSize + 2;

// A connected client, pumped by the test (kThreaded 0) or by its socket thread (1).
template <int kThreaded>
class ConnectedClientTest : public testing::Test {
 protected:
  explicit ConnectedClientTest(int receiveBuffer = 0) : server_(receiveBuffer) {}

  // Connects and waits until the server has the client's first message, the UDP port, and the
  // client has nothing left to send; a socket thread is then given time to settle.
  void Connect() {
    client_.SetAddress(kNetworkAddress);
    ASSERT_EQ(client_.Open("127.0.0.1", server_.port()), 1);
    ASSERT_TRUE(server_.Accept());
    std::size_t received = 0;
    for (int i = 0; i < 1000 && (received < kUdpPortMessage || client_.Count() != 0); ++i) {
      if (kThreaded == 0) {
        client_.Poll();
      }
      received += server_.ReadAvailable().size();
      std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(received, kUdpPortMessage);
    if (kThreaded != 0) {
      std::this_thread::sleep_for(50ms);
    }
    ASSERT_EQ(client_.Count(), 0u);
  }

  platform::VirtualClock clock_;
  platform::ScopedProcessClock scope_{clock_};
  BareServer server_;
  CNetSocket client_{1, 1, kThreaded};
  CMailbox tank_{kSender};
};

using NetSocketErrorTest = ConnectedClientTest<0>;

TEST_F(NetSocketErrorTest, FailedReceiveLeavesTheRecvTextAndTheConnectionUp) {
  Connect();
  server_.Reset();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(client_.Poll(), 1);
  EXPECT_EQ(client_.ErrorText(), ConnectionResetText("recv"));
  EXPECT_EQ(client_.IsConnected(), 1);
  // The next pump reads the end of the stream and closes.
  client_.Poll();
  EXPECT_EQ(client_.IsConnected(), 0);
}

TEST_F(NetSocketErrorTest, FailedSendLeavesTheSendingDataTextAndEndsTheConnection) {
  Connect();
  const std::vector<std::uint8_t> text = {'h', 'i', 0};
  tank_.Post(kNetworkAddress, MSG_CHAT, static_cast<std::uint32_t>(text.size()), text.data());
  server_.Reset();
  std::this_thread::sleep_for(20ms);
  // The send step comes first in a pump and meets the reset.
  client_.Poll();
  EXPECT_EQ(client_.ErrorText(), ConnectionResetText("sending Data"));
  EXPECT_EQ(client_.IsConnected(), 0);
}

// After the server's logout the client closes, and the next receive step of the same pump meets
// the closed socket.
TEST_F(NetSocketErrorTest, StepAfterTheServersLogoutLeavesTheRecvText) {
  Connect();
  CMailbox session(KIND_SESSION);
  std::vector<std::uint8_t> logout(kNetHeaderSize);
  WriteNetHeader(std::span(logout).first<kNetHeaderSize>(), NetHeader{KIND_SESSION, MSG_LOGOUT, 0});
  ASSERT_EQ(::send(server_.connection(), logout.data(), logout.size(), 0),
            static_cast<ssize_t>(logout.size()));
  for (int i = 0; i < 1000 && client_.IsConnected() != 0; ++i) {
    client_.Poll();
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_EQ(client_.IsConnected(), 0);
  std::uint32_t length = 0;
  const MailboxMessagePtr passedOn = session.Receive(length);
  ASSERT_NE(passedOn, nullptr);
  EXPECT_EQ(passedOn->type, MSG_LOGOUT);
  EXPECT_EQ(client_.ErrorText(), NotASocketText("recv"));
  // A step of its own on the closed client ends the same way.
  EXPECT_EQ(client_.ReceiveStep(), 0);
  EXPECT_EQ(client_.ErrorText(), NotASocketText("recv"));
}

std::uint16_t ClosedPort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ::bind(probe, reinterpret_cast<sockaddr*>(&address), size);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
  ::close(probe);
  return ntohs(address.sin_port);
}

// A second Connect on the same sockets, after the first was refused, cannot bind the UDP socket
// again. That does not end the connection: the port the socket already has is announced, and
// datagrams sent there arrive.
TEST_F(NetSocketErrorTest, UdpBindFailureInConnectAnnouncesThePortTheSocketHas) {
  client_.SetAddress(kNetworkAddress);
  if (client_.Open("127.0.0.1", ClosedPort()) == 0) {
    GTEST_SKIP() << "the refusal came at once, before the UDP socket was bound";
  }
  int result = 0;
  for (int i = 0; i < 100 && result == 0; ++i) {
    std::this_thread::sleep_for(5ms);
    // The first attempt collects the refusal; a later one starts a new connection.
    result = client_.Connect(htonl(INADDR_LOOPBACK), server_.port());
  }
  ASSERT_EQ(result, 1);
  ASSERT_TRUE(server_.Accept());
  std::vector<std::uint8_t> stream;
  for (int i = 0; i < 1000 && stream.size() < kUdpPortMessage; ++i) {
    client_.Poll();
    const std::vector<std::uint8_t> bytes = server_.ReadAvailable();
    stream.insert(stream.end(), bytes.begin(), bytes.end());
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_EQ(stream.size(), kUdpPortMessage);
  arena::ByteReader reader(stream);
  reader.Skip(4);
  ASSERT_EQ(reader.U32(), MSG_UDP_PORT);
  ASSERT_EQ(reader.U32(), 2u);
  const std::uint16_t port = reader.U16BigEndian();
  ASSERT_NE(port, 0);

  std::vector<std::uint8_t> datagram(kNetDatagramHeaderSize + 1, 7);
  WriteNetDatagramHeader(std::span(datagram).first<kNetDatagramHeaderSize>(),
                         NetDatagramHeader{kSender, MSG_TANK_DESTROYED, 1, 0});
  const int udp = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in client{};
  client.sin_family = AF_INET;
  client.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  client.sin_port = htons(port);
  ::sendto(udp, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&client),
           sizeof client);
  ::close(udp);
  MailboxMessagePtr message;
  std::uint32_t length = 0;
  for (int i = 0; i < 1000 && message == nullptr; ++i) {
    client_.Poll();
    message = tank_.Receive(length);
  }
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->type, MSG_TANK_DESTROYED);
  EXPECT_EQ(client_.IsConnected(), 1);
}

// The server reads nothing until the client's sends would block, then everything: each blocked
// message is sent on from where it stopped, so the stream arrives whole and in order.
class NetSocketBlockedSendTest : public NetSocketErrorTest {
 protected:
  NetSocketBlockedSendTest() : NetSocketErrorTest(4096) {}
};

std::vector<std::uint8_t> MessagePayload(std::size_t index) {
  std::vector<std::uint8_t> bytes(4000);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(index * 31 + i * 7);
  }
  return bytes;
}

// Posts `count` chat messages of MessagePayload(0), MessagePayload(1) ...
void PostMessages(CMailbox& from, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::vector<std::uint8_t> payload = MessagePayload(i);
    from.Post(kNetworkAddress, MSG_CHAT, static_cast<std::uint32_t>(payload.size()),
              payload.data());
  }
}

// The stream holds exactly the messages PostMessages posted, whole and in order.
void ExpectMessagesInOrder(const std::vector<std::uint8_t>& stream, std::size_t count) {
  arena::ByteReader reader(stream);
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_EQ(reader.U32(), kSender) << i;
    EXPECT_EQ(reader.U32(), MSG_CHAT) << i;
    ASSERT_EQ(reader.U32(), 4000u) << i;
    const std::span<const std::uint8_t> payload = reader.Span(4000);
    ASSERT_EQ(std::vector<std::uint8_t>(payload.begin(), payload.end()), MessagePayload(i)) << i;
  }
  EXPECT_TRUE(reader.ok());
}

TEST_F(NetSocketBlockedSendTest, BlockedSendResumesFromTheSamePosition) {
  Connect();
  constexpr std::size_t kMessages = 64;
  PostMessages(tank_, kMessages);
  for (int i = 0; i < 10000 && client_.Counters().sendWouldBlocks == 0; ++i) {
    client_.Poll();
  }
  ASSERT_GT(client_.Counters().sendWouldBlocks, 0u);

  const std::size_t total = kMessages * (kNetHeaderSize + 4000);
  std::vector<std::uint8_t> stream;
  for (int i = 0; i < 20000 && stream.size() < total; ++i) {
    client_.Poll();
    const std::vector<std::uint8_t> bytes = server_.ReadAvailable();
    stream.insert(stream.end(), bytes.begin(), bytes.end());
  }
  ASSERT_EQ(stream.size(), total);
  ExpectMessagesInOrder(stream, kMessages);
  EXPECT_EQ(client_.IsConnected(), 1);
  EXPECT_TRUE(client_.ErrorText().empty());
}

std::vector<std::uint8_t> Framed(std::uint32_t type, const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> bytes(kNetHeaderSize);
  WriteNetHeader(std::span(bytes).first<kNetHeaderSize>(),
                 NetHeader{kSender, type, static_cast<std::uint32_t>(payload.size())});
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

// A threaded client: a post that finds nothing queued before it is sent on the posting thread,
// so it is on the wire when Post returns; posts behind it wait for the socket thread.
using NetSocketDirectSendTest = ConnectedClientTest<1>;

TEST_F(NetSocketDirectSendTest, PostWithNothingQueuedIsOnTheWireWhenPostReturns) {
  Connect();
  for (std::uint8_t i = 0; i < 20; ++i) {
    const std::vector<std::uint8_t> payload = {'m', i, 0};
    tank_.Post(kNetworkAddress, MSG_CHAT, static_cast<std::uint32_t>(payload.size()),
               payload.data());
    EXPECT_EQ(server_.ReadAvailable(), Framed(MSG_CHAT, payload)) << int{i};
  }
  EXPECT_EQ(client_.Count(), 0u);
  client_.Close();
  EXPECT_EQ(client_.Counters().tcpBytesSent, kUdpPortMessage + 20 * (kNetHeaderSize + 3));
}

// A send that fails on the posting thread ends the connection with the same text as one that
// fails on the socket thread. The socket thread may meet the reset first, in its receive step;
// then the send is not the one that fails.
TEST_F(NetSocketDirectSendTest, FailedSendOnThePostingThreadLeavesTheSendingDataText) {
  Connect();
  server_.Reset();
  const std::vector<std::uint8_t> text = {'h', 'i', 0};
  tank_.Post(kNetworkAddress, MSG_CHAT, static_cast<std::uint32_t>(text.size()), text.data());
  for (int i = 0; i < 1000 && client_.IsConnected() != 0; ++i) {
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(client_.IsConnected(), 0);
  client_.Close();
  const std::string errorText(client_.ErrorText());
  if (errorText == ConnectionResetText("recv")) {
    GTEST_SKIP() << "the socket thread met the reset before the send";
  }
  EXPECT_EQ(errorText, ConnectionResetText("sending Data"));
}

// The server reads nothing at first: the first posts go out on the posting thread until a send
// would block, the rest queue behind it for the socket thread, and the stream arrives in the
// order of the posts. Once everything is out, a post goes out on the posting thread again.
class NetSocketMixedSendTest : public NetSocketDirectSendTest {
 protected:
  NetSocketMixedSendTest() : NetSocketDirectSendTest(4096) {}
};

TEST_F(NetSocketMixedSendTest, PostsSentOnBothThreadsKeepTheirOrder) {
  Connect();
  constexpr std::size_t kMessages = 64;
  PostMessages(tank_, kMessages);
  // The kernel's buffers hold only a part of the messages: the rest are still queued.
  EXPECT_GT(client_.Count(), 0u);

  const std::size_t total = kMessages * (kNetHeaderSize + 4000);
  std::vector<std::uint8_t> stream;
  for (int i = 0; i < 5000 && stream.size() < total; ++i) {
    const std::vector<std::uint8_t> bytes = server_.ReadAvailable();
    stream.insert(stream.end(), bytes.begin(), bytes.end());
    if (bytes.empty()) {
      std::this_thread::sleep_for(1ms);
    }
  }
  ASSERT_EQ(stream.size(), total);
  ExpectMessagesInOrder(stream, kMessages);

  std::this_thread::sleep_for(50ms);
  const std::vector<std::uint8_t> last = {'e', 0};
  tank_.Post(kNetworkAddress, MSG_CHAT, static_cast<std::uint32_t>(last.size()), last.data());
  EXPECT_EQ(server_.ReadAvailable(), Framed(MSG_CHAT, last));
  client_.Close();
  EXPECT_GT(client_.Counters().sendWouldBlocks, 0u);
  EXPECT_TRUE(client_.ErrorText().empty());
}

}  // namespace
