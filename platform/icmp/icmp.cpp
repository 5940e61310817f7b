#include "platform/icmp/icmp.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/icmp/echo_packet.h"
#include "platform/kernel/last_error.h"

namespace {

constexpr std::size_t kLargestPacket = 65536;

class IcmpObject : public platform::KernelObject {
 public:
  IcmpObject(int socket, bool raw) : socket_(socket), raw_(raw) {}
  ~IcmpObject() override { ::close(socket_); }
  IcmpObject(const IcmpObject&) = delete;
  IcmpObject& operator=(const IcmpObject&) = delete;
  // IcmpCloseHandle closes it.
  bool ClosedByCloseHandle() const override { return false; }
  int Socket() const { return socket_; }
  // A raw socket sees every ICMP packet, IP header first, and the request carries our own
  // identifier; a ping socket sees only the replies to its own identifier, which the kernel sets.
  bool Raw() const { return raw_; }
  WORD NextSequence() { return static_cast<WORD>(sequence_.fetch_add(1) + 1); }

 private:
  int socket_;
  bool raw_;
  std::atomic<unsigned> sequence_{0};
};

WORD Identifier() { return static_cast<WORD>(::getpid()); }

void WriteReply(IPAddr destination, DWORD roundTrip, const std::vector<std::uint8_t>& data,
                LPVOID replyBuffer, DWORD replySize) {
  auto* bytes = static_cast<std::uint8_t*>(replyBuffer);
  const std::size_t room = replySize - sizeof(ICMP_ECHO_REPLY);
  const std::size_t kept = std::min({room, data.size(), std::size_t{0xFFFF}});
  ICMP_ECHO_REPLY reply{};
  reply.Address = destination;
  reply.Status = IP_SUCCESS;
  reply.RoundTripTime = roundTrip;
  reply.DataSize = static_cast<WORD>(kept);
  reply.Data = bytes + sizeof(ICMP_ECHO_REPLY);
  std::memcpy(bytes, &reply, sizeof reply);
  std::memcpy(bytes + sizeof reply, data.data(), kept);
}

DWORD Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

HANDLE IcmpCreateFile() {
  int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
  bool raw = false;
  if (socket < 0) {
    socket = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    raw = true;
  }
  if (socket < 0) {
    SetLastError(static_cast<DWORD>(errno));
    return INVALID_HANDLE_VALUE;
  }
  return platform::IssueHandle(std::make_shared<IcmpObject>(socket, raw));
}

DWORD IcmpSendEcho(HANDLE icmp, IPAddr destination, LPVOID requestData, WORD requestSize,
                   IP_OPTION_INFORMATION* /*options*/, LPVOID replyBuffer, DWORD replySize,
                   DWORD timeout) {
  const auto object = platform::HandleAs<IcmpObject>(icmp);
  if (object == nullptr) {
    return 0;
  }
  if (replyBuffer == nullptr || replySize < sizeof(ICMP_ECHO_REPLY)) {
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  const WORD sequence = object->NextSequence();
  const std::vector<std::uint8_t> request =
      platform::MakeEchoRequest(Identifier(), sequence, requestData, requestSize);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = destination;
  const auto start = std::chrono::steady_clock::now();
  if (::sendto(object->Socket(), request.data(), request.size(), MSG_NOSIGNAL,
               reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
    return Fail(IP_GENERAL_FAILURE);
  }
  const auto deadline = start + std::chrono::milliseconds(timeout);
  std::vector<std::uint8_t> packet(kLargestPacket);
  std::vector<std::uint8_t> data;
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      return Fail(IP_REQ_TIMED_OUT);
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    pollfd waiting{object->Socket(), POLLIN, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(left));
    if (ready < 0 && errno != EINTR) {
      return Fail(IP_GENERAL_FAILURE);
    }
    if (ready <= 0) {
      continue;
    }
    sockaddr_in from{};
    socklen_t fromSize = sizeof from;
    const ssize_t size = ::recvfrom(object->Socket(), packet.data(), packet.size(), 0,
                                    reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (size < 0) {
      return Fail(IP_GENERAL_FAILURE);
    }
    // A ping socket sees only its own replies, with the identifier the kernel gave them.
    const WORD identifier = Identifier();
    if (from.sin_addr.s_addr == destination &&
        platform::ReadEchoReply(packet.data(), static_cast<std::size_t>(size), object->Raw(),
                                object->Raw() ? &identifier : nullptr, sequence, data)) {
      const auto roundTrip = std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::steady_clock::now() - start);
      WriteReply(destination, static_cast<DWORD>(roundTrip.count()), data, replyBuffer, replySize);
      return 1;
    }
  }
}

BOOL IcmpCloseHandle(HANDLE icmp) {
  return platform::CloseHandleAs<IcmpObject>(icmp) ? TRUE : FALSE;
}
