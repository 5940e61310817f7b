#include "common/socket/net_socket.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

#include "base/byte_writer.h"
#include "common/messages.h"
#include "common/socket/net_incoming.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/handle.h"
#include "platform/kernel/thread.h"
#include "platform/winsock.h"

static_assert(std::is_same_v<winsock::SOCKET, std::uintptr_t>);

namespace {

constexpr std::uint32_t kAliveTimeoutSeconds = 120;
constexpr std::uint32_t kAliveRequestSeconds = 3;
// The first alive sign is taken as this long before connecting, so that a server that never
// shows one is given up 22 s after the connect.
constexpr std::uint32_t kFirstAliveSignAgeSeconds = 98;
constexpr int kSocketBufferBytes = 16384;
// An idle socket thread sleeps in select until a socket is ready, a post wakes it or the next
// keep-alive step is due, but at most this long: the keep-alive clock may be a virtual one that
// moves without the thread knowing.
constexpr long kLongestIdleWaitMicroseconds = 250000;

std::atomic<NetLogFunction> gLog{nullptr};

// The client whose socket thread is the calling thread.
thread_local const CNetSocket* tPumpingClient = nullptr;

std::uint32_t NowSeconds() { return timeGetTime() / 1000; }

// Reads a socket buffer size and asks for kSocketBufferBytes.
void SetSocketBuffer(winsock::SOCKET s, int option, const char* sizeLine, const char* failLine) {
  const NetLogFunction log = gLog.load();
  int size = 0;
  int length = sizeof size;
  if (winsock::getsockopt(s, winsock::SOL_SOCKET, option, reinterpret_cast<char*>(&size),
                          &length) != 0) {
    return;
  }
  if (log != nullptr) {
    log(0, sizeLine, static_cast<long>(size));
  }
  const int wanted = kSocketBufferBytes;
  if (winsock::setsockopt(s, winsock::SOL_SOCKET, option, reinterpret_cast<const char*>(&wanted),
                          sizeof wanted) != 0 &&
      log != nullptr) {
    log(0, "%s", failLine);
  }
}

}  // namespace

CNetSocket::CNetSocket(std::uint32_t socketType, std::uint32_t options, std::uint32_t threaded)
    : CMailbox(KIND_NETWORK),
      startWallTime_(platform::CrtTime()),
      startProcessorTime_(platform::CrtClock()),
      threaded_(threaded),
      socketType_(socketType),
      tcpSocket_(winsock::INVALID_SOCKET),
      udpSocket_(winsock::INVALID_SOCKET),
      options_(options) {
  winsock::WSADATA data;
  winsock::WSAStartup(0x0101, &data);
  wakeSocket_ = winsock::CreateWakeSocket();
}

CNetSocket::~CNetSocket() {
  Close();
  if (wakeSocket_ != winsock::INVALID_SOCKET) {
    winsock::closesocket(wakeSocket_);
  }
  winsock::WSACleanup();
}

bool CNetSocket::Posted(std::uint32_t type) {
  // Only a post with nothing before it may go out at once: earlier ones are the socket thread's
  // and leave first. A disconnect is left to the socket thread too, which is joined before the
  // sockets close. The socket thread's own posts are sent by its next pass.
  if (threaded_ != 0 && Count() == 1 && type != MSG_DISCONNECTING && tPumpingClient != this &&
      established_.load() && sendLock_.try_lock()) {
    return true;
  }
  WakeSocketThread();
  return false;
}

void CNetSocket::Delivered() {
  const std::lock_guard lock(sendLock_, std::adopt_lock);
  // The socket thread cannot have taken the post meanwhile: it steps only under the send lock.
  if (connected_.load() == 1 && sendState_ == SendState::kIdle) {
    SendStep();
  }
  // A blocked send waits for a writable socket, posts may have come meanwhile, and a lost
  // connection ends the thread's loop: each needs the socket thread.
  if (sendState_ != SendState::kIdle || Count() != 0 || connected_.load() != 1) {
    WakeSocketThread();
  }
}

void CNetSocket::WakeSocketThread() {
  // Pairs with the socket thread's fence between saying it sleeps and its look at the queue.
  std::atomic_thread_fence(std::memory_order_seq_cst);
  if (sleeping_.load() && wakeSocket_ != winsock::INVALID_SOCKET) {
    winsock::SignalWakeSocket(wakeSocket_);
  }
}

void CNetSocket::SetLogFunction(NetLogFunction log) { gLog.store(log); }

int CNetSocket::Open(const char* host, std::uint32_t port) {
  Close();  // a second Open replaces the connection
  tcpSocket_ = winsock::socket(winsock::AF_INET, static_cast<int>(socketType_), 0);
  udpSocket_ = winsock::socket(winsock::AF_INET, winsock::SOCK_DGRAM, 0);
  const auto fail = [this] {
    CloseSockets();
    return 0;
  };
  if (tcpSocket_ == winsock::INVALID_SOCKET || udpSocket_ == winsock::INVALID_SOCKET) {
    return fail();
  }
  winsock::u_long nonBlocking = 1;
  if (winsock::ioctlsocket(tcpSocket_, winsock::FIONBIO, &nonBlocking) != 0 ||
      winsock::ioctlsocket(udpSocket_, winsock::FIONBIO, &nonBlocking) != 0) {
    return fail();
  }
  const int on = 1;
  if (winsock::setsockopt(tcpSocket_, winsock::IPPROTO_TCP, winsock::TCP_NODELAY,
                          reinterpret_cast<const char*>(&on), sizeof on) != 0) {
    if (const NetLogFunction log = gLog.load()) {
      log(0, "%s", "setsockopt: TCP_NODELAY failed");
    }
    return fail();
  }
  SetSocketBuffer(tcpSocket_, winsock::SO_SNDBUF, "Socket send buffer is %ld bytes",
                  "setsockopt: SO_SNDBUF failed");
  SetSocketBuffer(tcpSocket_, winsock::SO_RCVBUF, "Socket recv buffer is %ld bytes",
                  "setsockopt: SO_RCVBUF failed");

  winsock::u_long address = winsock::inet_addr(host);
  if (address == winsock::INADDR_NONE) {
    const winsock::hostent* found = winsock::gethostbyname(host);
    if (found == nullptr || found->h_addr_list[0] == nullptr) {
      return fail();
    }
    std::copy_n(found->h_addr_list[0], sizeof address, reinterpret_cast<char*>(&address));
  }
  return Connect(address, port) != 0 ? 1 : fail();
}

int CNetSocket::Connect(std::uint32_t address, std::uint32_t port) {
  // One socket thread at a time.
  connected_.store(0);
  StopThread();
  {
    // A connection starts from a clean slate: nothing half-read or half-sent, sequences counted
    // from zero, and nothing queued for an earlier connection, so MSG_UDP_PORT goes out first.
    const std::lock_guard lock(sendLock_);
    established_.store(false);
    streamReader_ = NetStreamReader{};
    sendState_ = SendState::kIdle;
    sendPosition_ = 0;
    sendLeft_ = 0;
    udpSeen_ = false;
    lastAcceptedSequence_ = 0;
    udpBytesSent_ = 0;
    for (std::uint32_t length = 0; Receive(length) != nullptr;) {
    }
  }
  winsock::sockaddr_in server{};
  server.sin_family = winsock::AF_INET;
  server.sin_port = winsock::htons(static_cast<winsock::u_short>(port));
  server.sin_addr.s_addr = address;
  if (winsock::connect(tcpSocket_, reinterpret_cast<const winsock::sockaddr*>(&server),
                       sizeof server) != 0 &&
      winsock::WSAGetLastError() != winsock::WSAEWOULDBLOCK) {
    return 0;
  }
  serverAddress_ = address;
  serverPort_ = server.sin_port;
  connected_.store(1);
  lastAliveRequest_ = 0;
  lastAliveSign_ = NowSeconds() - kFirstAliveSignAgeSeconds;

  // Neither call's failure ends the connection: an already bound socket keeps its port, and
  // otherwise the port that is read back (0 when there is none) is announced all the same.
  winsock::sockaddr_in local{};
  local.sin_family = winsock::AF_INET;
  local.sin_addr.s_addr = winsock::INADDR_ANY;
  int localLength = sizeof local;
  winsock::bind(udpSocket_, reinterpret_cast<const winsock::sockaddr*>(&local), sizeof local);
  winsock::getsockname(udpSocket_, reinterpret_cast<winsock::sockaddr*>(&local), &localLength);
  // The port in network order, high byte first.
  arena::ByteWriter udpPort;
  udpPort.U16BigEndian(winsock::ntohs(local.sin_port));
  Post(Address(), MSG_UDP_PORT, static_cast<std::uint32_t>(udpPort.size()), udpPort.bytes().data());

  if (threaded_ != 0) {
    thread_ = CreateThread(nullptr, 0, &CNetSocket::ThreadProc, this, 0, nullptr);
    if (thread_ == nullptr) {
      connected_.store(0);
      return 0;
    }
  }
  return 1;
}

void CNetSocket::Close() {
  connected_.store(0);
  if (tPumpingClient != this) {
    StopThread();
  }
  CloseSockets();
}

void CNetSocket::StopThread() {
  if (thread_ == nullptr) {
    return;
  }
  // With connected 0 the thread leaves after its current pass, which the wake socket cuts short.
  if (wakeSocket_ != winsock::INVALID_SOCKET) {
    winsock::SignalWakeSocket(wakeSocket_);
  }
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

void CNetSocket::CloseSockets() {
  // Waits for a post being sent on its posting thread.
  const std::lock_guard lock(sendLock_);
  established_.store(false);
  if (tcpSocket_ != winsock::INVALID_SOCKET) {
    winsock::shutdown(tcpSocket_, winsock::SD_BOTH);
    winsock::closesocket(tcpSocket_);
    tcpSocket_ = winsock::INVALID_SOCKET;
  }
  if (udpSocket_ != winsock::INVALID_SOCKET) {
    winsock::closesocket(udpSocket_);
    udpSocket_ = winsock::INVALID_SOCKET;
  }
  connected_.store(0);
}

int CNetSocket::Poll() { return threaded_ != 0 ? 0 : Pump(); }

int CNetSocket::Pump() { return PumpWaiting(0); }

DWORD CNetSocket::ThreadProc(LPVOID parameter) {
  auto* client = static_cast<CNetSocket*>(parameter);
  tPumpingClient = client;
  const std::uint32_t start = timeGetTime();
  std::uint32_t previous = start;
  std::uint32_t passes = 0;
  while (client->connected_.load() == 1) {
    const std::uint32_t now = timeGetTime();
    client->longestPumpGap_ = std::max(client->longestPumpGap_, now - previous);
    previous = now;
    ++passes;
    client->PumpWaiting(client->IdleWaitMicroseconds());
  }
  client->averagePumpInterval_ = passes == 0 ? 0 : (timeGetTime() - start) / passes;
  tPumpingClient = nullptr;
  // Whoever waits for the server's messages must learn that none will come.
  CMailbox::WakeWaiters();
  return 0;
}

bool CNetSocket::HasWorkToSend() { return sendState_ == SendState::kSending || Count() != 0; }

long CNetSocket::IdleWaitMicroseconds() const {
  if ((options_ & kKeepAlive) == 0) {
    return kLongestIdleWaitMicroseconds;
  }
  // KeepAlive acts once the clock's whole second reaches one of these.
  const std::int64_t now = timeGetTime();
  const std::int64_t request = (std::int64_t{lastAliveRequest_} + kAliveRequestSeconds) * 1000;
  const std::int64_t timeout = (std::int64_t{lastAliveSign_} + kAliveTimeoutSeconds) * 1000;
  const std::int64_t wait = (std::min(request, timeout) - now) * 1000;
  return static_cast<long>(std::clamp<std::int64_t>(wait, 0, kLongestIdleWaitMicroseconds));
}

void CNetSocket::KeepAlive() {
  const std::uint32_t now = NowSeconds();
  if (now - lastAliveSign_ >= kAliveTimeoutSeconds) {
    Close();
    return;
  }
  if (now - lastAliveRequest_ >= kAliveRequestSeconds) {
    arena::ByteWriter payload;
    payload.U32(timeGetTime());
    Post(Address(), MSG_ALIVE_REQUEST, static_cast<std::uint32_t>(payload.size()),
         payload.bytes().data());
    lastAliveRequest_ = now;
  }
}

int CNetSocket::PumpWaiting(long waitMicroseconds) {
  std::unique_lock lock(sendLock_);
  if (tcpSocket_ == winsock::INVALID_SOCKET) {
    return 0;
  }
  if ((options_ & kKeepAlive) != 0) {
    KeepAlive();
    if (tcpSocket_ == winsock::INVALID_SOCKET) {
      return 0;
    }
  }
  winsock::fd_set readSet;
  winsock::fd_set writeSet;
  winsock::fd_set exceptSet;
  winsock::FdZero(readSet);
  winsock::FdZero(writeSet);
  winsock::FdZero(exceptSet);
  const bool sending = HasWorkToSend();
  for (const std::uintptr_t s : {tcpSocket_, udpSocket_}) {
    if (s == winsock::INVALID_SOCKET) {
      continue;
    }
    winsock::FdSet(s, readSet);
    winsock::FdSet(s, exceptSet);
    // A writable socket alone is no work: only look for one with something to send.
    if (sending) {
      winsock::FdSet(s, writeSet);
    }
  }
  // Before sleeping, say so and look at the queue once more: a post either comes before that
  // look and is seen, or finds the thread sleeping and signals the wake socket.
  long wait = sending ? 0 : waitMicroseconds;
  if (wait != 0 && wakeSocket_ != winsock::INVALID_SOCKET) {
    sleeping_.store(true);
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (Count() != 0 || connected_.load() != 1) {
      wait = 0;
    }
    winsock::FdSet(wakeSocket_, readSet);
  }
  ++counters_.selects;
  const winsock::timeval timeout{wait / 1000000, wait % 1000000};
  // A post may be sent on its own thread while this one waits.
  lock.unlock();
  const int ready = winsock::select(0, &readSet, &writeSet, &exceptSet, &timeout);
  sleeping_.store(false);
  lock.lock();
  if (ready <= 0) {
    return 0;
  }
  if (winsock::FdIsSet(wakeSocket_, readSet)) {
    winsock::DrainWakeSocket(wakeSocket_);
    if (ready == 1) {
      return 0;  // only woken: the next pass sends what was posted
    }
  }
  if (exceptSet.fd_count != 0) {
    Close();
    return 0;
  }
  if (writeSet.fd_count != 0) {
    if (threaded_ != 0 && winsock::FdIsSet(tcpSocket_, writeSet)) {
      established_.store(true);
    }
    ++counters_.writablePumps;
    SendStep();
  }
  if (winsock::FdIsSet(tcpSocket_, readSet) || winsock::FdIsSet(udpSocket_, readSet)) {
    ++counters_.readablePumps;
    std::uint32_t received = 0;
    while (ReceiveStep() != 0) {
      ++received;
    }
    counters_.maxReceivesPerPump = std::max(counters_.maxReceivesPerPump, received);
  }
  return 1;
}

int CNetSocket::SendStep() {
  if (sendState_ == SendState::kSending) {
    return SendTcpStep();
  }
  std::uint32_t length = 0;
  const MailboxMessagePtr message = Receive(length);
  if (message == nullptr) {
    return 0;
  }
  if (IsDatagramMessage(message->type)) {
    SendDatagram(message->sender, message->type, message->Bytes());
    return 0;
  }
  if (message->type == MSG_DISCONNECTING) {
    if (connected_.load() != 0) {
      std::array<std::uint8_t, kNetHeaderSize> logout{};
      WriteNetHeader(logout, NetHeader{Address(), MSG_LOGOUT, 0});
      winsock::send(tcpSocket_, reinterpret_cast<const char*>(logout.data()), logout.size(), 0);
      Close();
    }
    return 0;
  }
  if (length > kMaxTcpPayload) {
    return 0;  // the game posts nothing this large; it cannot be framed
  }
  WriteNetHeader(std::span(sendBuffer_).first<kNetHeaderSize>(),
                 NetHeader{message->sender, message->type, length});
  std::copy_n(message->Payload(), length, sendBuffer_.begin() + kNetHeaderSize);
  sendPosition_ = 0;
  sendLeft_ = kNetHeaderSize + length;
  sendState_ = SendState::kSending;
  return SendTcpStep();
}

int CNetSocket::SendTcpStep() {
  ++counters_.tcpSends;
  const int sent =
      winsock::send(tcpSocket_, reinterpret_cast<const char*>(sendBuffer_.data() + sendPosition_),
                    static_cast<int>(sendLeft_), 0);
  if (sent < 0) {
    const int error = winsock::WSAGetLastError();
    if (error == winsock::WSAEWOULDBLOCK) {
      ++counters_.sendWouldBlocks;
      return 0;
    }
    if (error == winsock::WSAESHUTDOWN || error == winsock::WSAENOTSOCK) {
      return 0;
    }
    if (connected_.load() != 0) {
      connected_.store(0);
      SetErrorText("sending Data", error);
    }
    sendState_ = SendState::kIdle;  // the connection is lost with it
    return 0;
  }
  const auto count = static_cast<std::size_t>(sent);
  if (count < sendLeft_) {
    ++counters_.partialSends;
  }
  counters_.tcpBytesSent += static_cast<std::uint32_t>(count);
  sendPosition_ += count;
  sendLeft_ -= count;
  if (sendLeft_ == 0) {
    sendState_ = SendState::kIdle;
  }
  return 0;
}

void CNetSocket::SendDatagram(std::uint32_t sender, std::uint32_t type,
                              std::span<const std::uint8_t> payload) {
  if (payload.size() > kMaxDatagramPayload) {
    return;  // cannot be framed; never posted by the game
  }
  const auto length = static_cast<std::uint32_t>(payload.size());
  WriteNetDatagramHeader(std::span(sendBuffer_).first<kNetDatagramHeaderSize>(),
                         NetDatagramHeader{sender, type, length, udpBytesSent_});
  std::copy(payload.begin(), payload.end(), sendBuffer_.begin() + kNetDatagramHeaderSize);
  winsock::sockaddr_in server{};
  server.sin_family = winsock::AF_INET;
  server.sin_port = serverPort_;
  server.sin_addr.s_addr = serverAddress_;
  winsock::sendto(udpSocket_, reinterpret_cast<const char*>(sendBuffer_.data()),
                  static_cast<int>(kNetDatagramHeaderSize + length), 0,
                  reinterpret_cast<const winsock::sockaddr*>(&server), sizeof server);
  udpBytesSent_ += static_cast<std::uint32_t>(kNetDatagramHeaderSize) + length;
}

int CNetSocket::ReceiveStep() {
  // A step on a closed connection is not refused: its recv fails, and the error text tells so
  // (the step after a server's logout ends that way).
  ++counters_.receiveSteps;
  // Datagrams are read even while a TCP header or body is half received. They have a buffer of
  // their own, so the stream's partial message stays as it was: the separation is deliberate.
  if (udpSocket_ != winsock::INVALID_SOCKET) {
    const int datagram = ReceiveDatagram();
    if (datagram >= 0) {
      return datagram;
    }
  }
  const std::span<std::uint8_t> space = streamReader_.Space();
  const int got = winsock::recv(tcpSocket_, reinterpret_cast<char*>(space.data()),
                                static_cast<int>(space.size()), 0);
  if (got == 0) {
    Close();  // the server closed the connection
    return 0;
  }
  if (got < 0) {
    const int error = winsock::WSAGetLastError();
    if (error == winsock::WSAEWOULDBLOCK) {
      ++counters_.receiveWouldBlocks;
    } else {
      SetErrorText("recv", error);
    }
    return 0;
  }
  counters_.tcpBytesReceived += static_cast<std::uint32_t>(got);
  const std::optional<NetMessage> message = streamReader_.Commit(static_cast<std::size_t>(got));
  return message ? HandleMessage(*message) : 0;
}

// -1 when no datagram was waiting; otherwise what ReceiveStep returns for it.
int CNetSocket::ReceiveDatagram() {
  winsock::sockaddr_in from{};
  int fromLength = sizeof from;
  const int got = winsock::recvfrom(udpSocket_, reinterpret_cast<char*>(datagramBuffer_.data()),
                                    static_cast<int>(datagramBuffer_.size()), 0,
                                    reinterpret_cast<winsock::sockaddr*>(&from), &fromLength);
  if (got < 0) {
    return -1;
  }
  // Only the server's host speaks to this socket, from whichever of its ports: a datagram may
  // come before MSG_UDP_PORT has named the server's, and alive replies must not be lost.
  if (from.sin_addr.s_addr != serverAddress_) {
    return 0;
  }
  const std::optional<NetDatagram> datagram =
      ReadNetDatagram(std::span(datagramBuffer_).first(static_cast<std::size_t>(got)));
  if (!datagram) {
    return 0;
  }
  if (!udpSeen_) {
    udpSeen_ = true;
    lastAliveSign_ = NowSeconds();
  }
  if (static_cast<std::int32_t>(datagram->sequence) <
      static_cast<std::int32_t>(lastAcceptedSequence_)) {
    return 0;  // stale
  }
  lastAcceptedSequence_ = datagram->sequence;
  return HandleMessage(datagram->message);
}

int CNetSocket::HandleMessage(const NetMessage& message) {
  const NetIncoming incoming = ClassifyIncoming(message.type, message.payload);
  const auto length = static_cast<std::uint32_t>(message.payload.size());
  switch (incoming.action) {
    case NetIncoming::Action::kPassOn:
      Post(message.address, message.type, length, message.payload.data());
      break;
    case NetIncoming::Action::kLogout:
      Post(message.address, message.type, length, message.payload.data());
      Close();
      break;
    case NetIncoming::Action::kSetUdpPort:
      serverPort_ = winsock::htons(incoming.port);
      break;
    case NetIncoming::Action::kAliveReply:
      lastAliveSign_ = NowSeconds();
      roundTripTime_.store(timeGetTime() - incoming.value);
      break;
    case NetIncoming::Action::kAliveRequest: {
      arena::ByteWriter reply;
      reply.U32(incoming.value);
      Post(Address(), MSG_ALIVE_REPLY, static_cast<std::uint32_t>(reply.size()),
           reply.bytes().data());
      break;
    }
    case NetIncoming::Action::kShort:
      if (const NetLogFunction log = gLog.load()) {
        log(0, "short message: type 0x%08X, %u bytes of %u", message.type, length, incoming.value);
      }
      break;
    case NetIncoming::Action::kConsume:
      break;
  }
  return 1;
}

void CNetSocket::SetErrorText(const char* what, int error) {
  const std::string text = error != 0 ? winsock::SocketErrorText(error) : "No Error Found";
  std::snprintf(errorText_.data(), errorText_.size(), "%s: %s", what, text.c_str());
}
