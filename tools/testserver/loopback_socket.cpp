#include "tools/testserver/loopback_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace testserver {
namespace {

std::string DescribeSystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

sockaddr_in MakeSocketAddress(in_addr address, std::uint16_t port) {
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  socketAddress.sin_port = htons(port);
  socketAddress.sin_addr = address;
  return socketAddress;
}

SocketHandle OpenBound(int type, in_addr address, std::uint16_t port, std::string& error) {
  SocketHandle handle(::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!handle.IsOpen()) {
    error = DescribeSystemError("socket");
    return {};
  }
  if (type == SOCK_STREAM) {
    const int on = 1;
    ::setsockopt(handle.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  }
  const sockaddr_in socketAddress = MakeSocketAddress(address, port);
  if (::bind(handle.Get(), reinterpret_cast<const sockaddr*>(&socketAddress),
             sizeof socketAddress) != 0) {
    error = DescribeSystemError("bind");
    return {};
  }
  return handle;
}

}  // namespace

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
  if (this != &other) {
    Reset();
    fd_ = other.Release();
  }
  return *this;
}

int SocketHandle::Release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

void SocketHandle::Reset() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

std::optional<in_addr> ParseLoopbackAddress(const std::string& text) {
  in_addr address{};
  if (::inet_pton(AF_INET, text.c_str(), &address) != 1 || (ntohl(address.s_addr) >> 24) != 127) {
    return std::nullopt;
  }
  return address;
}

SocketHandle OpenTcpListener(in_addr address, std::uint16_t port, std::string& error) {
  SocketHandle handle = OpenBound(SOCK_STREAM, address, port, error);
  if (handle.IsOpen() && ::listen(handle.Get(), 4) != 0) {
    error = DescribeSystemError("listen");
    return {};
  }
  return handle;
}

SocketHandle OpenUdpSocket(in_addr address, std::uint16_t port, std::string& error) {
  return OpenBound(SOCK_DGRAM, address, port, error);
}

in_addr GetNextLoopbackAddress(in_addr address) {
  const std::uint32_t host = ntohl(address.s_addr);
  in_addr next{};
  next.s_addr = htonl((host & 0xFFFFFF00u) | ((host & 0xFFu) % 254u + 1u));
  return next;
}

std::uint16_t GetLocalPort(int fd) {
  sockaddr_in socketAddress{};
  socklen_t size = sizeof socketAddress;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&socketAddress), &size) != 0) {
    return 0;
  }
  return ntohs(socketAddress.sin_port);
}

}  // namespace testserver
