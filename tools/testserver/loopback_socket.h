#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>

namespace testserver {

// A socket descriptor that closes itself.
class SocketHandle {
 public:
  SocketHandle() = default;
  explicit SocketHandle(int fd) : fd_(fd) {}
  ~SocketHandle() { Reset(); }
  SocketHandle(SocketHandle&& other) noexcept : fd_(other.Release()) {}
  SocketHandle& operator=(SocketHandle&& other) noexcept;
  SocketHandle(const SocketHandle&) = delete;
  SocketHandle& operator=(const SocketHandle&) = delete;

  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  int Release();
  void Reset();

 private:
  int fd_ = -1;
};

// The IPv4 address of dotted text, only when it lies in 127.0.0.0/8: the server never listens
// anywhere else.
std::optional<in_addr> ParseLoopbackAddress(const std::string& text);

// Non-blocking sockets bound to `address`:`port` (0: any free port); closed handles on failure,
// with the reason in `error`.
SocketHandle OpenTcpListener(in_addr address, std::uint16_t port, std::string& error);
SocketHandle OpenUdpSocket(in_addr address, std::uint16_t port, std::string& error);

// Another address of 127.0.0.0/8 than the given one: the next in its last byte, 1 to 254.
in_addr GetNextLoopbackAddress(in_addr address);

// The port a socket is bound to; 0 when it cannot be read.
std::uint16_t GetLocalPort(int fd);

}  // namespace testserver
