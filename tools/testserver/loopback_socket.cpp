#include "tools/testserver/loopback_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace testserver {
namespace {

std::string SystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

sockaddr_in SocketAddress(in_addr address, std::uint16_t port) {
  sockaddr_in socket_address{};
  socket_address.sin_family = AF_INET;
  socket_address.sin_port = htons(port);
  socket_address.sin_addr = address;
  return socket_address;
}

SocketHandle OpenBound(int type, in_addr address, std::uint16_t port, std::string& error) {
  SocketHandle handle(::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!handle.IsOpen()) {
    error = SystemError("socket");
    return {};
  }
  if (type == SOCK_STREAM) {
    const int on = 1;
    ::setsockopt(handle.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  }
  const sockaddr_in socket_address = SocketAddress(address, port);
  if (::bind(handle.Get(), reinterpret_cast<const sockaddr*>(&socket_address),
             sizeof socket_address) != 0) {
    error = SystemError("bind");
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
    error = SystemError("listen");
    return {};
  }
  return handle;
}

SocketHandle OpenUdpSocket(in_addr address, std::uint16_t port, std::string& error) {
  return OpenBound(SOCK_DGRAM, address, port, error);
}

in_addr NextLoopbackAddress(in_addr address) {
  const std::uint32_t host = ntohl(address.s_addr);
  in_addr next{};
  next.s_addr = htonl((host & 0xFFFFFF00u) | ((host & 0xFFu) % 254u + 1u));
  return next;
}

std::uint16_t LocalPort(int fd) {
  sockaddr_in socket_address{};
  socklen_t size = sizeof socket_address;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&socket_address), &size) != 0) {
    return 0;
  }
  return ntohs(socket_address.sin_port);
}

}  // namespace testserver
