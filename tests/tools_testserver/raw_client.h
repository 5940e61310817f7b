#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// A bare client of the test server: plain sockets and hand-laid bytes, so that the server's
// framing is checked against bytes written out in the tests rather than against itself.
class RawClient {
 public:
  // Connects by TCP to 127.0.0.1:`tcp_port` and opens a UDP socket on any port of 127.0.0.1.
  explicit RawClient(std::uint16_t tcp_port);
  ~RawClient();
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  bool IsConnected() const { return tcp_ >= 0; }
  std::uint16_t UdpPort() const { return udpPort_; }

  void SendTcp(const std::vector<std::uint8_t>& bytes);
  void SendDatagram(const std::vector<std::uint8_t>& bytes, std::uint16_t port);
  void CloseTcp();

  // Exactly `count` bytes, or fewer when the time runs out or the server closes.
  std::vector<std::uint8_t> ReadTcp(std::size_t count, std::chrono::milliseconds timeout);
  // Whether the server closes the stream within `timeout` (any bytes before that are skipped).
  bool WaitForTcpClose(std::chrono::milliseconds timeout);

  struct Received {
    std::vector<std::uint8_t> bytes;
    std::uint16_t source_port = 0;
  };
  std::optional<Received> ReadDatagram(std::chrono::milliseconds timeout);

 private:
  int tcp_ = -1;
  int udp_ = -1;
  std::uint16_t udpPort_ = 0;
};

// Headers as the wire carries them, for the expected bytes.
std::vector<std::uint8_t> TcpHeaderBytes(std::uint32_t address, std::uint32_t type,
                                         std::uint32_t length);
std::vector<std::uint8_t> DatagramHeaderBytes(std::uint32_t address, std::uint32_t type,
                                              std::uint32_t length, std::uint32_t sequence);
std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b);
