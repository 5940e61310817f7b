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

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "platform/kernel/last_error.h"

namespace {

constexpr BYTE kEchoRequest = 8;
constexpr BYTE kEchoReply = 0;
constexpr std::size_t kIcmpHeaderSize = 8;
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

// The Internet checksum: the ones' complement of the ones' complement sum of 16-bit words.
WORD Checksum(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const std::uint32_t high = bytes[i];
    const std::uint32_t low = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    sum += (high << 8) | low;
  }
  while ((sum >> 16) != 0) {
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  return static_cast<WORD>(~sum);
}

std::vector<std::uint8_t> EchoRequest(WORD sequence, const void* data, WORD size) {
  arena::ByteWriter packet;
  packet.U8(kEchoRequest);
  packet.U8(0);
  packet.U16BigEndian(0);
  packet.U16BigEndian(Identifier());
  packet.U16BigEndian(sequence);
  std::vector<std::uint8_t> bytes = packet.bytes();
  const auto* first = static_cast<const std::uint8_t*>(data);
  if (first != nullptr) {
    bytes.insert(bytes.end(), first, first + size);
  }
  const WORD checksum = Checksum(bytes);
  bytes[2] = static_cast<std::uint8_t>(checksum >> 8);
  bytes[3] = static_cast<std::uint8_t>(checksum);
  return bytes;
}

// The echoed data when the packet is the reply to this request; false for any other packet.
bool ReadEchoReply(const std::uint8_t* packet, std::size_t size, bool raw, WORD sequence,
                   std::vector<std::uint8_t>& data) {
  arena::ByteReader reader(packet, size);
  if (raw) {
    // The IP header's length is the low nibble of its first byte, in 32-bit words.
    const std::uint8_t versionAndLength = reader.U8();
    reader.Skip(static_cast<std::size_t>(versionAndLength & 0x0F) * 4 - 1);
  }
  const std::uint8_t type = reader.U8();
  reader.Skip(3);  // code and checksum
  const WORD identifier = reader.U16BigEndian();
  const WORD replySequence = reader.U16BigEndian();
  if (!reader.ok() || type != kEchoReply || replySequence != sequence ||
      (raw && identifier != Identifier())) {
    return false;
  }
  data.resize(reader.remaining());
  return reader.Bytes(data.data(), data.size());
}

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
  const std::vector<std::uint8_t> request = EchoRequest(sequence, requestData, requestSize);
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
    if (from.sin_addr.s_addr == destination &&
        ReadEchoReply(packet.data(), static_cast<std::size_t>(size), object->Raw(), sequence,
                      data)) {
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
