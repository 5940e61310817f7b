// What the checks read of the machine, in one replaceable place so that tests can give any
// machine's facts; the running system's answers come from the platform layer and the game's
// processor code.
#pragma once

#include "platform/kernel/sysinfo.h"
#include "platform/kernel/types.h"
#include "platform/winsock.h"

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;
  virtual DWORD Version();
  // GetDiskFreeSpaceA of the working folder's drive.
  virtual bool DiskFreeSpace(DWORD& sectorsPerCluster, DWORD& bytesPerSector, DWORD& freeClusters,
                             DWORD& totalClusters);
  virtual void MemoryStatus(MEMORYSTATUSEX& status);
  virtual void SystemInfo(SYSTEM_INFO& info);
  // The clock that GetProcessorMhz(0) gives and the processor type word of GetCpuType.
  virtual DWORD ProcessorMhz();
  virtual DWORD CpuType();
  // WSAStartup.
  virtual int SocketsStartup(WORD version, winsock::WSADATA& data);
};

SystemFacts& Facts();

// Installs other facts for the lifetime of a scope (tests).
class ScopedSystemFacts {
 public:
  explicit ScopedSystemFacts(SystemFacts& facts);
  ~ScopedSystemFacts();
  ScopedSystemFacts(const ScopedSystemFacts&) = delete;
  ScopedSystemFacts& operator=(const ScopedSystemFacts&) = delete;

 private:
  SystemFacts* previous_;
};
