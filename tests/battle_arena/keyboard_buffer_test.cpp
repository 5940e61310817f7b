#include "battle/arena/keyboard_buffer.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "host/interface/host_record.h"
#include "host/keyboard_device.h"
#include "host/process_record.h"
#include "platform/dinput.h"
#include "platform/win32.h"
#include "tests/support/scoped_window_system.h"

namespace {

class KeyboardBufferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record_.window = test_support::CreateShownWindow("keyboard_buffer_wc", DefWindowProcA);
    ASSERT_NE(record_.window, nullptr);
    gHostRecord = &record_;
    ASSERT_TRUE(OpenKeyboardDevice(record_.keyboard));
  }

  void TearDown() override {
    CloseKeyboardDevice(record_.keyboard);
    gHostRecord = nullptr;
  }

  // Every record the buffer gives, in order; modifier keys give none.
  std::vector<KeyboardRecord> ReadAll() {
    std::vector<KeyboardRecord> records;
    for (int reads = 0; reads < 64; ++reads) {
      KeyboardRecord record{};
      if (ReadKeyboardBuffer(&record_.keyboard, &record)) {
        records.push_back(record);
      }
    }
    return records;
  }

  test_support::ScopedWindowSystem windowSystem_;
  HostRecord record_{};
};

TEST_F(KeyboardBufferTest, ModifierKeysSetAndClearTheirBits) {
  struct Case {
    int scanCode;
    std::uint8_t bit;
  };
  for (const Case c :
       {Case{DIK_LMENU, 0x01}, Case{DIK_RMENU, 0x02}, Case{DIK_LSHIFT, 0x04},
        Case{DIK_RSHIFT, 0x08}, Case{DIK_LCONTROL, 0x10}, Case{DIK_RCONTROL, 0x20}}) {
    platform::DeliverKeyToKeyboards(c.scanCode, true, 100);
    EXPECT_TRUE(ReadAll().empty()) << c.scanCode;
    EXPECT_EQ(record_.keyboard.modifiers, c.bit) << c.scanCode;
    platform::DeliverKeyToKeyboards(c.scanCode, false, 101);
    EXPECT_TRUE(ReadAll().empty()) << c.scanCode;
    EXPECT_EQ(record_.keyboard.modifiers, 0) << c.scanCode;
  }
}

TEST_F(KeyboardBufferTest, AKeyIsReleasedWithTheModifiersItWasPressedWith) {
  platform::DeliverKeyToKeyboards(DIK_LSHIFT, true, 100);
  platform::DeliverKeyToKeyboards(DIK_A, true, 101);
  platform::DeliverKeyToKeyboards(DIK_LSHIFT, false, 102);
  platform::DeliverKeyToKeyboards(DIK_RCONTROL, true, 103);
  platform::DeliverKeyToKeyboards(DIK_B, true, 104);
  platform::DeliverKeyToKeyboards(DIK_A, false, 105);
  platform::DeliverKeyToKeyboards(DIK_B, false, 106);
  const std::vector<KeyboardRecord> expected = {
      {DIK_A, 0x04}, {DIK_B, 0x20}, {DIK_A, 0x04 | 0x80}, {DIK_B, 0x20 | 0x80}};
  EXPECT_EQ(ReadAll(), expected);
  EXPECT_EQ(record_.keyboard.modifiers, 0x20);
}

TEST_F(KeyboardBufferTest, AnOverflowedBufferStillHandsOutItsEvents) {
  for (int i = 0; i < 40; ++i) {
    platform::DeliverKeyToKeyboards(DIK_Q, i % 2 == 0, 100 + i);
  }
  EXPECT_EQ(ReadAll().size(), 32u);
}

TEST_F(KeyboardBufferTest, ALostKeyboardIsAcquiredAgainAndReadsOn) {
  platform::SetApplicationFocus(false);
  platform::SetApplicationFocus(true);
  platform::DeliverKeyToKeyboards(DIK_W, true, 100);
  KeyboardRecord record{};
  EXPECT_FALSE(ReadKeyboardBuffer(&record_.keyboard, &record));  // lost: acquired again
  platform::DeliverKeyToKeyboards(DIK_E, true, 101);
  EXPECT_EQ(ReadAll(), (std::vector<KeyboardRecord>{{DIK_E, 0}}));
}

}  // namespace
