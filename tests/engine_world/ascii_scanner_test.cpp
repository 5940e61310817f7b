// The text scanner: tokens and values, keywords, render methods, user data, errors and lines.
#include "engine/world/ascii_scanner.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "engine/core/memory.h"
#include "engine/world/keyword_table.h"
#include "platform/kernel/file.h"
#include "world_fixture.h"

namespace {

using namespace world_test;

constexpr std::int32_t kNumVertices = 73;
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

class AsciiScannerTest : public testing::Test {
 protected:
  void SetUp() override { TakeMessages(); }

  std::vector<Token> ScanText(const std::string& text) {
    file_ = folder_.Write("scan.wld", text);
    Scan scan(file_);
    return scan.All();
  }

  // The message as shown for the scanned file at that line.
  std::string At(const std::string& message, int line) const {
    return message + "\nfile: " + file_ + "\nline: " + std::to_string(line) + "\n";
  }

  test_support::ScratchFolder folder_;
  std::string file_;
};

struct TextCase {
  const char* name;
  std::string text;
  std::vector<Token> tokens;
};

class AsciiScannerCases : public AsciiScannerTest, public testing::WithParamInterface<TextCase> {};

TEST_P(AsciiScannerCases, GiveTokensAndValuesWithoutMessages) {
  EXPECT_EQ(ScanText(GetParam().text), GetParam().tokens);
  EXPECT_TRUE(TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AsciiScannerCases,
    testing::Values(
        TextCase{"KeywordAndInteger", "NUMVERTICES 4", {Keyword(kNumVertices), Integer(4)}},
        TextCase{"KeywordRunOnIsName", "NUMVERTICES4", {Text(R3X_TOKEN_NAME, "NUMVERTICES4")}},
        TextCase{"KeywordsAreUpperCase", "numvertices", {Text(R3X_TOKEN_NAME, "numvertices")}},
        TextCase{"Reals", "+.5 5. 1e3", {Real(0.5f), Real(5.0f), Real(1000.0f)}},
        TextCase{"RealForms",
                 "-1.5e-3f 1.0F 2.5L .25E+2 7e0",
                 {Real(-1.5e-3f), Real(1.0f), Real(2.5f), Real(25.0f), Real(7.0f)}},
        TextCase{"IntegerSuffixes", "12UL -7 3lu", {Integer(12), Integer(-7), Integer(3)}},
        TextCase{"HexIsNot", "0x10", {Integer(0), Text(R3X_TOKEN_NAME, "x10")}},
        TextCase{"ExponentWithoutDigits",
                 "1e x",
                 {Integer(1), Text(R3X_TOKEN_NAME, "e"), Text(R3X_TOKEN_NAME, "x")}},
        TextCase{"IntegersSaturate",
                 "99999999999 -99999999999 2147483647 -2147483648",
                 {Integer(kInt32Max), Integer(kInt32Min), Integer(kInt32Max), Integer(kInt32Min)}},
        TextCase{"RealsBeyondFloat",
                 "1e39 -1e39 3.4028235e38",
                 {Real(std::numeric_limits<float>::infinity()),
                  Real(-std::numeric_limits<float>::infinity()), Real(FLT_MAX)}},
        TextCase{"CommaSeparates", "a,b", {Text(R3X_TOKEN_NAME, "a"), Text(R3X_TOKEN_NAME, "b")}},
        TextCase{"Separators",
                 "a\t\v\f\r\n_b9",
                 {Text(R3X_TOKEN_NAME, "a"), Text(R3X_TOKEN_NAME, "_b9")}},
        TextCase{"StringKeepsEscapes", R"("a\"b")", {Text(R3X_TOKEN_STRING, R"(a\"b)")}},
        TextCase{"EmptyString", R"("")", {Text(R3X_TOKEN_STRING, "")}},
        TextCase{"StringWithBytes", "\"\xC3\xA9\n\"", {Text(R3X_TOKEN_STRING, "\xC3\xA9\n")}},
        TextCase{"DigitKeywords",
                 "2DSPRITEDEF 2DSPRITEX 3DSPRITE 2 2E5",
                 {Keyword(158), Keyword(157), Text(R3X_TOKEN_NAME, "X"), Keyword(160), Integer(2),
                  Real(2e5f)}},
        TextCase{"SharedToken", "DISTANCE MAXDISTANCE", {Keyword(285), Keyword(285)}},
        TextCase{"Comment",
                 "A // ~~~ \"\n B//\n//",
                 {Text(R3X_TOKEN_NAME, "A"), Text(R3X_TOKEN_NAME, "B")}},
        TextCase{"RenderMethod",
                 "RENDERMETHOD TEXTURE1ZEROINTENSITY",
                 {Keyword(R3X_TOKEN_RENDERMETHOD), Number(R3X_TOKEN_RENDER_METHOD, 3)}},
        TextCase{"RenderMethodThenNormal",
                 "RENDERMETHOD\n ,WIREFRAMEGOURAUD1",
                 {Keyword(R3X_TOKEN_RENDERMETHOD), Number(R3X_TOKEN_RENDER_METHOD, 6),
                  Text(R3X_TOKEN_NAME, "GOURAUD1")}},
        TextCase{
            "TransparentInBothModes",
            "RENDERMETHOD TRANSPARENT TRANSPARENT",
            {Keyword(R3X_TOKEN_RENDERMETHOD), Number(R3X_TOKEN_RENDER_METHOD, 0), Keyword(304)}},
        TextCase{"UserDefined",
                 "RENDERMETHOD USERDEFINED 3",
                 {Keyword(R3X_TOKEN_RENDERMETHOD), Number(R3X_TOKEN_USERDEFINED, kInt32Min),
                  Integer(3)}},
        TextCase{"HexUserData",
                 "USERDATA 4 0A0B0C0D",
                 {Text(R3X_TOKEN_USER_DATA, std::string("\x0A\x0B\x0C\x0D"))}},
        TextCase{"HexUserDataWithNul",
                 "USERDATA 2 00ff X",
                 {Text(R3X_TOKEN_USER_DATA, std::string("\0\xFF", 2)), Text(R3X_TOKEN_NAME, "X")}},
        TextCase{"StringUserData", "USERDATA \"abc\"", {Text(R3X_TOKEN_USER_DATA, "abc")}},
        TextCase{"UserDataSkipsOtherCharacters",
                 "USERDATA\n x 1 yz \"q\" 7",
                 {Text(R3X_TOKEN_USER_DATA, "q"), Integer(7)}},
        TextCase{"UserDataKeywordRunOnIsName", "USERDATAX", {Text(R3X_TOKEN_NAME, "USERDATAX")}},
        TextCase{"NothingAfterEndFile", "A ENDFILE B ~~~", {Text(R3X_TOKEN_NAME, "A")}}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST_F(AsciiScannerTest, ReadsEveryKeywordAsItsToken) {
  std::string text;
  std::vector<Token> expected;
  for (std::size_t i = 0; i < parKeywordCount; ++i) {
    if (parKeywords[i].token != R3X_TOKEN_END) {
      text += std::string(parKeywords[i].text) + (i % 2 == 0 ? "\n" : " ");
      expected.push_back(Keyword(parKeywords[i].token));
      if (parKeywords[i].token == R3X_TOKEN_RENDERMETHOD) {
        text += "SOLIDFILL ";
        expected.push_back(Number(R3X_TOKEN_RENDER_METHOD, 7));
      }
    }
  }
  ASSERT_EQ(parKeywordCount, 231u);
  EXPECT_EQ(ScanText(text), expected);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(AsciiScannerTest, KeywordTableFixesTheGrammarsTokens) {
  struct Expected {
    const char* text;
    std::int32_t token;
  };
  for (const Expected& e :
       {Expected{"ENDFILE", 0}, Expected{"BEGINFILE", 2}, Expected{"NUMVERTICES", 73},
        Expected{"XYZ", 109}, Expected{"QZVWORLD", 130}, Expected{"INCLUDE", 228},
        Expected{"SCALEDAMBIENT", 257}, Expected{"MAXDISTANCE", 285},
        Expected{"ENCODEDVISIBILITY", 311}}) {
    bool found = false;
    for (std::size_t i = 0; i < parKeywordCount; ++i) {
      if (std::string(parKeywords[i].text) == e.text) {
        EXPECT_EQ(parKeywords[i].token, e.token) << e.text;
        found = true;
      }
    }
    EXPECT_TRUE(found) << e.text;
  }
}

// Every render-method name from its parts: 136 names in all.
TEST_F(AsciiScannerTest, ReadsEveryRenderMethodNameWithItsValue) {
  struct Part {
    std::string text;
    std::int32_t value;
  };
  std::vector<Part> families = {{"WIREFRAME", 2}, {"SOLIDFILL", 3}};
  for (int n = 1; n <= 5; ++n) {
    families.push_back({"TEXTURE" + std::to_string(n), 3 + 256 * n});
  }
  for (int n : {1, 2, 4, 5}) {
    families.push_back({"TRANSTEXTURE" + std::to_string(n), 3 + 256 * n + 128});
  }
  const std::vector<Part> lightings = {
      {"", 4}, {"ZEROINTENSITY", 0}, {"CONSTANT", 8}, {"AMBIENT", 16}, {"SCALEDAMBIENT", 20}};
  const std::vector<Part> shadings = {{"", 0}, {"GOURAUD1", 64}, {"GOURAUD2", 96}};
  std::string text;
  std::vector<Token> expected;
  auto add = [&](const std::string& name, std::int32_t value) {
    text += "RENDERMETHOD " + name + "\n";
    expected.push_back(Keyword(R3X_TOKEN_RENDERMETHOD));
    expected.push_back(Number(R3X_TOKEN_RENDER_METHOD, value));
  };
  for (const Part& family : families) {
    for (const Part& lighting : lightings) {
      for (const Part& shading : shadings) {
        const bool wire = family.text == "WIREFRAME";
        const bool zero = lighting.text == "ZEROINTENSITY";
        if (!shading.text.empty() && (wire || zero)) {
          continue;
        }
        std::int32_t value = family.value + shading.value;
        value += lighting.text.empty() && !shading.text.empty() ? 0 : lighting.value;
        if (zero && family.text.rfind("TEXTURE", 0) == 0) {
          value = 3;
        }
        add(family.text + lighting.text + shading.text, value);
      }
    }
  }
  add("TRANSPARENT", 0);
  ASSERT_EQ(expected.size(), 2u * 136);
  EXPECT_EQ(ScanText(text), expected);
  EXPECT_TRUE(TakeMessages().empty());

  // Spot values the format is known by.
  EXPECT_EQ(ScanText("RENDERMETHOD SOLIDFILLAMBIENTGOURAUD2 RENDERMETHOD TEXTURE3CONSTANT "
                     "RENDERMETHOD TRANSTEXTURE5SCALEDAMBIENTGOURAUD2 "
                     "RENDERMETHOD TRANSTEXTURE1ZEROINTENSITY RENDERMETHOD WIREFRAME"),
            (std::vector<Token>{Keyword(85), Number(112, 115), Keyword(85), Number(112, 779),
                                Keyword(85), Number(112, 1527), Keyword(85), Number(112, 387),
                                Keyword(85), Number(112, 6)}));
}

struct ErrorCase {
  const char* name;
  std::string text;
  std::vector<Token> tokens;
  std::string message;
  // The line of each message.
  std::vector<int> lines;
};

class AsciiScannerErrors : public AsciiScannerTest,
                           public testing::WithParamInterface<ErrorCase> {};

TEST_P(AsciiScannerErrors, ReportTheirMessageAtTheirLine) {
  EXPECT_EQ(ScanText(GetParam().text), GetParam().tokens);
  std::vector<std::string> expected;
  for (int line : GetParam().lines) {
    expected.push_back(At(GetParam().message, line));
  }
  EXPECT_EQ(TakeMessages(), expected);
}

const std::string kIllegal = "ascii scanner: illegal character in file";

INSTANTIATE_TEST_SUITE_P(
    Texts, AsciiScannerErrors,
    testing::Values(
        ErrorCase{"IllegalCharacter",
                  "A ~ B",
                  {Text(R3X_TOKEN_NAME, "A"), Keyword(R3X_TOKEN_ERROR), Text(R3X_TOKEN_NAME, "B")},
                  kIllegal,
                  {1}},
        ErrorCase{"HighByte", "\n\xC3", {Keyword(R3X_TOKEN_ERROR)}, kIllegal, {2}},
        ErrorCase{"LoneSign", "+", {Keyword(R3X_TOKEN_ERROR)}, kIllegal, {1}},
        ErrorCase{"UnendedString",
                  "\"ab",
                  {Keyword(R3X_TOKEN_ERROR), Text(R3X_TOKEN_NAME, "ab")},
                  kIllegal,
                  {1}},
        ErrorCase{"BackslashNewlineEndsNoString",
                  "\"a\\\n",
                  {Keyword(R3X_TOKEN_ERROR), Text(R3X_TOKEN_NAME, "a"), Keyword(R3X_TOKEN_ERROR)},
                  kIllegal,
                  {1, 1}},
        ErrorCase{
            "LowerCaseRenderMethod",
            "RENDERMETHOD texture1",
            {Keyword(R3X_TOKEN_RENDERMETHOD), Keyword(R3X_TOKEN_ERROR), Keyword(R3X_TOKEN_ERROR),
             Keyword(R3X_TOKEN_ERROR), Keyword(R3X_TOKEN_ERROR), Keyword(R3X_TOKEN_ERROR),
             Keyword(R3X_TOKEN_ERROR), Keyword(R3X_TOKEN_ERROR), Keyword(R3X_TOKEN_ERROR)},
            kIllegal,
            {1, 1, 1, 1, 1, 1, 1, 1}},
        ErrorCase{"NoCommentAfterRenderMethod",
                  "RENDERMETHOD\n\n// SOLIDFILL",
                  {Keyword(R3X_TOKEN_RENDERMETHOD), Keyword(R3X_TOKEN_ERROR),
                   Keyword(R3X_TOKEN_ERROR), Number(R3X_TOKEN_RENDER_METHOD, 7)},
                  kIllegal,
                  {3, 3}},
        ErrorCase{"OddHexUserData",
                  "\nUSERDATA 3 ABC",
                  {Keyword(R3X_TOKEN_ERROR)},
                  "ASCII scanner: invalid number of characters in USERDATA",
                  {2}},
        ErrorCase{"CommentsCountLines",
                  "A\nB\n// c\nC\n~",
                  {Text(R3X_TOKEN_NAME, "A"), Text(R3X_TOKEN_NAME, "B"), Text(R3X_TOKEN_NAME, "C"),
                   Keyword(R3X_TOKEN_ERROR)},
                  kIllegal,
                  {5}},
        ErrorCase{"NewlinesInStringsDoNotCount",
                  "\"a\nb\" ~",
                  {Text(R3X_TOKEN_STRING, "a\nb"), Keyword(R3X_TOKEN_ERROR)},
                  kIllegal,
                  {1}},
        // Stored files rely on this count: the newlines after USERDATA are not lines.
        ErrorCase{"NewlinesAfterUserDataDoNotCount",
                  "USERDATA\n\n\"x\"\n~",
                  {Text(R3X_TOKEN_USER_DATA, "x"), Keyword(R3X_TOKEN_ERROR)},
                  kIllegal,
                  {2}},
        ErrorCase{"NewlinesAfterRenderMethodCount",
                  "RENDERMETHOD\nSOLIDFILL\n~",
                  {Keyword(R3X_TOKEN_RENDERMETHOD), Number(R3X_TOKEN_RENDER_METHOD, 7),
                   Keyword(R3X_TOKEN_ERROR)},
                  kIllegal,
                  {3}}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST_F(AsciiScannerTest, MatchOfMoreThan1024CharactersAbortsTheFile) {
  const std::string longest(R3X_ASCII_TOKEN_SIZE, 'n');
  EXPECT_EQ(ScanText(longest + " " + longest),
            (std::vector<Token>{Text(R3X_TOKEN_NAME, longest), Text(R3X_TOKEN_NAME, longest)}));
  EXPECT_TRUE(TakeMessages().empty());

  const std::string quoted = "\"" + std::string(R3X_ASCII_TOKEN_SIZE - 2, 's') + "\"";
  EXPECT_EQ(ScanText(quoted), std::vector<Token>{Text(R3X_TOKEN_STRING, quoted.substr(1, 1022))});
  EXPECT_TRUE(TakeMessages().empty());

  for (const std::string& text :
       {"A\n" + longest + "n ~", "A\n" + std::string(R3X_ASCII_TOKEN_SIZE + 1, '7'),
        "A\n\"" + longest, "A\n\"" + std::string(R3X_ASCII_TOKEN_SIZE - 1, 's') + "\"",
        "A\nUSERDATA " + std::string(R3X_ASCII_TOKEN_SIZE + 1, 'a')}) {
    EXPECT_EQ(ScanText(text), std::vector<Token>{Text(R3X_TOKEN_NAME, "A")});
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{At("lex: Token buffer overflow", 2)});
  }
}

TEST_F(AsciiScannerTest, DecimalsRoundAsTheLibraryRoundsThem) {
  // Plain decimals up to 15 digits take a shorter way than longer ones and exponents; every form
  // must give the float of the library's nearest double, its sign included.
  const std::vector<std::string> texts = {"0.1",
                                          "-0.0",
                                          "+2.675",
                                          "0.000000000000000000001",
                                          "3.1415926535",
                                          "16777217.0",
                                          "1.00000005960464",
                                          "1.000000059604644775390625",
                                          "99999999999999.9",
                                          "123456789012345.67",
                                          "7.0e-3"};
  std::string text;
  std::vector<Token> expected;
  for (const std::string& decimal : texts) {
    text += decimal + " ";
    expected.push_back(Real(static_cast<float>(std::strtod(decimal.c_str(), nullptr))));
  }
  const std::vector<Token> scanned = ScanText(text);
  EXPECT_EQ(scanned, expected);
  for (std::size_t i = 0; i < scanned.size() && i < expected.size(); ++i) {
    EXPECT_EQ(std::signbit(scanned[i].real), std::signbit(expected[i].real)) << texts[i];
  }
}

TEST_F(AsciiScannerTest, TokensAcrossInputBlocksAreWhole) {
  std::string text;
  std::vector<Token> expected;
  for (int i = 0; text.size() < 5 * R3X_ASCII_READ_SIZE; ++i) {
    const std::string name = "name_" + std::to_string(i);
    text += name + std::string(static_cast<std::size_t>(1 + i % 7), ' ') + "XYZ " +
            std::to_string(i) + ".5 \"" + std::string(static_cast<std::size_t>(i % 50), 'q') +
            "\" " + std::to_string(-i) + "\n";
    expected.push_back(Text(R3X_TOKEN_NAME, name));
    expected.push_back(Keyword(109));
    expected.push_back(Real(static_cast<float>(i) + 0.5f));
    expected.push_back(Text(R3X_TOKEN_STRING, std::string(static_cast<std::size_t>(i % 50), 'q')));
    expected.push_back(Integer(-i));
  }
  text += "~";
  expected.push_back(Keyword(R3X_TOKEN_ERROR));
  EXPECT_EQ(ScanText(text), expected);
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{At(kIllegal, static_cast<int>(expected.size() / 5) + 1)});
}

TEST_F(AsciiScannerTest, DecodesHexPairsHighDigitFirst) {
  std::uint32_t size = 99;
  char* block = parDecodeUserDataHex(nullptr, "a0FF7b", 6, &size);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::string(block, size + 1), std::string("\xA0\xFF\x7B\0", 4));
  r3xFree(block);

  EXPECT_EQ(parDecodeUserDataHex(nullptr, "0G", 2, &size), nullptr);
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{"ASCII scanner: invalid hex character in USERDATA"});
}

TEST_F(AsciiScannerTest, ReadErrorEndsTheDataWithItsMessage) {
  file_ = folder_.Write("scan.wld", "A B C");
  Scan scan(file_);
  ASSERT_NE(scan.source(), nullptr);
  // A handle that cannot be read from.
  CloseHandle(scan.stream()->source.file);
  scan.stream()->source.file = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_TRUE(scan.All().empty());
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{At("ASCII scanner: read error", 1)});
  EXPECT_EQ(scan.context()->errorCount, 1);
}

}  // namespace
