#include "probex/system_facts.h"

#include <atomic>

#include "battle/processor/cpu_type.h"
#include "battle/processor/processor_mhz.h"
#include "platform/kernel/disk_space.h"

namespace {

SystemFacts gRunningSystem;
std::atomic<SystemFacts*> gFacts{&gRunningSystem};

}  // namespace

DWORD SystemFacts::Version() { return GetVersion(); }

bool SystemFacts::DiskFreeSpace(DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                                DWORD& freeClusters, DWORD& totalClusters) {
  return GetDiskFreeSpaceA(nullptr, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters) != FALSE;
}

void SystemFacts::MemoryStatus(MEMORYSTATUSEX& status) { GlobalMemoryStatusEx(&status); }

void SystemFacts::SystemInfo(SYSTEM_INFO& info) { GetSystemInfo(&info); }

DWORD SystemFacts::ProcessorMhz() { return GetProcessorMhz(0); }

DWORD SystemFacts::CpuType() { return GetCpuType(); }

int SystemFacts::SocketsStartup(WORD version, winsock::WSADATA& data) {
  return winsock::WSAStartup(version, &data);
}

SystemFacts& Facts() { return *gFacts.load(); }

ScopedSystemFacts::ScopedSystemFacts(SystemFacts& facts) : previous_(gFacts.exchange(&facts)) {}

ScopedSystemFacts::~ScopedSystemFacts() { gFacts.store(previous_); }
