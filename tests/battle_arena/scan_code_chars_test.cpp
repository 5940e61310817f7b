#include "battle/arena/scan_code_chars.h"

#include <gtest/gtest.h>

#include "platform/dinput.h"

namespace {

struct CharCase {
  KeyboardRecord record;
  char expected;
};

TEST(ScanCodeToCharTest, GivesTheUsLayoutsCharacterForTheModifiers) {
  constexpr std::uint8_t kLeftShift = 0x04;
  constexpr std::uint8_t kRightShift = 0x08;
  for (const CharCase c : {
           CharCase{{DIK_A, 0}, 'a'},
           CharCase{{DIK_A, kLeftShift}, 'A'},
           CharCase{{DIK_1, kRightShift}, '!'},
           CharCase{{DIK_0, kRightShift}, ')'},
           CharCase{{DIK_SLASH, 0}, '/'},
           CharCase{{DIK_SLASH, kLeftShift}, '?'},
           CharCase{{DIK_APOSTROPHE, kLeftShift}, '"'},
           CharCase{{DIK_GRAVE, kLeftShift}, '~'},
           CharCase{{DIK_BACKSLASH, kLeftShift}, '|'},
           CharCase{{DIK_M, 0}, 'm'},
           CharCase{{DIK_ESCAPE, 0}, 27},
           CharCase{{DIK_BACK, kLeftShift}, 8},
           CharCase{{DIK_RETURN, 0}, 13},
           CharCase{{DIK_NUMPADENTER, kLeftShift}, 13},
           CharCase{{DIK_NUMPAD7, kLeftShift}, '7'},
           CharCase{{DIK_DECIMAL, 0}, '.'},
           CharCase{{DIK_NUMPADEQUALS, 0}, '='},
           CharCase{{DIK_COLON, 0}, ':'},
           CharCase{{DIK_DIVIDE, kLeftShift}, '/'},
           CharCase{{DIK_DELETE, 0}, 127},
           CharCase{{DIK_SPACE, kLeftShift}, ' '},
           // Releases carry the press's modifiers.
           CharCase{{DIK_A, kLeftShift | kKeyReleased}, 'A'},
           // Ctrl or Alt: no character.
           CharCase{{DIK_A, 0x10}, 0},
           CharCase{{DIK_A, 0x20 | kLeftShift}, 0},
           CharCase{{DIK_A, 0x02}, 0},
           // Keys without one.
           CharCase{{DIK_F1, 0}, 0},
           CharCase{{DIK_F1, kLeftShift}, 0},
           CharCase{{DIK_UP, 0}, 0},
           CharCase{{0xFF, 0}, 0},
       }) {
    EXPECT_EQ(ScanCodeToChar(c.record), c.expected)
        << "scan code " << int{c.record.scanCode} << " state " << int{c.record.state};
  }
}

}  // namespace
