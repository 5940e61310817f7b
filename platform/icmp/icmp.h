// ICMP echo, as the ICMP library of the original platform offers it: one echo request and its
// reply at a time. Sent through Linux's unprivileged ping sockets, or through a raw socket where
// the user may open one and ping sockets are not allowed.
#pragma once

#include <cstdint>

#include "platform/kernel/handle.h"
#include "platform/kernel/types.h"

// An IPv4 address in network order.
using IPAddr = std::uint32_t;

inline constexpr DWORD IP_SUCCESS = 0;
inline constexpr DWORD IP_REQ_TIMED_OUT = 11010;
inline constexpr DWORD IP_GENERAL_FAILURE = 11050;

struct IP_OPTION_INFORMATION {
  BYTE Ttl;
  BYTE Tos;
  BYTE Flags;
  BYTE OptionsSize;
  BYTE* OptionsData;
};

struct ICMP_ECHO_REPLY {
  IPAddr Address;
  ULONG Status;
  // Milliseconds from the request to its reply.
  ULONG RoundTripTime;
  WORD DataSize;
  WORD Reserved;
  // The echoed data, in the reply buffer after this record.
  LPVOID Data;
  IP_OPTION_INFORMATION Options;
};

// A handle for echoes, closed with IcmpCloseHandle; INVALID_HANDLE_VALUE when the machine lets
// this user open neither a ping socket nor a raw one (the last error says why).
HANDLE IcmpCreateFile();
// Sends one echo request with the data and waits at most timeout milliseconds for its reply.
// Options are accepted and not used. The reply buffer receives one ICMP_ECHO_REPLY followed by
// as much of the echoed data as fits. The number of replies: 1, or 0 with the reason in
// GetLastError: IP_REQ_TIMED_OUT when no reply came in time, ERROR_INSUFFICIENT_BUFFER when the
// buffer cannot hold the record, ERROR_INVALID_HANDLE, or IP_GENERAL_FAILURE.
DWORD IcmpSendEcho(HANDLE icmp, IPAddr destination, LPVOID requestData, WORD requestSize,
                   IP_OPTION_INFORMATION* options, LPVOID replyBuffer, DWORD replySize,
                   DWORD timeout);
BOOL IcmpCloseHandle(HANDLE icmp);

// The three functions' types, for callers that find them with GetProcAddress.
using IcmpCreateFileProc = HANDLE (*)();
using IcmpSendEchoProc = DWORD (*)(HANDLE, IPAddr, LPVOID, WORD, IP_OPTION_INFORMATION*, LPVOID,
                                   DWORD, DWORD);
using IcmpCloseHandleProc = BOOL (*)(HANDLE);
