#include "raw_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "base/byte_writer.h"

namespace {

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool WaitReadable(int fd, std::chrono::milliseconds timeout) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(timeout.count())) > 0;
}

}  // namespace

RawClient::RawClient(std::uint16_t tcp_port) {
  tcp_ = ::socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in server = Loopback(tcp_port);
  if (::connect(tcp_, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
    ::close(tcp_);
    tcp_ = -1;
  }
  udp_ = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in local = Loopback(0);
  ::bind(udp_, reinterpret_cast<const sockaddr*>(&local), sizeof local);
  socklen_t size = sizeof local;
  ::getsockname(udp_, reinterpret_cast<sockaddr*>(&local), &size);
  udpPort_ = ntohs(local.sin_port);
}

RawClient::~RawClient() {
  CloseTcp();
  ::close(udp_);
}

void RawClient::SendTcp(const std::vector<std::uint8_t>& bytes) {
  ::send(tcp_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void RawClient::SendDatagram(const std::vector<std::uint8_t>& bytes, std::uint16_t port) {
  const sockaddr_in server = Loopback(port);
  ::sendto(udp_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&server),
           sizeof server);
}

void RawClient::CloseTcp() {
  if (tcp_ >= 0) {
    ::close(tcp_);
    tcp_ = -1;
  }
}

std::vector<std::uint8_t> RawClient::ReadTcp(std::size_t count, std::chrono::milliseconds timeout) {
  std::vector<std::uint8_t> bytes;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (bytes.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !WaitReadable(tcp_, left)) {
      break;
    }
    std::vector<std::uint8_t> chunk(count - bytes.size());
    const ssize_t got = ::recv(tcp_, chunk.data(), chunk.size(), 0);
    if (got <= 0) {
      break;
    }
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
  }
  return bytes;
}

bool RawClient::WaitForTcpClose(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !WaitReadable(tcp_, left)) {
      return false;
    }
    std::uint8_t chunk[512];
    if (::recv(tcp_, chunk, sizeof chunk, 0) <= 0) {
      return true;
    }
  }
}

std::optional<RawClient::Received> RawClient::ReadDatagram(std::chrono::milliseconds timeout) {
  if (!WaitReadable(udp_, timeout)) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> buffer(65536);
  sockaddr_in source{};
  socklen_t size = sizeof source;
  const ssize_t got = ::recvfrom(udp_, buffer.data(), buffer.size(), 0,
                                 reinterpret_cast<sockaddr*>(&source), &size);
  if (got < 0) {
    return std::nullopt;
  }
  buffer.resize(static_cast<std::size_t>(got));
  return Received{std::move(buffer), ntohs(source.sin_port)};
}

std::vector<std::uint8_t> TcpHeaderBytes(std::uint32_t address, std::uint32_t type,
                                         std::uint32_t length) {
  arena::ByteWriter out;
  out.U32(address);
  out.U32(type);
  out.U32(length);
  return out.Take();
}

std::vector<std::uint8_t> DatagramHeaderBytes(std::uint32_t address, std::uint32_t type,
                                              std::uint32_t length, std::uint32_t sequence) {
  arena::ByteWriter out(TcpHeaderBytes(address, type, length));
  out.U32(sequence);
  return out.Take();
}

std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
