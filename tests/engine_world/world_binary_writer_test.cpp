// The binary world writer: one source in both forms reads as the same tokens with the same
// values, and the writer picks each value's form.
#include "tools/mkdata/world_binary_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/world/keyword_table.h"
#include "engine/world/world_stream.h"
#include "world_fixture.h"

namespace {

using test_support::ScratchFolder;
using world_test::Scan;
using world_test::TakeMessages;
using world_test::Token;

const std::string kMagic(reinterpret_cast<const char*>(R3X_WLD_MAGIC), sizeof R3X_WLD_MAGIC);

class WorldBinaryWriterTest : public testing::Test {
 protected:
  void SetUp() override { TakeMessages(); }

  // The tokens of the text and of its binary encoding.
  std::pair<std::vector<Token>, std::vector<Token>> ReadBoth(const std::string& text) {
    const std::string textFile = folder_.Write("w.wld", text);
    const std::string binaryFile = folder_.Write("w.wlb", mkdata::EncodeBinaryWorld(textFile));
    Scan textScan(textFile);
    Scan binaryScan(binaryFile);
    return {textScan.All(), binaryScan.All()};
  }

  std::string Encode(const std::string& text) {
    const std::vector<std::uint8_t> bytes = mkdata::EncodeBinaryWorld(folder_.Write("w.wld", text));
    return std::string(bytes.begin(), bytes.end());
  }

  ScratchFolder folder_;
};

TEST_F(WorldBinaryWriterTest, BothFormsGiveTheSameTokensAndValues) {
  const std::string world = R"(// a world of every kind of token
BEGINFILE 1
QZVWORLD demo DEFAULTPALETTEFILE "palette.bmp"
NUMVERTICES 3 XYZ 0.0 -0.0 1e30 XYZ 10.5, -3.25e-7f, 3.4028235e38 XYZ .5 5. -1e39
SIMPLESPRITEDEF SIMPLESPRITETAG floor_tex NUMFRAMES 1 FRAME "floor.bmp" floor_bmp
ENDSIMPLESPRITEDEF
NUMREGIONS 1 REGION 1 REGIONTAG room_a NUMRENDERVERTICES 4 NUMWALLS 1
WALL 1 NUMVERTICES 3 VERTEXLIST 1 2 3 RENDERMETHOD TRANSTEXTURE5SCALEDAMBIENTGOURAUD2
RENDERINFO PEN 255 BRIGHTNESS 1.0 ENDRENDERINFO ENDWALL
WALL 2 RENDERMETHOD USERDEFINED 3 ENDWALL
OBSTACLE 1 XY_LINE 0 1 2 NEXTREGION 0 USERDATA 4 0A0B000D ENDOBSTACLE
VISTREE RANGE 127 128 -128 -129 32767 32768 -32768 -32769 2147483647 -2147483648 ENDVISTREE
USERDATA "user \"data\"" ENDREGION 1
ENDWORLD demo
)";
  const std::string longString(300, 's');
  const auto [text, binary] = ReadBoth(world + "\"" + longString + "\"\nUSERDATA 1 " +
                                       std::string(600, 'A') + "\nENDFILE ~");
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text[text.size() - 2].text, longString);
  EXPECT_EQ(text.back().text, std::string(300, '\xAA'));
  EXPECT_EQ(binary, text);
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(WorldBinaryWriterTest, EveryKeywordReadsTheSameInBothForms) {
  std::string all;
  for (std::size_t i = 0; i < parKeywordCount; ++i) {
    if (parKeywords[i].token != R3X_TOKEN_END) {
      all += std::string(parKeywords[i].text) + " ";
      if (parKeywords[i].token == R3X_TOKEN_RENDERMETHOD) {
        all += "SOLIDFILL ";
      }
    }
  }
  const auto [text, binary] = ReadBoth(all);
  EXPECT_EQ(text.size(), parKeywordCount);
  EXPECT_EQ(binary, text);
}

// Keywords below 128 take one byte, others two; numbers their smallest form; names and
// strings are scrambled; the end code closes the file.
TEST_F(WorldBinaryWriterTest, WritesEachValueInItsForm) {
  struct Case {
    std::string text;
    std::string bytes;
  };
  for (const Case& c : {
           Case{"QZVWORLD demo", std::string("\x80\x82\x04\x04\x3E\x72\xAE\xE1", 8)},
           Case{"NUMVERTICES 5", std::string("\x49\x08\x05", 3)},
           Case{"-200 70000", std::string("\x09\x38\xFF\x0A\x70\x11\x01\x00", 8)},
           Case{"XYZ 1.0", std::string("\x6D\x0C\x00\x00\x80\x3F", 6)},
           Case{"RENDERMETHOD SOLIDFILLCONSTANT", std::string("\x55\x6F\x0B\x00", 4)},
           Case{"RENDERMETHOD USERDEFINED 3", std::string("\x55\x6E\x08\x03", 4)},
           Case{"\"ab\"", std::string("\x10\x02\x3B\x75", 4)},
           Case{"USERDATA 1 ff", std::string("\x18\x01\xA5", 3)},
           Case{"ENDFILE A", ""},
       }) {
    EXPECT_EQ(Encode(c.text), kMagic + c.bytes + "\x03") << c.text;
  }
  const std::string longText = Encode("\"" + std::string(256, 'x') + "\"");
  EXPECT_EQ(longText.substr(6, 4), std::string("\x80\x90\x01\x00", 4));
  EXPECT_EQ(longText.size(), 6u + 4 + 256 + 1);
}

TEST_F(WorldBinaryWriterTest, RefusesWhatTheBinaryFormCannotHold) {
  EXPECT_THROW(Encode(std::string(256, 'n')), std::runtime_error);
  EXPECT_NO_THROW(Encode(std::string(255, 'n')));
  EXPECT_THROW(mkdata::EncodeBinaryWorld((folder_.Path() / "none.wld").string()),
               std::runtime_error);
  const std::string binary = folder_.Write("b.wlb", Encode("A"));
  EXPECT_THROW(mkdata::EncodeBinaryWorld(binary), std::runtime_error);
}

// What the engine's text scanner reports as an error, the writer refuses, and it shows nothing:
// the scanner's message box is the engine's, not the tool's.
TEST_F(WorldBinaryWriterTest, RefusesWhatTheTextScannerRefuses) {
  for (const std::string& text : {
           std::string("A ~"),
           std::string("A \"unterminated"),
           std::string("A \"ends in a backslash\\"),
           std::string("USERDATA 3 ABC"),
           std::string("RENDERMETHOD NOSUCHMETHOD"),
           std::string("RENDERMETHOD // a comment is no render method"),
           "\"" + std::string(1023, 's') + "\"",
           std::string(1025, '7'),
       }) {
    EXPECT_THROW(Encode(text), std::runtime_error) << text.substr(0, 40);
    Scan scan(folder_.Write("same.wld", text));
    scan.All();
    EXPECT_FALSE(TakeMessages().empty()) << "the engine refuses it too: " << text.substr(0, 40);
  }
  EXPECT_NO_THROW(Encode("\"" + std::string(1022, 's') + "\""));
}

}  // namespace
