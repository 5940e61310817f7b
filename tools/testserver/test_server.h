#pragma once

#include <netinet/in.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "tools/testserver/action.h"
#include "tools/testserver/loopback_socket.h"
#include "tools/testserver/received_message.h"
#include "tools/testserver/script.h"
#include "tools/testserver/tcp_frame_reader.h"

namespace testserver {

// A game server for one client on a loopback address. It answers the login and the client's
// alive requests, plays a script of timed messages, and records every message the client sends,
// together with the framing faults it finds in them. It frames its messages itself, from the
// wire description, so that the client's framing is checked against an independent one.
//
// One thread serves the client; every public call is safe from any other thread.
class TestServer {
 public:
  TestServer(std::span<const std::uint32_t, kParameterWordCount> paramWords,
             std::vector<std::uint8_t> globalParams);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  // Listens on `address` (only 127.0.0.0/8) and `port` (0: any free port) for one client, with
  // the UDP socket on the same port number when that is free. Returns the TCP port, or nothing
  // with the reason in Error().
  std::optional<std::uint16_t> Start(const std::string& address, std::uint16_t port, Script script);
  // Closes everything after joining the server thread. Start cannot be called again.
  void Stop();

  std::uint16_t TcpPort() const { return tcpPort_; }
  std::uint16_t UdpPort() const { return udpPort_; }
  // The second UDP socket, for datagrams that come from somewhere other than the server.
  std::uint16_t OtherUdpPort() const { return otherUdpPort_; }
  const std::string& Error() const { return error_; }

  // Plays an action as soon as possible: at once when a client is connected, else right after
  // one connects; after the script's steps that are already due.
  void Send(Action action);

  // The nth (from 0) message of `type` that the client sent, waiting for it at most `timeout`.
  std::optional<ReceivedMessage> WaitForMessage(std::uint32_t type,
                                                std::chrono::milliseconds timeout,
                                                std::size_t nth = 0);
  bool WaitForConnection(std::chrono::milliseconds timeout);
  // Until the connection has ended, by either side.
  bool WaitForDisconnection(std::chrono::milliseconds timeout);
  // Until every step of the script (and everything sent) has been played.
  bool WaitForScriptEnd(std::chrono::milliseconds timeout);

  // The messages received, from index `first` on, in order of arrival.
  std::vector<ReceivedMessage> Received(std::size_t first = 0) const;
  // The faults found in what the client sent (bad lengths, sequences, sources) and actions
  // that could not be played, as texts.
  std::vector<std::string> Faults() const;
  // Whether the connection was ended by the client rather than by the server.
  bool ClosedByClient() const;

 private:
  struct PendingStep {
    ScriptStep step;
    std::size_t order = 0;
  };
  // A piece of the TCP output; `pause_after` keeps the next piece for a later send.
  struct OutputChunk {
    std::vector<std::uint8_t> bytes;
    bool pauseAfter = false;
    bool closeAfter = false;
  };
  using Clock = std::chrono::steady_clock;

  void Run();
  void Accept();
  void ReceiveTcp();
  void ReceiveDatagrams();
  void HandleDatagram(std::span<const std::uint8_t> bytes, const sockaddr_in& source);
  // The ...Locked functions and those they call run with mutex_ held.
  void RecordLocked(ReceivedMessage message);
  void PlayDueSteps();
  // False when the action cannot be played yet.
  bool PlayLocked(const Action& action);
  PayloadSources Sources() const;
  void QueueTcp(const Action& action);
  bool SendDatagramTo(const Action& action, const sockaddr_in& destination);
  void FlushTcp();
  void EndConnection(bool byClient);
  void AddFault(std::string fault);
  std::uint32_t ElapsedMs() const;

  // Fixed before the thread starts.
  std::array<std::uint32_t, kParameterWordCount> paramWords_{};
  std::vector<std::uint8_t> globalParams_;
  in_addr address_{};
  std::uint16_t tcpPort_ = 0;
  std::uint16_t udpPort_ = 0;
  std::uint16_t otherUdpPort_ = 0;
  std::string error_;
  std::thread thread_;

  // Touched by the server thread only.
  SocketHandle listener_;
  SocketHandle connection_;
  SocketHandle udp_;
  SocketHandle otherUdp_;
  SocketHandle foreignUdp_;  // at the next loopback address
  TcpFrameReader reader_;
  // Larger than any datagram, so that an oversized one is seen whole.
  std::vector<std::uint8_t> datagramBuffer_ = std::vector<std::uint8_t>(65536);
  std::deque<OutputChunk> output_;
  Clock::time_point nextSend_{};
  Clock::time_point acceptedAt_{};
  std::uint32_t udpBytesSent_ = 0;
  std::uint32_t udpBytesReceived_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  bool connected_ = false;
  bool ended_ = false;
  bool closedByClient_ = false;
  bool answerAlive_ = true;
  sockaddr_in clientUdp_{};  // port 0 until the client has told it
  std::vector<PendingStep> steps_;
  std::size_t nextOrder_ = 0;
  std::map<std::uint32_t, std::uint32_t> firstArrivalMs_;
  std::vector<ReceivedMessage> received_;
  std::vector<std::string> faults_;
};

}  // namespace testserver
