#include "probex/system_checks.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog/dialog.h"
#include "platform/kernel/module.h"
#include "platform/system_library/file_version.h"
#include "platform/winsock.h"
#include "probex/probex_state.h"
#include "probex/problem_word.h"
#include "probex/resource_ids.h"
#include "probex/system_facts.h"
#include "probex/text_format.h"

namespace {

constexpr std::array<int, 11> kCommonClocks = {33, 40, 50, 66, 90, 100, 120, 133, 150, 166, 200};
constexpr float kLeastFreeBytes = 31457280.0F;           // 30 MB
constexpr std::uint64_t kLeastPhysicalBytes = 16777216;  // 16 MB
// Half a MB, so that dividing by 2^20 gives the nearest whole MB.
constexpr std::uint64_t kHalfMegabyte = 0x80000;
constexpr int kPentiumLeastMhz = 120;
constexpr WORD kWinsockVersion = 0x0101;
// Module paths are read whole: the original's 50-byte buffer cut them to 49 characters.
constexpr DWORD kPathBufferSize = 4096;

// "%.2f GB" or "%.2f MB" parts of a byte count.
struct SizeInUnits {
  double value;
  const char* unit;
};

SizeInUnits InUnits(float bytes) {
  constexpr float kGigabyte = 1073741824.0F;
  if (bytes >= kGigabyte) {
    return {bytes * (1.0F / kGigabyte), "GB"};
  }
  return {bytes * (1.0F / 1048576.0F), "MB"};
}

// The loaded module's path, or empty when it cannot be read.
std::string ModulePath(HMODULE module) {
  std::vector<char> path(kPathBufferSize);
  if (GetModuleFileNameA(module, path.data(), kPathBufferSize) == 0) {
    return {};
  }
  return path.data();
}

// The fixed file information of the file's version resource, if it has one.
bool ReadFileVersion(const std::string& path, VS_FIXEDFILEINFO& info) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) {
    return false;
  }
  std::vector<BYTE> block(size);
  LPVOID value = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", &value, &length) || length < sizeof info) {
    return false;
  }
  info = *static_cast<const VS_FIXEDFILEINFO*>(value);
  return true;
}

void CheckProcessor(HWND dialog) {
  SYSTEM_INFO info{};
  Facts().SystemInfo(info);
  const int mhz = NormalizeMhz(static_cast<int>(Facts().ProcessorMhz()));
  DWORD bits = 0;
  std::string text;
  if (info.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL) {
    text = "Architecture not supported";
    bits = kProblemProcessor;
  } else if (info.dwProcessorType == PROCESSOR_INTEL_386) {
    text = FormatText("386 Processor %d MHz", mhz);
    bits = kProblemProcessor;
  } else if (info.dwProcessorType == PROCESSOR_INTEL_486) {
    text = FormatText("486 Processor %d MHz", mhz);
    bits = kProblemProcessor;
  } else if (info.dwProcessorType == PROCESSOR_INTEL_PENTIUM) {
    // All 16 bits: a family-5 processor of another vendor has bit 15 set and is "Really Fast".
    const DWORD type = Facts().CpuType() & 0xFFFF;
    if (type == 5) {
      text = FormatText("Pentium Processor %d MHz", mhz);
      bits = mhz < kPentiumLeastMhz ? kProblemProcessorSpeed : 0;
    } else if (type == 6) {
      text = FormatText("Pentium Pro Processor %d MHz", mhz);
    } else {
      text = FormatText("Really Fast Processor %d MHz", mhz);
    }
  } else {
    text = "Processor Not Supported";
    bits = kProblemProcessor;
  }
  SetProblem(bits);
  SetDlgItemTextA(dialog, kProcessorText, text.c_str());
  ShowResultIcon(dialog, kProcessorIcon, bits == 0);
}

}  // namespace

int NormalizeMhz(int mhz) {
  for (const int clock : kCommonClocks) {
    if (std::abs(mhz - clock) <= 5) {
      return clock;
    }
  }
  return mhz;
}

void CheckOsVersion(HWND dialog) {
  const DWORD version = Facts().Version();
  const unsigned major = version & 0xFF;
  const unsigned minor = (version >> 8) & 0xFF;
  std::string text;
  bool pass = true;
  if ((version & 0x80000000) == 0) {
    text = FormatText("Microsoft Windows NT %u.%u (Build: %u)", major, minor, version >> 16);
  } else if (major < 4) {
    text = FormatText("Microsoft Win32s %u.%u (Build: %u)", major, minor, (version >> 16) & 0x7FFF);
    SetProblem(kProblemOsVersion);
    pass = false;
  } else {
    text = FormatText("Microsoft Windows 95 %u.%u (Build: %u)", major, minor,
                      (version >> 16) & 0x7FFF);
  }
  SetDlgItemTextA(dialog, kOsText, text.c_str());
  ShowResultIcon(dialog, kOsIcon, pass);
}

void CheckDiskSpace(HWND dialog) {
  // A drive that cannot be read shows as empty.
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!Facts().DiskFreeSpace(sectorsPerCluster, bytesPerSector, freeClusters, totalClusters)) {
    sectorsPerCluster = bytesPerSector = freeClusters = totalClusters = 0;
  }
  // Multiplied in 64 bits: a 32-bit product wraps on drives of 4 GB and more.
  const std::uint64_t clusterBytes = std::uint64_t{bytesPerSector} * sectorsPerCluster;
  const auto freeBytes = static_cast<float>(freeClusters * clusterBytes);
  const auto totalBytes = static_cast<float>(totalClusters * clusterBytes);
  const bool pass = !(freeBytes < kLeastFreeBytes);
  if (!pass) {
    SetProblem(kProblemDiskSpace);
  }
  const SizeInUnits free = InUnits(freeBytes);
  const SizeInUnits total = InUnits(totalBytes);
  const std::string text =
      FormatText("%.2f %s free of %.2f %s", free.value, free.unit, total.value, total.unit);
  SetDlgItemTextA(dialog, kDiskText, text.c_str());
  ShowResultIcon(dialog, kDiskIcon, pass);
}

void CheckMemory(HWND dialog) {
  MEMORYSTATUSEX status{};
  Facts().MemoryStatus(status);
  // In 64 bits: 4 GB and more no longer wrap to a few MB.
  const std::uint64_t total = status.ullTotalPhys + kHalfMegabyte;
  const std::uint64_t available = status.ullAvailPhys + kHalfMegabyte;
  const bool pass = total >= kLeastPhysicalBytes;
  if (!pass) {
    SetProblem(kProblemMemory);
  }
  const std::string text =
      FormatText("%dMB available of %dMB physical", static_cast<int>(available >> 20),
                 static_cast<int>(total >> 20));
  SetDlgItemTextA(dialog, kMemoryText, text.c_str());
  ShowResultIcon(dialog, kMemoryIcon, pass);
}

void RunSystemChecks(HWND dialog) {
  CheckOsVersion(dialog);
  CheckDiskSpace(dialog);
  CheckMemory(dialog);
  CheckProcessor(dialog);
}

void CheckDllVersion(HWND dialog, int textBox, const char* name, int iconControl, DWORD bit) {
  HMODULE module = LoadLibraryA(name);
  if (module == nullptr) {
    SetProblem(bit);
    SetDlgItemTextA(dialog, textBox, FormatText("%s Not found!!", name).c_str());
    ShowResultIcon(dialog, iconControl, false);
    return;
  }
  const std::string path = ModulePath(module);
  FreeLibrary(module);
  if (path.empty()) {
    return;
  }
  VS_FIXEDFILEINFO info{};
  if (!ReadFileVersion(path, info)) {
    SetDlgItemTextA(dialog, textBox, path.c_str());
    return;
  }
  const bool pass = (info.dwFileVersionMS >> 16) >= 4;
  if (!pass) {
    SetProblem(bit);
  }
  ShowResultIcon(dialog, iconControl, pass);
  const std::string text = FormatText(
      "%s \r\nVersion (%d.%d.%d.%d)", path.c_str(), static_cast<int>(info.dwFileVersionMS >> 16),
      static_cast<int>(info.dwFileVersionMS & 0xFFFF), static_cast<int>(info.dwFileVersionLS >> 16),
      static_cast<int>(info.dwFileVersionLS & 0xFFFF));
  SetDlgItemTextA(dialog, textBox, text.c_str());
}

void CheckDirectX(HWND dialog) {
  CheckDllVersion(dialog, kDirectDrawText, "DDraw.dll", kDirectDrawIcon, kProblemDirectDraw);
  CheckDllVersion(dialog, kDirectSoundText, "DSound.dll", kDirectSoundIcon, kProblemDirectSound);
  CheckDllVersion(dialog, kDirectInputText, "DInput.dll", kDirectInputIcon, kProblemDirectInput);
}

void CheckWinsock(HWND dialog) {
  winsock::WSADATA data{};
  const bool started = Facts().SocketsStartup(kWinsockVersion, data) == 0;
  // A failed start-up fills no record: its version and description are not read.
  const bool oldVersion =
      started && ((data.wHighVersion & 0xFF) < 1 ||
                  ((data.wHighVersion & 0xFF) == 1 && (data.wHighVersion >> 8) < 1));
  if (!started || oldVersion) {
    SetProblem(kProblemWinsock);
  }
  HMODULE module = LoadLibraryA("wsock32.dll");
  if (module == nullptr) {
    SetProblem(kProblemWinsock);
    SetDlgItemTextA(dialog, kWinsockText, FormatText("%s Not found!!", "wsock32.dll").c_str());
    ShowResultIcon(dialog, kWinsockIcon, false);
  } else {
    const std::string path = ModulePath(module);
    FreeLibrary(module);
    if (!path.empty()) {
      const std::string description =
          started ? std::string(data.szDescription,
                                strnlen(data.szDescription, sizeof data.szDescription))
                  : std::string();
      const std::string text = path + "\r\n" + description;
      SetDlgItemTextA(dialog, kWinsockText, text.c_str());
      ShowResultIcon(dialog, kWinsockIcon, true);
    }
  }
  if (started) {
    winsock::WSACleanup();
  }
}
