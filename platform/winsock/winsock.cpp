// The system's socket headers come after ours: their macros then shadow our constants of the same
// names, which carry the same values.
#include "platform/winsock/winsock.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <unordered_set>
#include <utility>
#include <vector>

namespace winsock {
namespace {

thread_local int tLastError = 0;

// Sockets whose non-blocking connect has not been settled by a select yet.
std::mutex gConnectingMutex;
std::unordered_set<int> gConnecting;

struct ErrorPair {
  int system;
  int winsock;
};
constexpr ErrorPair kErrors[] = {
    {EINTR, WSAEINTR},
    {EBADF, WSAENOTSOCK},
    {ENOTSOCK, WSAENOTSOCK},
    {EACCES, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {EAGAIN, WSAEWOULDBLOCK},
    {EINPROGRESS, WSAEWOULDBLOCK},  // a non-blocking connect under way
    {EALREADY, WSAEALREADY},
    {EMSGSIZE, WSAEMSGSIZE},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETUNREACH, WSAENETUNREACH},
    {ECONNABORTED, WSAECONNABORTED},
    {ECONNRESET, WSAECONNRESET},
    {ENOBUFS, WSAENOBUFS},
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {EPIPE, WSAESHUTDOWN},
    {ESHUTDOWN, WSAESHUTDOWN},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
    {EHOSTUNREACH, WSAEHOSTUNREACH},
};

// Codes without a Winsock counterpart keep the system's number, which lies below every Winsock
// code.
int ToWinsockError(int error) {
  for (const ErrorPair& pair : kErrors) {
    if (pair.system == error) {
      return pair.winsock;
    }
  }
  return error;
}

int ToSystemError(int error) {
  for (const ErrorPair& pair : kErrors) {
    if (pair.winsock == error) {
      return pair.system;
    }
  }
  return error;
}

// Records errno as the thread's last error and returns SOCKET_ERROR.
int Fail() {
  tLastError = ToWinsockError(errno);
  return SOCKET_ERROR;
}

int Fail(int winsockError) {
  tLastError = winsockError;
  return SOCKET_ERROR;
}

// A SOCKET that cannot be a descriptor gives -1, which the system refuses with EBADF.
int Descriptor(SOCKET s) { return s > static_cast<SOCKET>(INT32_MAX) ? -1 : static_cast<int>(s); }

int Result(long result) { return result < 0 ? Fail() : static_cast<int>(result); }

const ::sockaddr* SystemAddress(const sockaddr* address) {
  return reinterpret_cast<const ::sockaddr*>(address);
}

::sockaddr* SystemAddress(sockaddr* address) { return reinterpret_cast<::sockaddr*>(address); }

bool TakeConnecting(int fd) {
  const std::lock_guard lock(gConnectingMutex);
  return gConnecting.erase(fd) != 0;
}

// The pending error of a socket, clearing it.
int PendingError(int fd) {
  int error = 0;
  socklen_t size = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
    return errno;
  }
  return error;
}

struct HostRecord {
  hostent host{};
  std::string name;
  std::vector<::in_addr> addresses;
  std::vector<char*> addressList;
  char* noAliases = nullptr;
};

}  // namespace

void FdZero(fd_set& set) { set.fd_count = 0; }

void FdSet(SOCKET socket, fd_set& set) {
  if (FdIsSet(socket, set) || set.fd_count >= kFdSetSize) {
    return;
  }
  set.fd_array[set.fd_count++] = socket;
}

bool FdIsSet(SOCKET socket, const fd_set& set) {
  for (u_int i = 0; i < set.fd_count && i < kFdSetSize; ++i) {
    if (set.fd_array[i] == socket) {
      return true;
    }
  }
  return false;
}

int WSAStartup(WORD versionRequested, WSADATA* data) {
  constexpr WORD kVersion = 0x0101;  // 1.1: low byte major, high byte minor
  const int major = versionRequested & 0xFF;
  const int minor = versionRequested >> 8;
  if (major < 1 || (major == 1 && minor < 1)) {
    return WSAVERNOTSUPPORTED;
  }
  if (data != nullptr) {
    *data = WSADATA{};
    data->wVersion = kVersion;
    data->wHighVersion = kVersion;
    std::strcpy(data->szDescription, "BSD sockets");
    std::strcpy(data->szSystemStatus, "Running");
    data->iMaxSockets = 0xFFFF;
    data->iMaxUdpDg = 0xFFFF;
  }
  return 0;
}

int WSACleanup() { return 0; }

int WSAGetLastError() { return tLastError; }

std::string SocketErrorText(int error) {
  char buffer[256];
  return ::strerror_r(ToSystemError(error), buffer, sizeof buffer);
}

SOCKET socket(int af, int type, int protocol) {
  const int fd = ::socket(af, type | SOCK_CLOEXEC, protocol);
  if (fd < 0) {
    Fail();
    return INVALID_SOCKET;
  }
  return static_cast<SOCKET>(fd);
}

int closesocket(SOCKET s) {
  const int fd = Descriptor(s);
  TakeConnecting(fd);
  return Result(::close(fd));
}

SOCKET CreateWakeSocket() {
  const int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  return fd < 0 ? INVALID_SOCKET : static_cast<SOCKET>(fd);
}

void SignalWakeSocket(SOCKET s) {
  const std::uint64_t one = 1;
  // A full counter is still readable, so a failed write loses no wake-up.
  [[maybe_unused]] const ssize_t written = ::write(Descriptor(s), &one, sizeof one);
}

void DrainWakeSocket(SOCKET s) {
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t got = ::read(Descriptor(s), &count, sizeof count);
}

int shutdown(SOCKET s, int how) { return Result(::shutdown(Descriptor(s), how)); }

int bind(SOCKET s, const sockaddr* name, int nameLength) {
  return Result(::bind(Descriptor(s), SystemAddress(name), static_cast<socklen_t>(nameLength)));
}

int connect(SOCKET s, const sockaddr* name, int nameLength) {
  const int fd = Descriptor(s);
  if (::connect(fd, SystemAddress(name), static_cast<socklen_t>(nameLength)) == 0) {
    return 0;
  }
  if (errno == EINPROGRESS) {
    const std::lock_guard lock(gConnectingMutex);
    gConnecting.insert(fd);
  }
  return Fail();
}

int getsockname(SOCKET s, sockaddr* name, int* nameLength) {
  socklen_t size = static_cast<socklen_t>(*nameLength);
  if (::getsockname(Descriptor(s), SystemAddress(name), &size) != 0) {
    return Fail();
  }
  *nameLength = static_cast<int>(size);
  return 0;
}

int ioctlsocket(SOCKET s, long command, u_long* argument) {
  if (command != FIONBIO) {
    return Fail(WSAEINVAL);
  }
  int on = *argument != 0 ? 1 : 0;
  return Result(::ioctl(Descriptor(s), FIONBIO, &on));
}

int setsockopt(SOCKET s, int level, int option, const char* value, int length) {
  return Result(::setsockopt(Descriptor(s), level, option, value, static_cast<socklen_t>(length)));
}

int getsockopt(SOCKET s, int level, int option, char* value, int* length) {
  socklen_t size = static_cast<socklen_t>(*length);
  if (::getsockopt(Descriptor(s), level, option, value, &size) != 0) {
    return Fail();
  }
  *length = static_cast<int>(size);
  return 0;
}

int send(SOCKET s, const char* buffer, int length, int flags) {
  return Result(
      ::send(Descriptor(s), buffer, static_cast<std::size_t>(length), flags | MSG_NOSIGNAL));
}

int recv(SOCKET s, char* buffer, int length, int flags) {
  return Result(::recv(Descriptor(s), buffer, static_cast<std::size_t>(length), flags));
}

int sendto(SOCKET s, const char* buffer, int length, int flags, const sockaddr* to, int toLength) {
  return Result(::sendto(Descriptor(s), buffer, static_cast<std::size_t>(length),
                         flags | MSG_NOSIGNAL, SystemAddress(to),
                         static_cast<socklen_t>(toLength)));
}

int recvfrom(SOCKET s, char* buffer, int length, int flags, sockaddr* from, int* fromLength) {
  socklen_t size = fromLength != nullptr ? static_cast<socklen_t>(*fromLength) : 0;
  const ssize_t got = ::recvfrom(Descriptor(s), buffer, static_cast<std::size_t>(length), flags,
                                 from != nullptr ? SystemAddress(from) : nullptr,
                                 from != nullptr ? &size : nullptr);
  if (got < 0) {
    return Fail();
  }
  if (fromLength != nullptr) {
    *fromLength = static_cast<int>(size);
  }
  return static_cast<int>(got);
}

int select(int /*ignored*/, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet,
           const timeval* timeout) {
  struct Entry {
    ::pollfd poll;
    short wanted;  // what the caller asked about
  };
  std::vector<Entry> entries;
  auto add = [&entries](fd_set* set, short events) {
    if (set == nullptr) {
      return;
    }
    for (u_int i = 0; i < set->fd_count && i < kFdSetSize; ++i) {
      const int fd = Descriptor(set->fd_array[i]);
      auto found = std::find_if(entries.begin(), entries.end(),
                                [fd](const Entry& entry) { return entry.poll.fd == fd; });
      if (found == entries.end()) {
        entries.push_back(Entry{::pollfd{fd, 0, 0}, 0});
        found = entries.end() - 1;
      }
      found->wanted = static_cast<short>(found->wanted | events);
    }
  };
  add(readSet, POLLIN);
  add(writeSet, POLLOUT);
  add(exceptSet, POLLPRI);
  std::vector<::pollfd> polled;
  {
    const std::lock_guard lock(gConnectingMutex);
    for (const Entry& entry : entries) {
      // A connect under way ends when the socket becomes writable, asked for or not.
      const short connecting = gConnecting.contains(entry.poll.fd) ? POLLOUT : 0;
      polled.push_back(::pollfd{entry.poll.fd, static_cast<short>(entry.wanted | connecting), 0});
    }
  }

  ::timespec wait{};
  if (timeout != nullptr) {
    wait.tv_sec = timeout->tv_sec;
    wait.tv_nsec = timeout->tv_usec * 1000;
  }
  if (::ppoll(polled.data(), polled.size(), timeout != nullptr ? &wait : nullptr, nullptr) < 0) {
    return Fail();
  }

  fd_set readable{};
  fd_set writable{};
  fd_set exceptional{};
  for (std::size_t i = 0; i < polled.size(); ++i) {
    const int fd = polled[i].fd;
    const short wanted = entries[i].wanted;
    short events = polled[i].revents;
    if ((events & POLLNVAL) != 0) {
      return Fail(WSAENOTSOCK);
    }
    if ((events & (POLLOUT | POLLERR | POLLHUP)) != 0 && TakeConnecting(fd)) {
      // Winsock tells a failed connect through the exception set, not as a readable and
      // writable socket.
      if (PendingError(fd) != 0) {
        events = POLLPRI;
      }
    }
    const SOCKET s = static_cast<SOCKET>(fd);
    if ((events & (POLLIN | POLLERR | POLLHUP)) != 0 && (wanted & POLLIN) != 0) {
      FdSet(s, readable);
    }
    if ((events & POLLOUT) != 0 && (wanted & POLLOUT) != 0) {
      FdSet(s, writable);
    }
    if ((events & POLLPRI) != 0 && (wanted & POLLPRI) != 0) {
      FdSet(s, exceptional);
    }
  }
  int count = 0;
  for (auto [set, result] : {std::pair{readSet, &readable}, std::pair{writeSet, &writable},
                             std::pair{exceptSet, &exceptional}}) {
    if (set != nullptr) {
      *set = *result;
      count += static_cast<int>(result->fd_count);
    }
  }
  return count;
}

u_long inet_addr(const char* text) { return ::inet_addr(text); }

hostent* gethostbyname(const char* name) {
  thread_local HostRecord record;
  ::addrinfo hints{};
  hints.ai_family = AF_INET;
  ::addrinfo* found = nullptr;
  if (name == nullptr || ::getaddrinfo(name, nullptr, &hints, &found) != 0) {
    Fail(WSAHOST_NOT_FOUND);
    return nullptr;
  }
  record.name = name;
  record.addresses.clear();
  for (const ::addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    const auto* address = reinterpret_cast<const ::sockaddr_in*>(entry->ai_addr);
    const bool seen = std::any_of(
        record.addresses.begin(), record.addresses.end(),
        [address](const ::in_addr& known) { return known.s_addr == address->sin_addr.s_addr; });
    if (!seen) {
      record.addresses.push_back(address->sin_addr);
    }
  }
  ::freeaddrinfo(found);
  record.addressList.clear();
  for (::in_addr& address : record.addresses) {
    record.addressList.push_back(reinterpret_cast<char*>(&address));
  }
  record.addressList.push_back(nullptr);
  record.host.h_name = record.name.data();
  record.host.h_aliases = &record.noAliases;
  record.host.h_addrtype = AF_INET;
  record.host.h_length = sizeof(::in_addr);
  record.host.h_addr_list = record.addressList.data();
  return &record.host;
}

}  // namespace winsock
