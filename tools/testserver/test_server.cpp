#include "tools/testserver/test_server.h"

#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/byte_reader.h"
#include "common/messages.h"
#include "tools/testserver/catalogue_names.h"
#include "tools/testserver/standard_login.h"
#include "tools/testserver/wire_header.h"

namespace testserver {
namespace {

// Each pass of the server thread waits at most this long for the sockets.
constexpr int kPollMs = 1;
// The pause between the pieces of a split TCP message, so that they leave as separate segments.
constexpr auto kSplitPause = std::chrono::milliseconds(2);
// Attempts at finding a free port number for both TCP and UDP when any port will do.
constexpr int kPortAttempts = 16;

std::string Describe(const WireHeader& header) {
  char address[16];
  std::snprintf(address, sizeof address, "0x%X", header.address);
  return GetMessageTypeName(header.type) + " to " + address;
}

}  // namespace

TestServer::TestServer(std::span<const std::uint32_t, kParameterWordCount> paramWords,
                       std::vector<std::uint8_t> globalParams)
    : globalParams_(std::move(globalParams)) {
  std::copy(paramWords.begin(), paramWords.end(), paramWords_.begin());
}

TestServer::~TestServer() { Stop(); }

std::optional<std::uint16_t> TestServer::Start(const std::string& address, std::uint16_t port,
                                               Script script) {
  if (thread_.joinable() || stopping_) {
    error_ = "the server has already been started";
    return std::nullopt;
  }
  const std::optional<in_addr> loopback = ParseLoopbackAddress(address);
  if (!loopback) {
    error_ = "'" + address + "' is not an address in 127.0.0.0/8";
    return std::nullopt;
  }
  address_ = *loopback;
  const int attempts = port == 0 ? kPortAttempts : 1;
  for (int attempt = 0; attempt < attempts && !udp_.IsOpen(); ++attempt) {
    listener_ = OpenTcpListener(address_, port, error_);
    if (!listener_.IsOpen()) {
      return std::nullopt;
    }
    std::string ignored;
    udp_ = OpenUdpSocket(address_, GetLocalPort(listener_.Get()), ignored);
  }
  if (!udp_.IsOpen()) {
    udp_ = OpenUdpSocket(address_, 0, error_);
  }
  otherUdp_ = OpenUdpSocket(address_, 0, error_);
  foreignUdp_ = OpenUdpSocket(GetNextLoopbackAddress(address_), 0, error_);
  if (!udp_.IsOpen() || !otherUdp_.IsOpen() || !foreignUdp_.IsOpen()) {
    listener_.Reset();
    udp_.Reset();
    return std::nullopt;
  }
  tcpPort_ = GetLocalPort(listener_.Get());
  udpPort_ = GetLocalPort(udp_.Get());
  otherUdpPort_ = GetLocalPort(otherUdp_.Get());

  std::vector<ScriptStep> steps;
  if (script.standardLogin) {
    steps = MakeStandardLoginSteps();
  }
  steps.insert(steps.end(), std::make_move_iterator(script.steps.begin()),
               std::make_move_iterator(script.steps.end()));
  for (ScriptStep& step : steps) {
    steps_.push_back(PendingStep{std::move(step), nextOrder_++});
  }
  error_.clear();
  thread_ = std::thread(&TestServer::Run, this);
  return tcpPort_;
}

void TestServer::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  if (thread_.joinable()) {
    thread_.join();
  }
  connection_.Reset();
  listener_.Reset();
  udp_.Reset();
  otherUdp_.Reset();
  foreignUdp_.Reset();
}

void TestServer::Send(Action action) {
  const std::lock_guard lock(mutex_);
  ScriptStep step;
  step.atMs = connected_ ? ElapsedMs() : 0;
  step.action = std::move(action);
  steps_.push_back(PendingStep{std::move(step), nextOrder_++});
}

std::optional<ReceivedMessage> TestServer::WaitForMessage(std::uint32_t type,
                                                          std::chrono::milliseconds timeout,
                                                          std::size_t nth) {
  std::unique_lock lock(mutex_);
  const ReceivedMessage* found = nullptr;
  changed_.wait_for(lock, timeout, [&] {
    std::size_t seen = 0;
    for (const ReceivedMessage& message : received_) {
      if (message.type == type && seen++ == nth) {
        found = &message;
        return true;
      }
    }
    return false;
  });
  if (found == nullptr) {
    return std::nullopt;
  }
  return *found;
}

bool TestServer::WaitForConnection(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return connected_; });
}

bool TestServer::WaitForDisconnection(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return ended_; });
}

bool TestServer::WaitForScriptEnd(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return steps_.empty() || ended_; });
  return steps_.empty();
}

std::vector<ReceivedMessage> TestServer::Received(std::size_t first) const {
  const std::lock_guard lock(mutex_);
  if (first >= received_.size()) {
    return {};
  }
  return {received_.begin() + static_cast<std::ptrdiff_t>(first), received_.end()};
}

std::vector<std::string> TestServer::Faults() const {
  const std::lock_guard lock(mutex_);
  return faults_;
}

bool TestServer::ClosedByClient() const {
  const std::lock_guard lock(mutex_);
  return closedByClient_;
}

void TestServer::Run() {
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (stopping_) {
        return;
      }
    }
    std::array<pollfd, 3> fds{};
    nfds_t count = 0;
    for (const SocketHandle* socket : {&listener_, &connection_, &udp_}) {
      if (socket->IsOpen()) {
        fds[count++] = pollfd{socket->Get(), POLLIN, 0};
      }
    }
    ::poll(fds.data(), count, kPollMs);
    if (listener_.IsOpen()) {
      Accept();
    }
    if (connection_.IsOpen()) {
      ReceiveTcp();
    }
    ReceiveDatagrams();
    PlayDueSteps();
    FlushTcp();
  }
}

void TestServer::Accept() {
  sockaddr_in peer{};
  socklen_t size = sizeof peer;
  const int fd = ::accept4(listener_.Get(), reinterpret_cast<sockaddr*>(&peer), &size,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) {
    return;
  }
  connection_ = SocketHandle(fd);
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  // One client per server: later connections are refused.
  listener_.Reset();
  const std::lock_guard lock(mutex_);
  connected_ = true;
  acceptedAt_ = Clock::now();
  clientUdp_ = sockaddr_in{};
  clientUdp_.sin_family = AF_INET;
  clientUdp_.sin_addr = peer.sin_addr;
  changed_.notify_all();
}

void TestServer::ReceiveTcp() {
  std::array<std::uint8_t, 4096> buffer{};
  bool closed = false;
  for (;;) {
    const ssize_t got = ::recv(connection_.Get(), buffer.data(), buffer.size(), 0);
    if (got > 0) {
      reader_.Append(std::span(buffer.data(), static_cast<std::size_t>(got)));
      continue;
    }
    if (got < 0 && errno == EINTR) {
      continue;
    }
    // A reset counts as the client's close, like an orderly one.
    closed = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    break;
  }
  while (std::optional<TcpFrame> frame = reader_.Next()) {
    ReceivedMessage message;
    message.transport = Transport::kTcp;
    message.address = frame->header.address;
    message.type = frame->header.type;
    message.length = frame->header.length;
    message.payload = std::move(frame->payload);
    const std::lock_guard lock(mutex_);
    RecordLocked(std::move(message));
  }
  if (const std::optional<std::uint32_t> length = reader_.OversizeLength()) {
    AddFault("a TCP header announces " + std::to_string(*length) + " payload bytes, more than " +
             std::to_string(kMaxTcpPayload));
    EndConnection(false);
    return;
  }
  if (closed) {
    if (reader_.BufferedBytes() > 0) {
      AddFault("the connection ended inside a message (" + std::to_string(reader_.BufferedBytes()) +
               " bytes of it received)");
    }
    EndConnection(true);
  }
}

void TestServer::ReceiveDatagrams() {
  for (;;) {
    sockaddr_in source{};
    socklen_t size = sizeof source;
    const ssize_t got = ::recvfrom(udp_.Get(), datagramBuffer_.data(), datagramBuffer_.size(), 0,
                                   reinterpret_cast<sockaddr*>(&source), &size);
    if (got < 0) {
      return;
    }
    HandleDatagram(std::span(datagramBuffer_.data(), static_cast<std::size_t>(got)), source);
  }
}

void TestServer::HandleDatagram(std::span<const std::uint8_t> bytes, const sockaddr_in& source) {
  const std::lock_guard lock(mutex_);
  if (!connected_) {
    faults_.push_back("a datagram arrived before any client connected");
    return;
  }
  const std::uint32_t expectedSequence = udpBytesReceived_;
  udpBytesReceived_ += static_cast<std::uint32_t>(bytes.size());
  const std::optional<WireHeader> header = ReadDatagramHeader(bytes);
  if (!header) {
    faults_.push_back("a datagram of " + std::to_string(bytes.size()) +
                      " bytes is shorter than its header");
    return;
  }
  const std::span<const std::uint8_t> payload = bytes.subspan(kDatagramHeaderSize);
  const std::string what = "datagram " + Describe(*header);
  if (header->length != payload.size()) {
    faults_.push_back(what + " carries " + std::to_string(payload.size()) +
                      " payload bytes but announces " + std::to_string(header->length));
  }
  if (payload.size() > kMaxDatagramPayload) {
    faults_.push_back(what + " carries more than " + std::to_string(kMaxDatagramPayload) +
                      " payload bytes");
  }
  if (header->sequence != expectedSequence) {
    faults_.push_back(what + " has sequence " + std::to_string(header->sequence) + ", expected " +
                      std::to_string(expectedSequence));
  }
  if (clientUdp_.sin_port != 0 && (source.sin_port != clientUdp_.sin_port ||
                                   source.sin_addr.s_addr != clientUdp_.sin_addr.s_addr)) {
    faults_.push_back(what + " comes from port " + std::to_string(ntohs(source.sin_port)) +
                      ", not from the port the client announced, " +
                      std::to_string(ntohs(clientUdp_.sin_port)));
  }
  ReceivedMessage message;
  message.transport = Transport::kUdp;
  message.address = header->address;
  message.type = header->type;
  message.length = header->length;
  message.sequence = header->sequence;
  message.payload.assign(payload.begin(), payload.end());
  RecordLocked(message);
  if (header->type == MSG_ALIVE_REQUEST && answerAlive_ && !ended_) {
    if (!SendDatagramTo(MakeDatagram(header->address, MSG_ALIVE_REPLY, message.payload), source)) {
      faults_.push_back(std::string("the alive reply could not be sent: ") + std::strerror(errno));
    }
  }
}

void TestServer::RecordLocked(ReceivedMessage message) {
  message.atMs = ElapsedMs();
  firstArrivalMs_.try_emplace(message.type, message.atMs);
  if (message.type == MSG_UDP_PORT) {
    if (message.payload.size() == 2) {
      // Network order, as sin_port keeps it.
      clientUdp_.sin_port = htons(arena::ByteReader(message.payload).U16BigEndian());
    } else {
      faults_.push_back("MSG_UDP_PORT carries " + std::to_string(message.payload.size()) +
                        " bytes, not 2");
    }
  }
  received_.push_back(std::move(message));
  changed_.notify_all();
}

void TestServer::PlayDueSteps() {
  const std::lock_guard lock(mutex_);
  if (!connected_ || ended_ || steps_.empty()) {
    return;
  }
  const std::uint32_t now = ElapsedMs();
  std::vector<std::pair<std::uint64_t, std::size_t>> due;  // {due time, order}
  for (const PendingStep& pending : steps_) {
    std::uint64_t origin = 0;
    if (pending.step.afterType) {
      const auto arrival = firstArrivalMs_.find(*pending.step.afterType);
      if (arrival == firstArrivalMs_.end()) {
        continue;
      }
      origin = arrival->second;
    }
    const std::uint64_t dueMs = origin + pending.step.atMs;
    if (dueMs <= now) {
      due.emplace_back(dueMs, pending.order);
    }
  }
  std::sort(due.begin(), due.end());
  bool played = false;
  for (const auto& entry : due) {
    const std::size_t order = entry.second;
    const auto pending = std::find_if(steps_.begin(), steps_.end(),
                                      [order](const PendingStep& p) { return p.order == order; });
    if (!PlayLocked(pending->step.action)) {
      break;
    }
    steps_.erase(pending);
    played = true;
  }
  if (played) {
    changed_.notify_all();
  }
}

bool TestServer::PlayLocked(const Action& action) {
  switch (action.kind) {
    case Action::Kind::kTcp:
      QueueTcp(action);
      return true;
    case Action::Kind::kUdp:
      // Datagrams wait until the client has told its UDP port.
      if (clientUdp_.sin_port == 0) {
        return false;
      }
      if (!SendDatagramTo(action, clientUdp_)) {
        faults_.push_back(std::string("a datagram could not be sent: ") + std::strerror(errno));
      }
      return true;
    case Action::Kind::kClose:
      output_.push_back(OutputChunk{{}, false, true});
      return true;
    case Action::Kind::kAnswerAlive:
      answerAlive_ = action.answerAlive;
      return true;
  }
  return true;
}

PayloadSources TestServer::Sources() const {
  return PayloadSources{paramWords_, globalParams_, udpPort_};
}

void TestServer::QueueTcp(const Action& action) {
  const std::vector<std::uint8_t> payload = BuildPayload(action.payload, Sources());
  std::vector<std::uint8_t> bytes;
  if (!action.raw) {
    AppendTcpHeader(bytes,
                    WireHeader{action.address, action.type,
                               action.length.value_or(static_cast<std::uint32_t>(payload.size()))});
  }
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  if (action.split == 0) {
    output_.push_back(OutputChunk{std::move(bytes), false, false});
    return;
  }
  for (std::size_t offset = 0; offset < bytes.size(); offset += action.split) {
    const std::size_t end = std::min<std::size_t>(bytes.size(), offset + action.split);
    output_.push_back(
        OutputChunk{std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                                              bytes.begin() + static_cast<std::ptrdiff_t>(end)),
                    true, false});
  }
}

bool TestServer::SendDatagramTo(const Action& action, const sockaddr_in& destination) {
  const std::vector<std::uint8_t> payload = BuildPayload(action.payload, Sources());
  std::vector<std::uint8_t> bytes;
  if (!action.raw) {
    AppendDatagramHeader(
        bytes, WireHeader{action.address, action.type,
                          action.length.value_or(static_cast<std::uint32_t>(payload.size())),
                          action.sequence.value_or(udpBytesSent_)});
  }
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  udpBytesSent_ += static_cast<std::uint32_t>(bytes.size());
  const int fd = action.fromForeign ? foreignUdp_.Get()
                 : action.fromOther ? otherUdp_.Get()
                                    : udp_.Get();
  return ::sendto(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                  reinterpret_cast<const sockaddr*>(&destination), sizeof destination) >= 0;
}

void TestServer::FlushTcp() {
  const Clock::time_point now = Clock::now();
  if (now < nextSend_) {
    return;
  }
  while (!output_.empty() && connection_.IsOpen()) {
    OutputChunk& chunk = output_.front();
    if (!chunk.bytes.empty()) {
      const ssize_t sent =
          ::send(connection_.Get(), chunk.bytes.data(), chunk.bytes.size(), MSG_NOSIGNAL);
      if (sent < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
          EndConnection(true);
        }
        return;
      }
      chunk.bytes.erase(chunk.bytes.begin(), chunk.bytes.begin() + sent);
      if (!chunk.bytes.empty()) {
        return;
      }
    }
    const bool pause = chunk.pauseAfter;
    const bool close = chunk.closeAfter;
    output_.pop_front();
    if (close) {
      EndConnection(false);
      return;
    }
    if (pause) {
      nextSend_ = now + kSplitPause;
      return;
    }
  }
}

void TestServer::EndConnection(bool byClient) {
  if (!byClient) {
    ::shutdown(connection_.Get(), SHUT_RDWR);
  }
  connection_.Reset();
  output_.clear();
  const std::lock_guard lock(mutex_);
  ended_ = true;
  closedByClient_ = byClient;
  changed_.notify_all();
}

void TestServer::AddFault(std::string fault) {
  const std::lock_guard lock(mutex_);
  faults_.push_back(std::move(fault));
}

std::uint32_t TestServer::ElapsedMs() const {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - acceptedAt_).count());
}

}  // namespace testserver
