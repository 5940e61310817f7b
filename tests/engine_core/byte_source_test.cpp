// Byte sources over plain files and pack members: the same reads, seeks and sizes either way.
#include "engine/core/byte_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/wad.h"
#include "tests/support/scratch_folder.h"
#include "tools/mkdata/pack_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 251);
  }
  return bytes;
}

class ByteSourceTest : public testing::TestWithParam<bool> {
 protected:
  void TearDown() override { r3xCloseWad(wad_); }

  // Opens content as a plain file or, with the parameter, as a member of a pack.
  bool Open(const Bytes& content) {
    const std::string file = folder_.Write("data.bin", content);
    if (!GetParam()) {
      return _r3xOpenByteSource(&source_, file.c_str(), nullptr) == 0;
    }
    const std::string pack = folder_.Write(
        "data.r3x", mkdata::BuildPack({{"pad.bin", Pattern(77)}, {"data.bin", content}},
                                      mkdata::PackLayout::kHeader));
    wad_ = r3xOpenWad(pack.c_str(), 2);
    return _r3xOpenByteSource(&source_, "DATA.BIN", wad_) == 0;
  }

  test_support::ScratchFolder folder_{"source"};
  R3xWad* wad_ = nullptr;
  R3xByteSource source_;
};

TEST_P(ByteSourceTest, SeeksAnywhereFromStartToEnd) {
  const Bytes content = Pattern(3 * R3X_SOURCE_READ_AHEAD + 5);
  ASSERT_TRUE(Open(content));
  EXPECT_EQ(_r3xByteSourceSize(&source_), static_cast<std::int64_t>(content.size()));
  std::uint8_t byte = 0;
  ASSERT_EQ(_r3xReadByteSource(&source_, &byte, 1), 1);  // fills the read-ahead
  for (const std::int64_t offset : {std::int64_t{5000}, std::int64_t{1}, std::int64_t{12290}}) {
    ASSERT_EQ(_r3xSeekByteSource(&source_, offset), 0);
    EXPECT_EQ(_r3xTellByteSource(&source_), offset);
    ASSERT_TRUE(_r3xReadByteSourceExact(&source_, &byte, 1));
    EXPECT_EQ(byte, content[static_cast<std::size_t>(offset)]) << offset;
  }
  const auto size = static_cast<std::int64_t>(content.size());
  ASSERT_EQ(_r3xSeekByteSource(&source_, size), 0);
  EXPECT_EQ(_r3xByteSourceRemaining(&source_), 0);
  EXPECT_EQ(_r3xReadByteSource(&source_, &byte, 1), 0);
  // Outside the data: refused, the position kept.
  EXPECT_EQ(_r3xSeekByteSource(&source_, size + 1), R3X_ERR_FAILED);
  EXPECT_EQ(_r3xSeekByteSource(&source_, -1), R3X_ERR_FAILED);
  EXPECT_EQ(_r3xTellByteSource(&source_), size);
  _r3xCloseByteSource(&source_);
  _r3xCloseByteSource(&source_);
}

TEST_P(ByteSourceTest, ExactReadsFailShortOfTheEnd) {
  const Bytes content = Pattern(10);
  ASSERT_TRUE(Open(content));
  Bytes buffer(10);
  ASSERT_TRUE(_r3xReadByteSourceExact(&source_, buffer.data(), 6));
  EXPECT_EQ(_r3xByteSourceRemaining(&source_), 4);
  EXPECT_FALSE(_r3xReadByteSourceExact(&source_, buffer.data() + 6, 5));
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 6), Bytes(content.begin(), content.begin() + 6));
  EXPECT_EQ(_r3xReadByteSource(&source_, buffer.data(), -1), -1);
  _r3xCloseByteSource(&source_);
}

TEST_P(ByteSourceTest, EmptyDataSeeksOnlyToZero) {
  ASSERT_TRUE(Open({}));
  EXPECT_EQ(_r3xByteSourceSize(&source_), 0);
  EXPECT_EQ(_r3xSeekByteSource(&source_, 0), 0);
  EXPECT_EQ(_r3xSeekByteSource(&source_, 1), R3X_ERR_FAILED);
  std::uint8_t byte = 0;
  EXPECT_EQ(_r3xReadByteSource(&source_, &byte, 1), 0);
  _r3xCloseByteSource(&source_);
}

INSTANTIATE_TEST_SUITE_P(Sources, ByteSourceTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "PackMember" : "PlainFile";
                         });

TEST(ByteSource, MissingFileMemberOrNameDoesNotOpen) {
  R3xByteSource source;
  EXPECT_EQ(_r3xOpenByteSource(&source, "/nonexistent/none.bin", nullptr), R3X_ERR_FAILED);
  EXPECT_EQ(_r3xOpenByteSource(&source, nullptr, nullptr), R3X_ERR_FAILED);
  _r3xCloseByteSource(&source);
}

}  // namespace
