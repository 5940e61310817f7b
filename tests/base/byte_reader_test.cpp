#include "base/byte_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/byte_writer.h"

namespace {

using arena::ByteReader;
using arena::ByteWriter;

const std::array<std::uint8_t, 8> kBytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};

TEST(ByteReaderTest, ReadsLittleEndianFieldsInOrder) {
  ByteReader r(kBytes);
  EXPECT_EQ(r.U8(), 0x01);
  EXPECT_EQ(r.U16(), 0x0302);
  EXPECT_EQ(r.U32(), 0x07060504u);
  EXPECT_EQ(r.position(), 7u);
  EXPECT_EQ(r.remaining(), 1u);
  EXPECT_TRUE(r.ok());
}

TEST(ByteReaderTest, SignedAndFloatFieldsKeepTheirBits) {
  ByteWriter w;
  w.I32(-2);
  w.I16(-300);
  w.F32(-1.5f);
  w.I8(-7);
  ByteReader r(w.bytes());
  EXPECT_EQ(r.I32(), -2);
  EXPECT_EQ(r.I16(), -300);
  EXPECT_EQ(r.F32(), -1.5f);
  EXPECT_EQ(r.I8(), -7);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.remaining(), 0u);
}

// Each read at the end and one byte past it: the exact fit succeeds, the short one fails, returns
// zero and records the offset of the read that failed.
struct EdgeCase {
  std::size_t size;
  int width;  // 1, 2, 4, -2 or -4 (high byte first) or a byte run of 3
  bool fits;
};

class ByteReaderEdgeTest : public testing::TestWithParam<EdgeCase> {};

TEST_P(ByteReaderEdgeTest, ReadAtOrPastTheEnd) {
  const EdgeCase c = GetParam();
  ByteReader r(kBytes.data(), c.size);
  const std::size_t bytes = static_cast<std::size_t>(c.width < 0 ? -c.width : c.width);
  ASSERT_TRUE(r.Skip(c.size - (c.fits ? bytes : bytes - 1)));
  const std::size_t before = r.position();
  std::uint32_t value = 0;
  std::array<std::uint8_t, 3> run = {0xAA, 0xAA, 0xAA};
  switch (c.width) {
    case 1:
      value = r.U8();
      break;
    case 2:
      value = r.U16();
      break;
    case -2:
      value = r.U16BigEndian();
      break;
    case -4:
      value = r.U32BigEndian();
      break;
    case 4:
      value = r.U32();
      break;
    default:
      r.Bytes(run.data(), run.size());
      break;
  }
  EXPECT_EQ(r.ok(), c.fits);
  if (c.fits) {
    EXPECT_EQ(r.remaining(), 0u);
  } else {
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(run[0] == 0 && run[1] == 0 && run[2] == 0, c.width == 3);
    EXPECT_EQ(r.error_offset(), before);
    EXPECT_STRNE(r.error_reason(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, ByteReaderEdgeTest,
                         testing::Values(EdgeCase{4, 1, true}, EdgeCase{4, 1, false},
                                         EdgeCase{4, 2, true}, EdgeCase{4, 2, false},
                                         EdgeCase{4, -2, true}, EdgeCase{4, -2, false},
                                         EdgeCase{6, -4, true}, EdgeCase{6, -4, false},
                                         EdgeCase{6, 4, true}, EdgeCase{6, 4, false},
                                         EdgeCase{5, 3, true}, EdgeCase{5, 3, false}));

TEST(ByteReaderTest, FailureIsStickyAndKeepsTheFirstReason) {
  ByteReader r(kBytes.data(), 3);
  EXPECT_EQ(r.U16(), 0x0201);
  EXPECT_EQ(r.U32(), 0u);  // needs 4, has 1
  EXPECT_EQ(r.U8(), 0u);   // a byte is still there, but the reader has failed
  r.Fail("later reason");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error_offset(), 2u);
  EXPECT_EQ(std::string(r.error_reason()), "u32");
  EXPECT_EQ(r.remaining(), 0u);
  EXPECT_TRUE(r.Span(0).empty());
}

TEST(ByteReaderTest, CallerFailuresAndSeeks) {
  ByteReader r(kBytes);
  EXPECT_TRUE(r.Seek(8));
  EXPECT_EQ(r.remaining(), 0u);
  EXPECT_TRUE(r.Seek(2));
  EXPECT_EQ(r.U8(), 0x03);
  EXPECT_FALSE(r.Seek(9));
  EXPECT_EQ(r.error_offset(), 9u);

  ByteReader counted(kBytes);
  counted.U8();
  counted.Fail("count too large");
  EXPECT_EQ(counted.error_offset(), 1u);
  EXPECT_EQ(std::string(counted.error_reason()), "count too large");
}

TEST(ByteReaderTest, HugeSizesDoNotWrap) {
  ByteReader r(kBytes);
  r.U8();
  EXPECT_TRUE(r.Span(SIZE_MAX).empty());
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error_offset(), 1u);
}

TEST(ByteReaderTest, HighByteFirstFieldsRoundTrip) {
  ByteWriter w;
  w.U16BigEndian(0x1F90);
  w.U32BigEndian(0x89504E47u);
  EXPECT_EQ(w.bytes(), (std::vector<std::uint8_t>{0x1F, 0x90, 0x89, 0x50, 0x4E, 0x47}));
  ByteReader r(w.bytes());
  EXPECT_EQ(r.U16BigEndian(), 0x1F90);
  EXPECT_EQ(r.U32BigEndian(), 0x89504E47u);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.U32BigEndian(), 0u);
  EXPECT_EQ(std::string(r.error_reason()), "u32");
}

TEST(ByteWriterTest, WritesLittleEndianAndPatches) {
  ByteWriter w;
  w.U8(0x01);
  w.U16(0x0302);
  w.U32(0);
  w.Zeros(2);
  w.Bytes("ab", 2);
  w.PatchU32(3, 0x07060504u);
  w.PatchU16(7, 0x0908);
  const std::vector<std::uint8_t> expected = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                                              0x07, 0x08, 0x09, 'a',  'b'};
  EXPECT_EQ(w.bytes(), expected);
  EXPECT_EQ(w.Take(), expected);
}

}  // namespace
