// The problem word: one bit per failed check, and the report line of each bit in report order.
#pragma once

#include <array>

#include "platform/kernel/types.h"

inline constexpr DWORD kProblemOsVersion = 0x001;
inline constexpr DWORD kProblemDiskSpace = 0x002;
inline constexpr DWORD kProblemMemory = 0x004;
inline constexpr DWORD kProblemProcessor = 0x008;
inline constexpr DWORD kProblemProcessorSpeed = 0x010;
inline constexpr DWORD kProblemDirectDraw = 0x020;
inline constexpr DWORD kProblemDirectSound = 0x040;
inline constexpr DWORD kProblemDirectInput = 0x080;
inline constexpr DWORD kProblemWinsock = 0x100;
inline constexpr DWORD kProblemPingSlow = 0x200;
inline constexpr DWORD kProblemPingNoConnection = 0x400;

struct ProblemLine {
  DWORD bit;
  // A format with one %d, the line's number; null for a bit that has no line.
  const char* line;
};

inline constexpr std::array<ProblemLine, 11> kProblemLines = {{
    {kProblemOsVersion, "%d) Your Operating System version is not supported.\r\n"},
    {kProblemDiskSpace, "%d) You do not have enough free disk space.\r\n"},
    {kProblemMemory, "%d) You do not have enough physical memory.\r\n"},
    {kProblemProcessor, "%d) Your processor is not supported.\r\n"},
    {kProblemProcessorSpeed, "%d) You do not have a fast enough processor.\r\n"},
    {kProblemDirectDraw, "%d) You do not have the correct version of DirectDraw\r\n"},
    {kProblemDirectSound, "%d) You do not have the correct version of DirectSound\r\n"},
    {kProblemDirectInput, "%d) You do not have the correct version of DirectInput\r\n"},
    {kProblemWinsock, nullptr},
    {kProblemPingSlow, "%d) Your Ping Time is too slow\r\n"},
    {kProblemPingNoConnection, "%d) Unable to connect to host\r\n"},
}};

static_assert(
    [] {
      for (std::size_t i = 0; i < kProblemLines.size(); ++i) {
        if (kProblemLines[i].bit != DWORD{1} << i) {
          return false;
        }
      }
      return true;
    }(),
    "one row per bit, lowest first");
