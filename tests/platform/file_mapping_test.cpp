#include "platform/kernel/file_mapping.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/file.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr DWORD kGranularity = 65536;

// A file of `size` bytes whose byte i is i % 251, so every view shows where it starts.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>(i % 251);
  }
  return bytes;
}

class FileMappings : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = folder_.Write("pack.r3x", Pattern(kSize));
    file_ = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file_, INVALID_HANDLE_VALUE);
    mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping_, nullptr);
  }
  void TearDown() override {
    CloseHandle(mapping_);
    CloseHandle(file_);
  }

  static constexpr std::size_t kSize = 2 * kGranularity + 1000;
  test_support::ScratchFolder folder_;
  HANDLE file_ = nullptr;
  HANDLE mapping_ = nullptr;
};

TEST_F(FileMappings, ViewsAtGranularityOffsetsShowTheFile) {
  const struct {
    DWORD offset;
    SIZE_T bytes;
  } cases[] = {
      {0, 0},
      {0, 10},
      {kGranularity, 0},
      {kGranularity, 100},
      {2 * kGranularity, 1000},
      {2 * kGranularity, 0},
  };
  for (const auto& c : cases) {
    const auto* view = static_cast<const unsigned char*>(
        MapViewOfFile(mapping_, FILE_MAP_READ, 0, c.offset, c.bytes));
    ASSERT_NE(view, nullptr) << c.offset << "+" << c.bytes;
    const std::size_t length = c.bytes == 0 ? kSize - c.offset : c.bytes;
    EXPECT_EQ(view[0], c.offset % 251);
    EXPECT_EQ(view[length - 1], (c.offset + length - 1) % 251);
    EXPECT_TRUE(UnmapViewOfFile(view));
  }
}

TEST_F(FileMappings, RefusesMisalignedOffsetsAndRangesPastTheEnd) {
  const struct {
    DWORD offsetHigh;
    DWORD offset;
    SIZE_T bytes;
  } cases[] = {
      {0, 4096, 10},  // a page, but not the granularity
      {0, 1, 0},
      {0, 0, kSize + 1},  // one byte past the end
      {0, 2 * kGranularity, 1001},
      {0, 3 * kGranularity, 0},  // starts past the end
      {1, 0, 0},                 // 4 GB further
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapViewOfFile(mapping_, FILE_MAP_READ, c.offsetHigh, c.offset, c.bytes), nullptr)
        << c.offsetHigh << ":" << c.offset << "+" << c.bytes;
  }
}

TEST_F(FileMappings, ViewsOutliveTheirHandlesAndUnmapOnce) {
  const auto* view =
      static_cast<const unsigned char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, kGranularity, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(CloseHandle(mapping_));
  EXPECT_TRUE(CloseHandle(file_));
  mapping_ = nullptr;
  file_ = nullptr;
  EXPECT_EQ(view[1], (kGranularity + 1) % 251);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(nullptr));
}

TEST_F(FileMappings, MappingSizeLimitsViews) {
  HANDLE small = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 100, nullptr);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(MapViewOfFile(small, FILE_MAP_READ, 0, 0, 101), nullptr);
  const void* view = MapViewOfFile(small, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_TRUE(CloseHandle(small));
}

TEST_F(FileMappings, RefusedMappings) {
  EXPECT_EQ(CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, kSize + 1, nullptr), nullptr);
  EXPECT_EQ(CreateFileMappingA(file_, nullptr, 0x04 /* read-write */, 0, 0, nullptr), nullptr);
  EXPECT_EQ(CreateFileMappingA(mapping_, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 0, nullptr),
            nullptr);
  EXPECT_EQ(MapViewOfFile(file_, FILE_MAP_READ, 0, 0, 0), nullptr);

  const std::string empty = folder_.Write("empty.r3x", "");
  HANDLE file = CreateFileA(empty.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
