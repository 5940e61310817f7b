// The game's one connection to the game server: a TCP stream for reliable messages and a UDP
// socket for the frequent state messages, pumped by a socket thread. The client is itself the
// mailbox at the network address: what is posted there is sent to the server, and what arrives
// from the server is posted, with the client as sender, to the mailbox its header names.
// A post that finds nothing queued before it and nothing half sent is sent at once on the
// posting thread, so that a game sending once a frame does not wait for the socket thread to
// wake; everything else is sent by the socket thread, in the order of the posts.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "common/mailbox.h"
#include "common/socket/net_framing.h"
#include "common/socket/net_stream_reader.h"
#include "platform/kernel/types.h"

// The traffic counters that the statistics file prints. Written under the client's send lock, by
// the pumping thread and by threads that send their own posts; read them once the thread ended.
struct NetCounters {
  std::uint32_t selects = 0;
  std::uint32_t writablePumps = 0;
  std::uint32_t readablePumps = 0;
  std::uint32_t receiveSteps = 0;
  std::uint32_t tcpSends = 0;
  std::uint32_t partialSends = 0;
  std::uint32_t receiveWouldBlocks = 0;
  std::uint32_t sendWouldBlocks = 0;
  std::uint32_t tcpBytesSent = 0;
  std::uint32_t tcpBytesReceived = 0;
  std::uint32_t maxReceivesPerPump = 0;
};

// Where the client's set-up lines go: the game passes LogPrintf. Lines are dropped until then.
using NetLogFunction = void (*)(int level, const char* format, ...);

class CNetSocket : public CMailbox {
 public:
  static constexpr std::uint32_t kStreamSocket = 1;
  static constexpr std::uint32_t kKeepAlive = 1;  // option bit 0

  // The game session passes (1, 1, 1) and then gives the client the network address.
  CNetSocket(std::uint32_t socketType, std::uint32_t options, std::uint32_t threaded);
  // Closes the connection, which waits for the socket thread.
  ~CNetSocket() override;

  static void SetLogFunction(NetLogFunction log);

  // Creates both sockets and connects to `host` (dotted text or a name) at `port`. 1 on
  // success; 0 on failure, with nothing left open.
  int Open(const char* host, std::uint32_t port);
  // Starts the connection to `address` (network order) and, when threaded, the socket thread.
  // 1 or 0. The first message sent is MSG_UDP_PORT with the client's UDP port.
  int Connect(std::uint32_t address, std::uint32_t port);
  // Stops the socket thread (unless called on it), then shuts down and closes both sockets.
  void Close();
  // One pump when not threaded; 0 at once when the socket thread pumps.
  int Poll();
  // One pass of sending and receiving without waiting: 1 when the select found work.
  int Pump();
  // One step of the send state machine; always 0.
  int SendStep();
  // One step of the receive state machine: 1 when a complete message was handled.
  int ReceiveStep();
  int IsConnected() const { return connected_.load(); }
  // The socket thread's start routine; the parameter is the client.
  static DWORD ThreadProc(LPVOID client);

  // Milliseconds, measured by the last alive reply.
  std::uint32_t RoundTripTime() const { return roundTripTime_.load(); }
  // "recv: ..." or "sending Data: ...", or empty. Read it once the socket thread has ended.
  std::string_view ErrorText() const { return errorText_.data(); }
  const NetCounters& Counters() const { return counters_; }
  std::uint32_t LongestPumpGap() const { return longestPumpGap_; }
  // Set when the socket thread ends; 0 when it made no pass.
  std::uint32_t AveragePumpInterval() const { return averagePumpInterval_; }
  // The C runtime's time() and clock() at construction.
  std::int64_t StartWallTime() const { return startWallTime_; }
  std::int32_t StartProcessorTime() const { return startProcessorTime_; }

 protected:
  // Claims the send lock for a post that may go out on the posting thread, or else wakes the
  // socket thread when it sleeps in its select.
  bool Posted(std::uint32_t type) override;
  // Sends the claimed post; leaves the socket thread whatever the step could not finish.
  void Delivered() override;

 private:
  enum class SendState { kIdle, kSending };  // a taken message is sent or dropped at once

  int PumpWaiting(long waitMicroseconds);
  long IdleWaitMicroseconds() const;
  bool HasWorkToSend();
  void KeepAlive();
  int SendTcpStep();
  void SendDatagram(std::uint32_t sender, std::uint32_t type,
                    std::span<const std::uint8_t> payload);
  int ReceiveDatagram();
  int HandleMessage(const NetMessage& message);
  void SetErrorText(const char* what, int error);
  void WakeSocketThread();
  void StopThread();
  void CloseSockets();

  std::atomic<std::uint32_t> roundTripTime_{0};
  std::array<char, 60> errorText_{};
  std::uint32_t longestPumpGap_ = 0;
  std::uint32_t averagePumpInterval_ = 0;
  std::int64_t startWallTime_;
  std::int32_t startProcessorTime_;
  NetCounters counters_;
  std::uint32_t lastAcceptedSequence_ = 0;
  std::uint32_t udpBytesSent_ = 0;

  std::uint32_t threaded_;
  std::uint32_t socketType_;
  std::uintptr_t tcpSocket_;  // winsock SOCKET values
  std::uintptr_t udpSocket_;
  bool udpSeen_ = false;
  std::uint32_t serverAddress_ = 0;  // network order; also the destination of every datagram
  std::uint16_t serverPort_ = 0;     // network order
  std::atomic<int> connected_{0};
  std::uint32_t options_;

  std::array<std::uint8_t, kNetBufferSize> sendBuffer_{};
  std::size_t sendPosition_ = 0;
  std::size_t sendLeft_ = 0;
  SendState sendState_ = SendState::kIdle;

  NetStreamReader streamReader_;
  // Datagrams have a buffer of their own, so that one never tears a half-read TCP header.
  std::array<std::uint8_t, kNetBufferSize> datagramBuffer_{};

  HANDLE thread_ = nullptr;
  // Held by whoever runs the send state machine or touches the sockets: the socket thread for
  // each pass but its sleep, a posting thread sending its own post, and Connect and Close.
  std::recursive_mutex sendLock_;
  // The stream has been seen writable by the socket thread since the connect: posts may then be
  // sent on the posting thread (before, a send could find the connection still being made).
  std::atomic<bool> established_{false};
  // Readable while something posted waits for a sleeping socket thread, or the thread must end.
  std::uintptr_t wakeSocket_;
  // Set while the socket thread sleeps in select (or is about to), so that only then does a post
  // pay for signalling the wake socket.
  std::atomic<bool> sleeping_{false};
  // Whole seconds of timeGetTime.
  std::uint32_t lastAliveRequest_ = 0;
  std::uint32_t lastAliveSign_ = 0;
};
