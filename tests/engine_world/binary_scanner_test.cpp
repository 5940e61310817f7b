// The binary scanner: codes, values, scrambled strings, blocks and its errors.
#include "engine/world/binary_scanner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/world/keyword_table.h"
#include "engine/world/world_stream.h"
#include "engine/world/world_string_key.h"
#include "platform/kernel/file.h"
#include "world_fixture.h"

namespace {

using namespace world_test;

using Bytes = std::string;

Bytes Scrambled(const std::string& text) {
  Bytes bytes = text;
  _r3xApplyWorldStringKey(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
  return bytes;
}

class BinaryScannerTest : public testing::Test {
 protected:
  void SetUp() override { TakeMessages(); }

  // Scans the bytes after the binary signature.
  std::vector<Token> ScanBytes(const Bytes& bytes) {
    file_ = folder_.Write("scan.wld",
                          std::string(reinterpret_cast<const char*>(R3X_WLD_MAGIC), 6) + bytes);
    Scan scan(file_);
    EXPECT_EQ(parCurrentLine(scan.source()), 0);
    return scan.All();
  }

  // Binary files have no lines: messages name only the file.
  std::string In(const std::string& message) const { return message + "\nfile: " + file_ + "\n"; }

  test_support::ScratchFolder folder_;
  std::string file_;
};

struct BytesCase {
  const char* name;
  Bytes bytes;
  std::vector<Token> tokens;
};

class BinaryScannerCases : public BinaryScannerTest,
                           public testing::WithParamInterface<BytesCase> {};

TEST_P(BinaryScannerCases, GiveTokensAndValuesWithoutMessages) {
  EXPECT_EQ(ScanBytes(GetParam().bytes), GetParam().tokens);
  EXPECT_TRUE(TakeMessages().empty());
}

const std::string k258(258, 'w');

INSTANTIATE_TEST_SUITE_P(
    Codes, BinaryScannerCases,
    testing::Values(
        BytesCase{
            "KeywordAndInt32", Bytes("\x49\x0A\x05\x00\x00\x00", 6), {Keyword(73), Integer(5)}},
        BytesCase{"IntegersSignExtend",
                  Bytes("\x08\xFF\x09\x00\x80\x0A\xFF\xFF\xFF\x7F\x0A\x00\x00\x00\x80", 15),
                  {Integer(-1), Integer(-32768), Integer(std::numeric_limits<std::int32_t>::max()),
                   Integer(std::numeric_limits<std::int32_t>::min())}},
        BytesCase{"Real",
                  Bytes("\x0C\x00\x00\x80\x3F\x0C\x00\x00\x20\xC1", 10),
                  {Real(1.0f), Real(-10.0f)}},
        BytesCase{"TwoByteKeywords",
                  Bytes("\x80\x82\x81\x37\x80\xE4", 6),
                  {Keyword(130), Keyword(311), Keyword(228)}},
        BytesCase{"OneByteCodesWithoutValues",
                  Bytes("\x02\x01\x05\x0B\x6D", 5),
                  {Keyword(2), Keyword(1), Keyword(5), Keyword(11), Keyword(109)}},
        // The key starts again with each string.
        BytesCase{"ScrambledStrings",
                  "\x10\x03" + Scrambled("xyz") + "\x04\x03" + Scrambled("xyz"),
                  {Text(R3X_TOKEN_STRING, "xyz"), Text(R3X_TOKEN_NAME, "xyz")}},
        BytesCase{"EmptyString", Bytes("\x10\x00", 2), {Text(R3X_TOKEN_STRING, "")}},
        BytesCase{"LongString",
                  Bytes("\x80\x90\x01\x02", 4) + Scrambled(k258),
                  {Text(R3X_TOKEN_STRING, k258)}},
        BytesCase{"UserData",
                  "\x18\x02" + Scrambled(std::string("\0\x01", 2)) + Bytes("\x80\x98\x00\x03", 4) +
                      Scrambled("abc"),
                  {Text(R3X_TOKEN_USER_DATA, std::string("\0\x01", 2)),
                   Text(R3X_TOKEN_USER_DATA, "abc")}},
        // Only the first byte of the one-byte form's length field counts.
        BytesCase{"Block",
                  Bytes("\x1C\x05\xFF\xFF\xFF", 5) + "abcde",
                  {Text(R3X_TOKEN_BINARY_BLOCK, "abcde")}},
        BytesCase{"LongBlock",
                  Bytes("\x80\x9C\x01\x00\xFF\xFF", 6) + std::string(256, 'b'),
                  {Text(R3X_TOKEN_BINARY_BLOCK, std::string(256, 'b'))}},
        BytesCase{"RenderMethods",
                  Bytes("\x6E\x6F\x0B\x00\x6F\xFF\xFF\x70\x00\x00\x00\x80", 12),
                  {Number(R3X_TOKEN_USERDEFINED, std::numeric_limits<std::int32_t>::min()),
                   Number(R3X_TOKEN_RENDER_METHOD, 11), Number(R3X_TOKEN_RENDER_METHOD, -1),
                   Number(R3X_TOKEN_RENDER_METHOD, std::numeric_limits<std::int32_t>::min())}},
        BytesCase{"NothingAfterTheEndCode", Bytes("\x02\x03\x00\x00", 4), {Keyword(2)}}),
    [](const testing::TestParamInfo<BytesCase>& info) { return std::string(info.param.name); });

struct ErrorCase {
  const char* name;
  Bytes bytes;
  std::vector<Token> tokens;
  std::string message;
};

class BinaryScannerErrors : public BinaryScannerTest,
                            public testing::WithParamInterface<ErrorCase> {};

TEST_P(BinaryScannerErrors, ReportTheirMessage) {
  EXPECT_EQ(ScanBytes(GetParam().bytes), GetParam().tokens);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{In(GetParam().message)});
}

const std::string kInvalid = "binary scanner: invalid token in WLD file";
const std::string kIncomplete = "binary scanner: incomplete token in WLD file";
const std::string kReadError = "binary scanner: read error";
const Token kError = Keyword(R3X_TOKEN_ERROR);

INSTANTIATE_TEST_SUITE_P(
    Codes, BinaryScannerErrors,
    testing::Values(ErrorCase{"CodeZero", Bytes("\x00\x02", 2), {kError, Keyword(2)}, kInvalid},
                    ErrorCase{"CodeAfterRenderMethods", Bytes("\x71", 1), {kError}, kInvalid},
                    ErrorCase{"LastOneByteCode", Bytes("\x7F", 1), {kError}, kInvalid},
                    ErrorCase{"TwoByteCodeBelow128", Bytes("\x80\x0A", 2), {kError}, kInvalid},
                    ErrorCase{"TwoByteCodeAbove311", Bytes("\x81\x38", 2), {kError}, kInvalid},
                    ErrorCase{"HighTwoByteCode", Bytes("\xFF\xFF", 2), {kError}, kInvalid},
                    ErrorCase{
                        "MissingValue", Bytes("\x02\x08", 2), {Keyword(2), kError}, kIncomplete},
                    ErrorCase{"MissingSecondCodeByte", Bytes("\x80", 1), {kError}, kIncomplete},
                    ErrorCase{"MissingStringBytes", Bytes("\x10\x05", 2), {kError}, kIncomplete},
                    ErrorCase{"ShortValue", Bytes("\x0A\x05\x00", 3), {kError}, kReadError},
                    ErrorCase{"ShortString", Bytes("\x10\x05\x61\x62", 4), {kError}, kReadError},
                    ErrorCase{"ShortBlockLength", Bytes("\x1C\x05\x00", 3), {kError}, kReadError},
                    ErrorCase{"ShortLongString", Bytes("\x80\x90\x01", 3), {kError}, kReadError}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST_F(BinaryScannerTest, ReadFailureAtATokenIsReported) {
  file_ = folder_.Write("scan.wld",
                        std::string(reinterpret_cast<const char*>(R3X_WLD_MAGIC), 6) + "\x02");
  Scan scan(file_);
  ASSERT_NE(scan.source(), nullptr);
  CloseHandle(scan.stream()->source.file);
  scan.stream()->source.file = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
  scan.stream()->source.readAheadNext = scan.stream()->source.readAheadEnd;
  // The parser stops at the error token; the scanner would fail again and again.
  EXPECT_EQ(parNextToken(scan.source()), R3X_TOKEN_ERROR);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{In("binary scanner: read failed")});
}

}  // namespace
