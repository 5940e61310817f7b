// Windows Sockets 1.1, as far as the network client calls it, over BSD sockets.
//
// Winsock took its names from the BSD interface, so the two cannot share a scope: everything here
// lives in namespace winsock, and a source file includes either this header or the system's socket
// headers, never both (the constants here carry the names that the system headers define as
// macros). SOCKET values are the system's descriptors.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

#include "platform/kernel/types.h"

namespace winsock {

using u_char = std::uint8_t;
using u_short = std::uint16_t;
using u_int = std::uint32_t;
using u_long = std::uint32_t;
using SOCKET = std::uintptr_t;

inline constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};
inline constexpr int SOCKET_ERROR = -1;

// Codes of our own choice where the system's would do: they are passed to the system unchanged.
inline constexpr int AF_INET = 2;
inline constexpr int SOCK_STREAM = 1;
inline constexpr int SOCK_DGRAM = 2;
inline constexpr int IPPROTO_TCP = 6;
inline constexpr int TCP_NODELAY = 1;
inline constexpr int SOL_SOCKET = 1;
inline constexpr int SO_SNDBUF = 7;
inline constexpr int SO_RCVBUF = 8;
inline constexpr long FIONBIO = 0x5421;
inline constexpr u_long INADDR_ANY = 0;
inline constexpr u_long INADDR_NONE = 0xFFFFFFFF;
inline constexpr int SD_RECEIVE = 0;
inline constexpr int SD_SEND = 1;
inline constexpr int SD_BOTH = 2;

// Error codes that WSAGetLastError reports.
inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEINPROGRESS = 10036;
inline constexpr int WSAEALREADY = 10037;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEMSGSIZE = 10040;
inline constexpr int WSAEAFNOSUPPORT = 10047;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAEISCONN = 10056;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAEHOSTUNREACH = 10065;
inline constexpr int WSAVERNOTSUPPORTED = 10092;
inline constexpr int WSAHOST_NOT_FOUND = 11001;

struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[257];
  char szSystemStatus[129];
  u_short iMaxSockets;
  u_short iMaxUdpDg;
  char* lpVendorInfo;
};

struct in_addr {
  u_long s_addr;  // network byte order
};

struct sockaddr {
  u_short sa_family;
  char sa_data[14];
};

struct sockaddr_in {
  u_short sin_family;
  u_short sin_port;  // network byte order
  in_addr sin_addr;
  char sin_zero[8];
};
static_assert(sizeof(sockaddr_in) == 16 && sizeof(sockaddr) == 16);

struct hostent {
  char* h_name;
  char** h_aliases;
  short h_addrtype;
  short h_length;
  char** h_addr_list;  // null-terminated; each entry h_length bytes in network order
};

struct timeval {
  long tv_sec;
  long tv_usec;
};

// A set of at most kFdSetSize sockets. The system headers own the names of the FD_ macros, so the
// three set operations are the functions below.
inline constexpr u_int kFdSetSize = 64;
struct fd_set {
  u_int fd_count;
  SOCKET fd_array[kFdSetSize];
};
void FdZero(fd_set& set);
// Adds the socket unless it is there already or the set is full.
void FdSet(SOCKET socket, fd_set& set);
bool FdIsSet(SOCKET socket, const fd_set& set);

// Version 1.1 and above are accepted; WSAVERNOTSUPPORTED below.
int WSAStartup(WORD versionRequested, WSADATA* data);
int WSACleanup();
// The error of the calling thread's last failed call.
int WSAGetLastError();
// The system's message text for an error code of WSAGetLastError.
std::string SocketErrorText(int error);

SOCKET socket(int af, int type, int protocol);
int closesocket(SOCKET s);
int shutdown(SOCKET s, int how);
int bind(SOCKET s, const sockaddr* name, int nameLength);
// On a non-blocking socket a connection still being made fails with WSAEWOULDBLOCK; select then
// reports it writable once made, or in the exception set when it failed.
int connect(SOCKET s, const sockaddr* name, int nameLength);
int getsockname(SOCKET s, sockaddr* name, int* nameLength);
int ioctlsocket(SOCKET s, long command, u_long* argument);
int setsockopt(SOCKET s, int level, int option, const char* value, int length);
int getsockopt(SOCKET s, int level, int option, char* value, int* length);
// Never raise a signal for a broken connection: the error comes back as WSAESHUTDOWN.
int send(SOCKET s, const char* buffer, int length, int flags);
int recv(SOCKET s, char* buffer, int length, int flags);
int sendto(SOCKET s, const char* buffer, int length, int flags, const sockaddr* to, int toLength);
int recvfrom(SOCKET s, char* buffer, int length, int flags, sockaddr* from, int* fromLength);
// The first argument is ignored, as in Winsock. Sets left null are not looked at; a readable set
// also reports a socket whose peer has closed (recv then returns 0).
int select(int ignored, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet,
           const timeval* timeout);

// Not part of Windows Sockets: a wake socket, which select reports readable from the first
// SignalWakeSocket until DrainWakeSocket, so that a thread sleeping in select on its sockets can
// be woken by another thread. Closed with closesocket; INVALID_SOCKET when none can be made.
SOCKET CreateWakeSocket();
void SignalWakeSocket(SOCKET s);
void DrainWakeSocket(SOCKET s);

// Defined here because the system headers may make macros of these names.
static_assert(std::endian::native == std::endian::little, "network order is the reverse");
constexpr u_short htons(u_short value) { return static_cast<u_short>((value << 8) | (value >> 8)); }
constexpr u_short ntohs(u_short value) { return htons(value); }
constexpr u_long htonl(u_long value) {
  return (value << 24) | ((value & 0xFF00) << 8) | ((value >> 8) & 0xFF00) | (value >> 24);
}
constexpr u_long ntohl(u_long value) { return htonl(value); }
// A dotted IPv4 address in network order, INADDR_NONE for anything else.
u_long inet_addr(const char* text);
// IPv4 addresses only. The record belongs to the calling thread until its next call.
hostent* gethostbyname(const char* name);

}  // namespace winsock
