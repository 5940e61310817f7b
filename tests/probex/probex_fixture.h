// A system check dialog over a machine whose facts the test gives: by default one that passes
// every check. The working folder is a fresh scratch folder (for "ip.dat").
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/dialog/dialog.h"
#include "platform/kernel/message_box.h"
#include "platform/window/window.h"
#include "probex/probex_state.h"
#include "probex/resource_ids.h"
#include "probex/resources.h"
#include "probex/server_ping.h"
#include "probex/system_check_dialog.h"
#include "probex/system_facts.h"
#include "tests/support/scoped_window_system.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace probex_test {

class FakeFacts : public SystemFacts {
 public:
  DWORD Version() override { return version; }
  bool DiskFreeSpace(DWORD& sectorsPerCluster, DWORD& bytesPerSector, DWORD& freeClusters,
                     DWORD& totalClusters) override {
    sectorsPerCluster = diskSectorsPerCluster;
    bytesPerSector = diskBytesPerSector;
    freeClusters = diskFreeClusters;
    totalClusters = diskTotalClusters;
    return diskReadable;
  }
  void MemoryStatus(MEMORYSTATUSEX& status) override {
    status = MEMORYSTATUSEX{sizeof(MEMORYSTATUSEX), 0, totalPhys, availPhys};
  }
  void SystemInfo(SYSTEM_INFO& info) override {
    info = SYSTEM_INFO{};
    info.wProcessorArchitecture = architecture;
    info.dwProcessorType = processorType;
  }
  DWORD ProcessorMhz() override { return mhz; }
  DWORD CpuType() override { return cpuType; }
  int SocketsStartup(WORD /*version*/, winsock::WSADATA& data) override {
    data = winsock::WSADATA{};
    data.wHighVersion = socketsHighVersion;
    std::strcpy(data.szDescription, socketsDescription);
    return socketsStartupResult;
  }

  // Windows 95 4.0, build 950.
  DWORD version = 0x83B60004;
  DWORD diskSectorsPerCluster = 8;
  DWORD diskBytesPerSector = 512;
  DWORD diskFreeClusters = 1 << 20;
  DWORD diskTotalClusters = 2 << 20;
  bool diskReadable = true;
  std::uint64_t totalPhys = 64u << 20;
  std::uint64_t availPhys = 32u << 20;
  WORD architecture = PROCESSOR_ARCHITECTURE_INTEL;
  DWORD processorType = PROCESSOR_INTEL_PENTIUM;
  DWORD mhz = 200;
  DWORD cpuType = 5;
  WORD socketsHighVersion = 0x0101;
  const char* socketsDescription = "Test sockets";
  int socketsStartupResult = 0;
};

class ProbexTest : public testing::Test {
 protected:
  ProbexTest() : working_(scratch_.Path()), scopedFacts_(facts_) {
    RegisterProbexResources();
    platform::ClearShownMessageBoxes();
    Probex().problemWord = 0;
  }
  ~ProbexTest() override {
    WaitForPing();
    if (dialog_ != nullptr) {
      DestroyWindow(dialog_);
    }
  }

  // Opens the dialog, which runs every check over the facts.
  void Open() {
    dialog_ = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kSystemCheckDialog), nullptr,
                                 &SystemCheckDlgProc, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  // Opens the dialog and forgets what its checks found, for a test of one check.
  void OpenClean() {
    Open();
    Probex().problemWord = 0;
  }
  std::string Text(int id) const {
    HWND control = GetDlgItem(dialog_, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  int Icon(int id) const { return platform::DialogIconId(dialog_, id); }
  DWORD Word() const { return Probex().problemWord.load(); }

  FakeFacts facts_;
  test_support::ScopedWindowSystem windows_;
  test_support::ScratchFolder scratch_;
  test_support::ScopedWorkingFolder working_;
  ScopedSystemFacts scopedFacts_;
  HWND dialog_ = nullptr;
};

}  // namespace probex_test
