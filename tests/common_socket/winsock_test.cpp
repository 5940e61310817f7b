// Only our header here: the system's socket headers define macros of the same names.
#include "platform/winsock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

// The system's names of the same spelling are in scope too: these take precedence here.
using winsock::AF_INET;
using winsock::bind;
using winsock::closesocket;
using winsock::connect;
using winsock::fd_set;
using winsock::FdIsSet;
using winsock::FdSet;
using winsock::FdZero;
using winsock::FIONBIO;
using winsock::gethostbyname;
using winsock::getsockname;
using winsock::getsockopt;
using winsock::hostent;
using winsock::htonl;
using winsock::htons;
using winsock::INADDR_NONE;
using winsock::inet_addr;
using winsock::ioctlsocket;
using winsock::IPPROTO_TCP;
using winsock::ntohl;
using winsock::ntohs;
using winsock::recv;
using winsock::recvfrom;
using winsock::select;
using winsock::send;
using winsock::sendto;
using winsock::setsockopt;
using winsock::SO_RCVBUF;
using winsock::SOCK_DGRAM;
using winsock::SOCK_STREAM;
using winsock::sockaddr;
using winsock::sockaddr_in;
using winsock::SOCKET;
using winsock::socket;
using winsock::SOCKET_ERROR;
using winsock::SocketErrorText;
using winsock::SOL_SOCKET;
using winsock::TCP_NODELAY;
using winsock::timeval;
using winsock::u_long;
using winsock::u_short;
using winsock::WSACleanup;
using winsock::WSADATA;
using winsock::WSAECONNREFUSED;
using winsock::WSAENOTSOCK;
using winsock::WSAEWOULDBLOCK;
using winsock::WSAGetLastError;
using winsock::WSAHOST_NOT_FOUND;
using winsock::WSAStartup;
using winsock::WSAVERNOTSUPPORTED;

class WinsockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(0x0101, &data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);
  }
  void TearDown() override { WSACleanup(); }

  static sockaddr_in Loopback(u_short port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    return address;
  }

  static u_short BoundPort(SOCKET s) {
    sockaddr_in bound{};
    int length = sizeof bound;
    EXPECT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&bound), &length), 0);
    return ntohs(bound.sin_port);
  }

  static SOCKET NonBlocking(int type) {
    const SOCKET s = socket(AF_INET, type, 0);
    u_long on = 1;
    EXPECT_EQ(ioctlsocket(s, FIONBIO, &on), 0);
    return s;
  }
};

TEST_F(WinsockTest, VersionsBelowOnePointOneAreRefused) {
  EXPECT_EQ(WSAStartup(0x0001, nullptr), WSAVERNOTSUPPORTED);
  EXPECT_EQ(WSAStartup(0x0202, nullptr), 0);
}

TEST_F(WinsockTest, ByteOrderAndAddressText) {
  EXPECT_EQ(htons(0x1234), 0x3412);
  EXPECT_EQ(ntohl(htonl(0x12345678)), 0x12345678u);
  EXPECT_EQ(inet_addr("127.0.0.1"), htonl(0x7F000001));
  EXPECT_EQ(inet_addr("not an address"), INADDR_NONE);
  const hostent* host = gethostbyname("localhost");
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->h_addrtype, AF_INET);
  ASSERT_EQ(host->h_length, 4);
  ASSERT_NE(host->h_addr_list[0], nullptr);
  EXPECT_EQ(static_cast<unsigned char>(host->h_addr_list[0][0]), 127);
  EXPECT_EQ(gethostbyname("no-such-host.invalid"), nullptr);
  EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
}

TEST_F(WinsockTest, RefusedConnectShowsInTheExceptionSetOnly) {
  const SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(0);
  ASSERT_EQ(bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  address.sin_port = htons(BoundPort(probe));
  closesocket(probe);  // nobody listens there now

  const SOCKET s = NonBlocking(SOCK_STREAM);
  if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
      WSAGetLastError() == WSAECONNREFUSED) {
    closesocket(s);
    GTEST_SKIP() << "the refusal came at once";
  }
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
  fd_set readSet;
  fd_set writeSet;
  fd_set exceptSet;
  FdZero(readSet);
  FdZero(writeSet);
  FdZero(exceptSet);
  FdSet(s, readSet);
  FdSet(s, writeSet);
  FdSet(s, exceptSet);
  const timeval wait{2, 0};
  EXPECT_EQ(select(0, &readSet, &writeSet, &exceptSet, &wait), 1);
  EXPECT_TRUE(FdIsSet(s, exceptSet));
  EXPECT_FALSE(FdIsSet(s, readSet));
  EXPECT_FALSE(FdIsSet(s, writeSet));
  closesocket(s);
}

TEST_F(WinsockTest, DatagramsTravelBetweenTwoSockets) {
  const SOCKET a = NonBlocking(SOCK_DGRAM);
  const SOCKET b = NonBlocking(SOCK_DGRAM);
  sockaddr_in address = Loopback(0);
  ASSERT_EQ(bind(a, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(bind(b, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  char buffer[16];
  EXPECT_EQ(recv(b, buffer, sizeof buffer, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);

  const sockaddr_in to = Loopback(BoundPort(b));
  ASSERT_EQ(sendto(a, "hello", 5, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to), 5);
  fd_set readSet;
  FdZero(readSet);
  FdSet(b, readSet);
  const timeval wait{2, 0};
  ASSERT_EQ(select(0, &readSet, nullptr, nullptr, &wait), 1);
  sockaddr_in from{};
  int fromLength = sizeof from;
  ASSERT_EQ(recvfrom(b, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength),
            5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(ntohs(from.sin_port), BoundPort(a));
  EXPECT_EQ(from.sin_addr.s_addr, inet_addr("127.0.0.1"));
  closesocket(a);
  closesocket(b);
}

TEST_F(WinsockTest, OptionsAreSetAndRead) {
  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  ASSERT_EQ(setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on),
            0);
  int value = 0;
  int length = sizeof value;
  ASSERT_EQ(getsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<char*>(&value), &length), 0);
  EXPECT_NE(value, 0);
  const int size = 16384;
  ASSERT_EQ(setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size),
            0);
  ASSERT_EQ(getsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&value), &length), 0);
  EXPECT_GE(value, size);
  closesocket(s);
}

TEST_F(WinsockTest, ErrorsOfAClosedSocketAndTheirText) {
  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  closesocket(s);
  EXPECT_EQ(send(s, "x", 1, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
  EXPECT_EQ(SocketErrorText(WSAECONNREFUSED), "Connection refused");
}

}  // namespace

namespace {

// Select over the wake socket alone, not waiting: whether it is readable.
bool WakeIsReadable(winsock::SOCKET wake) {
  fd_set readSet;
  FdZero(readSet);
  FdSet(wake, readSet);
  const winsock::timeval now{0, 0};
  return select(0, &readSet, nullptr, nullptr, &now) == 1 && FdIsSet(wake, readSet);
}

TEST_F(WinsockTest, AWakeSocketIsReadableFromTheFirstSignalUntilDrained) {
  const winsock::SOCKET wake = winsock::CreateWakeSocket();
  ASSERT_NE(wake, winsock::INVALID_SOCKET);
  EXPECT_FALSE(WakeIsReadable(wake));
  winsock::SignalWakeSocket(wake);
  winsock::SignalWakeSocket(wake);
  EXPECT_TRUE(WakeIsReadable(wake));
  winsock::DrainWakeSocket(wake);  // one drain takes every signal
  EXPECT_FALSE(WakeIsReadable(wake));
  winsock::DrainWakeSocket(wake);  // draining an unsignalled socket does not block
  EXPECT_FALSE(WakeIsReadable(wake));

  // A select that sleeps is ended by a signal from another thread.
  std::thread signaller([wake] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    winsock::SignalWakeSocket(wake);
  });
  fd_set readSet;
  FdZero(readSet);
  FdSet(wake, readSet);
  const winsock::timeval longWait{30, 0};
  EXPECT_EQ(select(0, &readSet, nullptr, nullptr, &longWait), 1);
  signaller.join();
  EXPECT_EQ(closesocket(wake), 0);
}

}  // namespace
