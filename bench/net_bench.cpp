// Round trips and one-way message rates of the network client over loopback TCP and UDP, with
// its real socket thread, against a small echo peer; and what an idle connected client costs.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "common/mailbox.h"
#include "common/messages.h"
#include "common/socket/net_framing.h"
#include "common/socket/net_socket.h"
#include "common/socket/net_stream_reader.h"

namespace {

constexpr std::uint32_t kBenchAddress = KIND_TANK | 1;
// Messages of this type are counted by the peer, every other one is echoed.
constexpr std::uint32_t kCountedTcpType = MSG_CHAT_TEAM;
constexpr std::uint32_t kCountedUdpType = MSG_TANK_HIT;

// Answers the client's UDP port with its own and its alive requests with replies, and echoes
// every other message back to kBenchAddress, by the transport it came by.
class EchoPeer {
 public:
  EchoPeer() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    udp_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    socklen_t size = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    ::bind(udp_, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(listener_, 1);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    tcpPort_ = ntohs(address.sin_port);
    ::getsockname(udp_, reinterpret_cast<sockaddr*>(&address), &size);
    udpPort_ = address.sin_port;
    thread_ = std::thread([this] { Run(); });
  }
  ~EchoPeer() {
    stop_.store(true);
    thread_.join();
    for (const int fd : {listener_, udp_, connection_}) {
      if (fd >= 0) {
        ::close(fd);
      }
    }
  }
  std::uint16_t TcpPort() const { return tcpPort_; }
  std::uint64_t Counted() const { return counted_.load(); }

 private:
  void Run() {
    connection_ = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK);
    const int on = 1;
    ::setsockopt(connection_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    while (!stop_.load()) {
      std::array<pollfd, 2> fds{pollfd{connection_, POLLIN, 0}, pollfd{udp_, POLLIN, 0}};
      ::poll(fds.data(), fds.size(), 1);
      ReceiveTcp();
      ReceiveDatagrams();
    }
  }

  void ReceiveTcp() {
    for (;;) {
      const std::span<std::uint8_t> space = reader_.Space();
      const ssize_t got = ::recv(connection_, space.data(), space.size(), 0);
      if (got <= 0) {
        return;
      }
      if (const auto message = reader_.Commit(static_cast<std::size_t>(got))) {
        HandleTcp(*message);
      }
    }
  }

  void HandleTcp(const NetMessage& message) {
    if (message.type == MSG_UDP_PORT) {
      clientUdp_.sin_port = htons(arena::ByteReader(message.payload).U16BigEndian());
      clientUdp_.sin_family = AF_INET;
      clientUdp_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      std::vector<std::uint8_t> reply(kNetHeaderSize + 2);
      WriteNetHeader(std::span(reply).first<kNetHeaderSize>(),
                     NetHeader{kNetworkAddress, MSG_UDP_PORT, 2});
      arena::ByteWriter port;
      port.U16BigEndian(ntohs(udpPort_));
      std::copy(port.bytes().begin(), port.bytes().end(), reply.begin() + kNetHeaderSize);
      SendAll(reply);
      return;
    }
    if (message.type == kCountedTcpType) {
      counted_.fetch_add(1);
      return;
    }
    std::vector<std::uint8_t> echo(kNetHeaderSize + message.payload.size());
    WriteNetHeader(
        std::span(echo).first<kNetHeaderSize>(),
        NetHeader{kBenchAddress, message.type, static_cast<std::uint32_t>(message.payload.size())});
    std::copy(message.payload.begin(), message.payload.end(), echo.begin() + kNetHeaderSize);
    SendAll(echo);
  }

  void SendAll(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
      const ssize_t sent = ::send(connection_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent < 0) {
        if (errno != EAGAIN) {
          return;
        }
        continue;
      }
      bytes = bytes.subspan(static_cast<std::size_t>(sent));
    }
  }

  void ReceiveDatagrams() {
    std::array<std::uint8_t, kNetBufferSize> buffer{};
    for (;;) {
      const ssize_t got = ::recv(udp_, buffer.data(), buffer.size(), 0);
      if (got < 0) {
        return;
      }
      const auto datagram = ReadNetDatagram(std::span(buffer).first(static_cast<std::size_t>(got)));
      if (!datagram) {
        continue;
      }
      if (datagram->message.type == kCountedUdpType) {
        counted_.fetch_add(1);
        continue;
      }
      // The client's keep-alive requests are answered as a server does, or it would give the
      // connection up after 22 s; every other message is echoed.
      const bool alive = datagram->message.type == MSG_ALIVE_REQUEST;
      const std::size_t length = datagram->message.payload.size();
      WriteNetDatagramHeader(std::span(buffer).first<kNetDatagramHeaderSize>(),
                             NetDatagramHeader{alive ? datagram->message.address : kBenchAddress,
                                               alive ? MSG_ALIVE_REPLY : datagram->message.type,
                                               static_cast<std::uint32_t>(length), udpSent_});
      udpSent_ += static_cast<std::uint32_t>(kNetDatagramHeaderSize + length);
      ::sendto(udp_, buffer.data(), kNetDatagramHeaderSize + length, MSG_NOSIGNAL,
               reinterpret_cast<const sockaddr*>(&clientUdp_), sizeof clientUdp_);
    }
  }

  int listener_ = -1;
  int udp_ = -1;
  int connection_ = -1;
  std::uint16_t tcpPort_ = 0;
  std::uint16_t udpPort_ = 0;  // network order
  sockaddr_in clientUdp_{};
  std::uint32_t udpSent_ = 0;
  NetStreamReader reader_;
  std::atomic<std::uint64_t> counted_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// One connected client and its peer for the whole program.
struct Connection {
  Connection() {
    client.SetAddress(kNetworkAddress);
    client.Open("127.0.0.1", peer.TcpPort());
    // The UDP port exchange is done once a TCP echo has come back.
    RoundTrip(MSG_CHAT, 8);
  }
  ~Connection() { client.Close(); }

  // False when no echo came within a second.
  bool RoundTrip(std::uint32_t type, std::uint32_t size) {
    std::array<std::uint8_t, 64> payload{};
    mailbox.Post(kNetworkAddress, type, size, payload.data());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    std::uint32_t length = 0;
    while (mailbox.Receive(length) == nullptr) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      // Polling the mailbox back to back would keep its lock from the socket thread.
      std::this_thread::yield();
    }
    return true;
  }

  CMailbox mailbox{kBenchAddress};
  EchoPeer peer;
  CNetSocket client{1, 1, 1};
};

Connection& Shared() {
  static Connection connection;
  return connection;
}

// The threads of this process, by id.
std::set<std::string> ThreadIds() {
  std::set<std::string> ids;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    ids.insert(entry.path().filename().string());
  }
  return ids;
}

struct ThreadUse {
  double cpuSeconds = 0;
  double wakeUps = 0;  // voluntary context switches: each sleep ends in one wake-up
};

ThreadUse UseOf(const std::string& id) {
  ThreadUse use;
  const std::string folder = "/proc/self/task/" + id;
  std::ifstream statFile(folder + "/stat");
  std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
  // The fields after the command's closing parenthesis; user and system time are its 12th and
  // 13th, in clock ticks.
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int i = 1; i <= 13 && fields >> field; ++i) {
    if (i >= 12) {
      ticks += std::stod(field);
    }
  }
  use.cpuSeconds = ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
  std::ifstream status(folder + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
      use.wakeUps = std::stod(line.substr(line.find(':') + 1));
    }
  }
  return use;
}

// A connected client with nothing to send, as between a login and play: the share of one core
// and the wake-ups per second of its socket thread over ten seconds, keep-alive included.
void BM_IdleClient(benchmark::State& state) {
  constexpr auto kIdle = std::chrono::seconds(10);
  for (auto _ : state) {
    EchoPeer peer;
    const std::set<std::string> before = ThreadIds();
    CNetSocket client{1, 1, 1};
    client.SetAddress(kNetworkAddress);
    client.Open("127.0.0.1", peer.TcpPort());
    std::string socketThread;
    for (const std::string& id : ThreadIds()) {
      if (before.count(id) == 0) {
        socketThread = id;
      }
    }
    if (socketThread.empty()) {
      state.SkipWithError("no socket thread");
      return;
    }
    // The connection's first exchanges are not idle.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const ThreadUse start = UseOf(socketThread);
    const auto startTime = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(kIdle);
    const ThreadUse end = UseOf(socketThread);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - startTime;
    state.SetIterationTime(took.count());
    state.counters["cpu_percent"] = 100.0 * (end.cpuSeconds - start.cpuSeconds) / took.count();
    state.counters["wakeups_per_s"] = (end.wakeUps - start.wakeUps) / took.count();
    state.counters["connected"] = client.IsConnected();
    client.Close();
  }
}
// Before the shared connection exists, so that no other client runs meanwhile.
BENCHMARK(BM_IdleClient)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Round trips one after another (back to back), or each after a pause as a game that sends once
// a frame makes them (paced), with their median and 99th percentile in microseconds. The pause is
// not timed.
void BM_RoundTrip(benchmark::State& state, std::uint32_t type, std::uint32_t size,
                  std::chrono::microseconds pause) {
  Connection& connection = Shared();
  std::int64_t lost = 0;
  std::vector<double> micros;
  for (auto _ : state) {
    if (pause.count() != 0) {
      std::this_thread::sleep_for(pause);
    }
    const auto start = std::chrono::steady_clock::now();
    lost += connection.RoundTrip(type, size) ? 0 : 1;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    micros.push_back(took.count() * 1e6);
  }
  std::sort(micros.begin(), micros.end());
  const auto percentile = [&](double p) {
    return micros.empty() ? 0.0 : micros[static_cast<std::size_t>(p * (micros.size() - 1))];
  };
  state.SetItemsProcessed(state.iterations());
  state.counters["lost"] = static_cast<double>(lost);
  state.counters["p50_us"] = percentile(0.50);
  state.counters["p99_us"] = percentile(0.99);
}
constexpr std::chrono::microseconds kBackToBack{0};
constexpr std::chrono::microseconds kFramePause{5000};
BENCHMARK_CAPTURE(BM_RoundTrip, tcp_chat_16, MSG_CHAT, 16, kBackToBack)->UseManualTime();
BENCHMARK_CAPTURE(BM_RoundTrip, udp_tank_state_36, MSG_TANK_STATE, 36, kBackToBack)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_RoundTrip, paced_tcp_chat_16, MSG_CHAT, 16, kFramePause)->UseManualTime();
BENCHMARK_CAPTURE(BM_RoundTrip, paced_udp_tank_state_36, MSG_TANK_STATE, 36, kFramePause)
    ->UseManualTime();

// Batches stay well below the 300 messages a mailbox queue holds.
constexpr int kBatch = 100;

void BM_OneWay(benchmark::State& state, std::uint32_t type, std::uint32_t size) {
  Connection& connection = Shared();
  std::array<std::uint8_t, 64> payload{};
  std::int64_t lost = 0;
  for (auto _ : state) {
    const std::uint64_t target = connection.peer.Counted() + kBatch;
    for (int i = 0; i < kBatch; ++i) {
      connection.mailbox.Post(kNetworkAddress, type, size, payload.data());
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (connection.peer.Counted() < target && std::chrono::steady_clock::now() < deadline) {
    }
    lost += static_cast<std::int64_t>(target - std::min(target, connection.peer.Counted()));
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
  state.counters["lost"] = static_cast<double>(lost);
}
BENCHMARK_CAPTURE(BM_OneWay, tcp_chat_16, kCountedTcpType, 16)->UseRealTime();
BENCHMARK_CAPTURE(BM_OneWay, udp_tank_hit_20, kCountedUdpType, 20)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
