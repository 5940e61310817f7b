#include "platform/kernel/disk_space.h"

#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <cstdint>

#include "platform/kernel/last_error.h"
#include "tests/support/scoped_working_folder.h"
#include "tests/support/scratch_folder.h"

namespace {

TEST(DiskSpace, TheWorkingFoldersFileSystemInClustersOf4096Bytes) {
  test_support::ScratchFolder folder;
  test_support::ScopedWorkingFolder inside(folder.Path());
  DWORD sectors = 0;
  DWORD bytes = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  ASSERT_TRUE(GetDiskFreeSpaceA(nullptr, &sectors, &bytes, &freeClusters, &totalClusters));
  EXPECT_EQ(sectors, 8u);
  EXPECT_EQ(bytes, 512u);
  struct statvfs facts {};
  ASSERT_EQ(::statvfs(folder.Path().c_str(), &facts), 0);
  const std::uint64_t total = std::uint64_t{facts.f_blocks} * facts.f_frsize / 4096;
  EXPECT_EQ(totalClusters, static_cast<DWORD>(std::min<std::uint64_t>(total, 0xFFFFFFFF)));
  EXPECT_LE(freeClusters, totalClusters);
}

TEST(DiskSpace, AFolderThatDoesNotExistFails) {
  test_support::ScratchFolder folder;
  DWORD clusters = 0;
  EXPECT_FALSE(
      GetDiskFreeSpaceA((folder / "missing").c_str(), nullptr, nullptr, &clusters, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
