#include "battle/ui/hud_text.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "battle/ui/hud_colours.h"
#include "battle/ui/panel.h"
#include "tests/battle_cockpit/cockpit_fixture.h"

namespace {

std::uint16_t Stored(COLORREF colour) {
  return static_cast<std::uint16_t>((colour & 0xFF) >> 3 << 10 | (colour >> 8 & 0xFF) >> 3 << 5 |
                                    (colour >> 16 & 0xFF) >> 3);
}
const std::uint16_t kGreen = Stored(kHudDefaultColour);
const std::uint16_t kWhite = Stored(kHudColours['e' - 'a']);
const std::uint16_t kYellow = Stored(kHudColours['f' - 'a']);

class HudTextTest : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    CreateHudFont(14);
    ASSERT_EQ(panel_.Create(), 1);
  }
  void TearDown() override {
    DeleteHudFont();
    CockpitTest::TearDown();
  }

  std::uint16_t At(int x, int y) const {
    return panel_.pixels()[(panel_.height() - 1 - y) * panel_.rowLength() + x];
  }
  // The colours drawn into rows [top, bottom).
  std::set<std::uint16_t> InkIn(int top, int bottom) const {
    std::set<std::uint16_t> ink;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < 200; ++x) {
        if (At(x, y) != 1) {
          ink.insert(At(x, y));
        }
      }
    }
    return ink;
  }
  int TopInkRow(int from) const {
    for (int y = from; y < panel_.height(); ++y) {
      for (int x = 0; x < 200; ++x) {
        if (At(x, y) != 1) {
          return y;
        }
      }
    }
    return -1;
  }

  CPanel panel_{0, 0, 201, 48};
};

TEST_F(HudTextTest, LinesAndColourCodes) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::set<std::uint16_t>> lines;
  };
  const Case cases[] = {
      {"colour-only line", "\ae\nHHH", {{}, {kWhite}, {}}},
      {"BEL mid-line is text", "H\aeH", {{kGreen}, {}, {}}},
      {"empty line ends the text", "HHH\n\nHHH", {{kGreen}, {}, {}}},
      {"invalid code letter", "\azHHH", {{kGreen}, {}, {}}},
      {"trailing newline", "HHH\n", {{kGreen}, {}, {}}},
      {"BEL at the very end", "HHH\n\a", {{kGreen}, {}, {}}},
      {"BEL ending a line", "\ae\a\nHHH", {{}, {kWhite}, {}}},
      {"last code wins and stays", "\ae\afHH\nHH", {{kYellow}, {kYellow}, {}}},
      {"each call starts green", "HH", {{kGreen}, {}, {}}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(panel_.Create(), 1);
    // An exact heap copy, so that a read past the terminator is caught under the sanitizers.
    const auto text = std::make_unique<char[]>(c.text.size() + 1);
    std::memcpy(text.get(), c.text.c_str(), c.text.size() + 1);
    EXPECT_EQ(DrawHudText(panel_.dc(), text.get(), 2, 0), 1) << c.name;
    for (std::size_t line = 0; line < c.lines.size(); ++line) {
      const int top = static_cast<int>(line) * HudLineStep() + 1;
      EXPECT_EQ(InkIn(top, top + HudLineStep() - 1), c.lines[line]) << c.name << " line " << line;
    }
  }
}

TEST_F(HudTextTest, NullDcDrawsNothing) { EXPECT_EQ(DrawHudText(nullptr, "abc", 0, 0), 0); }

TEST_F(HudTextTest, LineStepFollowsTheFontHeight) {
  for (const int size : {14, 10}) {
    CreateHudFont(size);
    ASSERT_EQ(panel_.Create(), 1);
    DrawHudText(panel_.dc(), "H\nH", 0, 0);
    const int first = TopInkRow(0);
    ASSERT_GE(first, 0);
    int second = first + 1;
    while (!InkIn(second, second + 1).empty()) {
      ++second;
    }
    second = TopInkRow(second);
    EXPECT_EQ(second - first, size - 2) << size;
  }
}

TEST_F(HudTextTest, MeasureFitEdges) {
  const char* text = "HHHH";
  const int whole = MeasureHudText(panel_.dc(), text);
  const int first = MeasureHudText(panel_.dc(), "H");
  ASSERT_GT(first, 0);
  struct Case {
    int width;
    int fit;
  };
  const Case cases[] = {
      {0, -1}, {-5, -1}, {whole + 1, 4}, {first, 0}, {first + 1, 1}, {first * 2, 1}, {whole, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MeasureHudTextFit(panel_.dc(), c.width, text), c.fit) << c.width;
  }
  EXPECT_EQ(MeasureHudTextFit(panel_.dc(), 0, ""), -1);
  EXPECT_EQ(MeasureHudTextFit(panel_.dc(), 1, ""), 0);
}

}  // namespace
