#include "platform/kernel/disk_space.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cstdint>

#include "platform/kernel/last_error.h"

namespace {

constexpr DWORD kBytesPerSector = 512;
constexpr DWORD kSectorsPerCluster = 8;
constexpr std::uint64_t kClusterBytes = kBytesPerSector * kSectorsPerCluster;

DWORD ClustersOf(std::uint64_t bytes) {
  return static_cast<DWORD>(std::min<std::uint64_t>(bytes / kClusterBytes, 0xFFFFFFFF));
}

}  // namespace

BOOL GetDiskFreeSpaceA(LPCSTR root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters) {
  struct statvfs facts {};
  if (::statvfs(root != nullptr ? root : ".", &facts) != 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  const std::uint64_t unit = facts.f_frsize != 0 ? facts.f_frsize : facts.f_bsize;
  // What an unprivileged user may still write, as the original reports it to its caller.
  const std::uint64_t freeBytes = static_cast<std::uint64_t>(facts.f_bavail) * unit;
  const std::uint64_t totalBytes = static_cast<std::uint64_t>(facts.f_blocks) * unit;
  if (sectorsPerCluster != nullptr) {
    *sectorsPerCluster = kSectorsPerCluster;
  }
  if (bytesPerSector != nullptr) {
    *bytesPerSector = kBytesPerSector;
  }
  if (freeClusters != nullptr) {
    *freeClusters = ClustersOf(freeBytes);
  }
  if (totalClusters != nullptr) {
    *totalClusters = ClustersOf(totalBytes);
  }
  return TRUE;
}
