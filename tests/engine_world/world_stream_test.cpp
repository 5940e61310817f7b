// World streams over plain files and pack members, and the binary signature.
#include "engine/world/world_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/wad.h"
#include "platform/kernel/file.h"
#include "tools/mkdata/pack_writer.h"
#include "world_fixture.h"

namespace {

using test_support::ScratchFolder;

const std::string kMagic(reinterpret_cast<const char*>(R3X_WLD_MAGIC), sizeof R3X_WLD_MAGIC);

std::vector<std::uint8_t> BytesOf(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Streams of one content opened both ways: as a plain file and as a pack member.
class WorldStreamTest : public testing::TestWithParam<bool> {
 protected:
  R3xWorldStream* Open(const std::string& content) {
    const std::string file = folder_.Write("data.wld", content);
    if (!GetParam()) {
      return parOpenStream(file.c_str(), nullptr);
    }
    const std::string pack = folder_.Write(
        "data.r3x",
        mkdata::BuildPack({{"data.wld", BytesOf(content)}}, mkdata::PackLayout::kHeader));
    wad_ = r3xOpenWad(pack.c_str(), 4);
    return parOpenStream("DATA.WLD", wad_);
  }

  void Close(R3xWorldStream* stream) {
    parCloseStream(stream);
    parFreeStream(stream);
  }

  void TearDown() override { r3xCloseWad(wad_); }

  ScratchFolder folder_;
  R3xWad* wad_ = nullptr;
};

TEST_P(WorldStreamTest, ReadsRewindsAndTells) {
  R3xWorldStream* stream = Open("0123456789");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->source.kind, GetParam() ? R3X_SOURCE_WAD_MEMBER : R3X_SOURCE_FILE);
  EXPECT_EQ(stream->source.archive, wad_);
  char buffer[16] = {};
  EXPECT_EQ(parReadStream(stream, buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(parTellStream(stream), 4);
  EXPECT_EQ(parReadStream(stream, buffer, 16), 6);
  EXPECT_EQ(std::string(buffer, 6), "456789");
  EXPECT_EQ(parReadStream(stream, buffer, 16), 0);
  EXPECT_NE(parRewindStream(stream), 0);
  EXPECT_EQ(parTellStream(stream), 0);
  EXPECT_EQ(parReadStream(stream, buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "01");
  Close(stream);
}

// Small reads come from the read-ahead, large ones straight from the file; tell counts only
// the bytes handed out.
TEST_P(WorldStreamTest, SmallAndLargeReadsInterleave) {
  std::string content;
  for (std::size_t i = 0; i < 3 * R3X_SOURCE_READ_AHEAD + 123; ++i) {
    content += static_cast<char>(i * 7 % 251);
  }
  R3xWorldStream* stream = Open(content);
  ASSERT_NE(stream, nullptr);
  std::string buffer(content.size(), '\0');
  std::size_t at = 0;
  for (std::int32_t count : {1, 5000, 3, 4096, 1, 100000}) {
    const std::int32_t read = parReadStream(stream, buffer.data() + at, count);
    ASSERT_GT(read, 0);
    at += static_cast<std::size_t>(read);
    EXPECT_EQ(parTellStream(stream), static_cast<std::int64_t>(at));
  }
  EXPECT_EQ(at, content.size());
  EXPECT_EQ(buffer, content);
  EXPECT_EQ(parReadStream(stream, buffer.data(), 1), 0);
  Close(stream);
}

TEST_P(WorldStreamTest, KeepsTheNameItWasOpenedWith) {
  R3xWorldStream* stream = Open("x");
  ASSERT_NE(stream, nullptr);
  const std::string expected =
      GetParam() ? std::string("DATA.WLD") : (folder_.Path() / "data.wld").string();
  EXPECT_EQ(parStreamName(stream), expected);
  Close(stream);
}

TEST_P(WorldStreamTest, EmptyDataReadsNothing) {
  R3xWorldStream* stream = Open("");
  ASSERT_NE(stream, nullptr);
  char byte = 0;
  EXPECT_EQ(parReadStream(stream, &byte, 1), 0);
  EXPECT_EQ(parIsBinaryWorldFile(stream), PAR_FORM_OTHER);
  EXPECT_NE(parRewindStream(stream), 0);
  Close(stream);
}

// The signature is the first six bytes; anything else is read as text from its first byte.
TEST_P(WorldStreamTest, SniffsTheBinarySignature) {
  struct Case {
    std::string content;
    std::int32_t binary;
    std::int64_t position;
  };
  for (const Case& c :
       {Case{kMagic + "\x49", 1, 6}, Case{kMagic, 1, 6}, Case{kMagic.substr(0, 5), 0, 0},
        Case{"BEGINFILE 1", 0, 0}, Case{"\x02\x3D\x4B\x00\x46\x02" + std::string("xyz"), 0, 0}}) {
    R3xWorldStream* stream = Open(c.content);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(parIsBinaryWorldFile(stream), c.binary) << testing::PrintToString(c.content);
    EXPECT_EQ(parTellStream(stream), c.position);
    EXPECT_EQ(parIsAsciiWorldFile(stream), PAR_FORM_MATCHES);
    Close(stream);
    r3xCloseWad(wad_);
    wad_ = nullptr;
  }
}

// One read tells the three forms apart: the precompiled reader takes its signature and every
// file shorter than its 28-byte header, the binary scanner the binary signature (the stream left
// after it), the text scanner the rest (from the first byte).
TEST_P(WorldStreamTest, SniffsTheFormOnce) {
  const std::string padding(40, ' ');
  const std::string precompiled = "\x02\x3D\x4B\x56" + padding;
  struct Case {
    std::string content;
    std::int32_t form;
    std::int64_t position;
  };
  for (const Case& c :
       {Case{precompiled, PAR_WORLD_PRECOMPILED, 0}, Case{kMagic + padding, PAR_WORLD_BINARY, 6},
        Case{"BEGINFILE 1" + padding, PAR_WORLD_TEXT, 0},
        Case{"BEGINFILE 1", PAR_WORLD_PRECOMPILED, 0},
        Case{kMagic + "\x49", PAR_WORLD_PRECOMPILED, 0}, Case{"", PAR_WORLD_PRECOMPILED, 0}}) {
    R3xWorldStream* stream = Open(c.content);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(parSniffWorldForm(stream), c.form) << testing::PrintToString(c.content);
    EXPECT_EQ(parTellStream(stream), c.position);
    Close(stream);
    r3xCloseWad(wad_);
    wad_ = nullptr;
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, WorldStreamTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "PackMember" : "PlainFile";
                         });

TEST(WorldStream, MissingFileOrMemberDoesNotOpen) {
  ScratchFolder folder;
  EXPECT_EQ(parOpenStream((folder.Path() / "none.wld").string().c_str(), nullptr), nullptr);
  const std::string pack = folder.Write(
      "p.r3x", mkdata::BuildPack({{"a.wld", BytesOf("A")}}, mkdata::PackLayout::kPlain));
  R3xWad* wad = r3xOpenWad(pack.c_str(), 2);
  ASSERT_NE(wad, nullptr);
  EXPECT_EQ(parOpenStream("b.wld", wad), nullptr);
  r3xCloseWad(wad);
}

TEST(WorldStream, UnknownKindOrUnreadableFileGivesMinusOne) {
  ScratchFolder folder;
  const std::string file = folder.Write("a.wld", "abc");
  R3xWorldStream* stream = parOpenStream(file.c_str(), nullptr);
  ASSERT_NE(stream, nullptr);
  char buffer[4];
  CloseHandle(stream->source.file);
  stream->source.file = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(parReadStream(stream, buffer, 3), PAR_READ_ERROR);
  stream->source.kind = 7;
  EXPECT_EQ(parReadStream(stream, buffer, 3), PAR_READ_ERROR);
  EXPECT_EQ(parTellStream(stream), -1);
  EXPECT_EQ(parRewindStream(stream), 0);
  stream->source.kind = R3X_SOURCE_FILE;
  parCloseStream(stream);
  parFreeStream(stream);
}

}  // namespace
