#include "host/keyboard_device.h"

#include <gtest/gtest.h>

#include "host/interface/host_record.h"
#include "host/process_record.h"
#include "platform/dinput.h"
#include "platform/win32.h"
#include "tests/support/scoped_window_system.h"

namespace {

class KeyboardDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record_.window = test_support::CreateShownWindow("keyboard_test_wc", DefWindowProcA);
    ASSERT_NE(record_.window, nullptr);
    gHostRecord = &record_;
  }

  void TearDown() override {
    CloseKeyboardDevice(record_.keyboard);
    gHostRecord = nullptr;
  }

  // The remaining count after one more reference is taken and given back.
  template <typename T>
  static ULONG CountOf(T* object) {
    const ULONG count = object->AddRef() - 1;
    object->Release();
    return count;
  }

  test_support::ScopedWindowSystem windowSystem_;
  HostRecord record_{};
};

TEST_F(KeyboardDeviceTest, OpenCreatesTheInputObjectAndAcquiresTheKeyboard) {
  ASSERT_TRUE(OpenKeyboardDevice(record_.keyboard));
  ASSERT_NE(record_.directInput, nullptr);
  ASSERT_NE(record_.keyboard.device, nullptr);
  EXPECT_EQ(CountOf(record_.directInput), 1u);

  platform::DeliverKeyToKeyboards(DIK_A, true, 100);
  DIDEVICEOBJECTDATA event{};
  DWORD count = 1;
  ASSERT_EQ(record_.keyboard.device->GetDeviceData(sizeof event, &event, &count, 0), DI_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(event.dwOfs, static_cast<DWORD>(DIK_A));
  EXPECT_EQ(event.dwData, 0x80u);
}

TEST_F(KeyboardDeviceTest, KeyboardBuffersThirtyTwoEvents) {
  ASSERT_TRUE(OpenKeyboardDevice(record_.keyboard));
  for (int i = 0; i < 33; ++i) {
    platform::DeliverKeyToKeyboards(DIK_A, i % 2 == 0, 100 + i);
  }
  DIDEVICEOBJECTDATA events[40];
  DWORD count = 40;
  EXPECT_EQ(record_.keyboard.device->GetDeviceData(sizeof events[0], events, &count, 0),
            DI_BUFFEROVERFLOW);
  EXPECT_EQ(count, 32u);
}

TEST_F(KeyboardDeviceTest, CloseReleasesBothAndASecondCloseDoesNothing) {
  ASSERT_TRUE(OpenKeyboardDevice(record_.keyboard));
  CloseKeyboardDevice(record_.keyboard);
  EXPECT_EQ(record_.keyboard.device, nullptr);
  EXPECT_EQ(record_.directInput, nullptr);
  CloseKeyboardDevice(record_.keyboard);
  EXPECT_EQ(record_.keyboard.device, nullptr);
  EXPECT_EQ(record_.directInput, nullptr);
}

TEST_F(KeyboardDeviceTest, OpenSharesAnInputObjectThatAnotherHolderMade) {
  IDirectInput* other = nullptr;
  ASSERT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &other, nullptr), DI_OK);
  record_.directInput = other;

  ASSERT_TRUE(OpenKeyboardDevice(record_.keyboard));
  EXPECT_EQ(record_.directInput, other);
  EXPECT_EQ(CountOf(other), 2u);

  // The other holder lets go first: the keyboard's close then brings the count to 0.
  EXPECT_EQ(other->Release(), 1u);
  EXPECT_EQ(record_.directInput, other);
  CloseKeyboardDevice(record_.keyboard);
  EXPECT_EQ(record_.directInput, nullptr);
  EXPECT_EQ(record_.keyboard.device, nullptr);
}

TEST_F(KeyboardDeviceTest, CloseLeavesTheFieldWhileAnotherHolderRemains) {
  IDirectInput* other = nullptr;
  ASSERT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &other, nullptr), DI_OK);
  record_.directInput = other;
  ASSERT_TRUE(OpenKeyboardDevice(record_.keyboard));
  CloseKeyboardDevice(record_.keyboard);
  EXPECT_EQ(record_.directInput, other);
  EXPECT_EQ(CountOf(other), 1u);
  EXPECT_EQ(other->Release(), 0u);
  record_.directInput = nullptr;
}

// Each failure after the device exists closes what the open made.
TEST_F(KeyboardDeviceTest, OpenWithoutAWindowFailsAndClosesWhatItMade) {
  platform::ResetWindows();
  ASSERT_FALSE(OpenKeyboardDevice(record_.keyboard));
  EXPECT_EQ(record_.keyboard.device, nullptr);
  EXPECT_EQ(record_.directInput, nullptr);
}

TEST_F(KeyboardDeviceTest, OpenWhileTheWindowIsInactiveFailsAndClosesWhatItMade) {
  platform::SetApplicationFocus(false);
  ASSERT_FALSE(OpenKeyboardDevice(record_.keyboard));
  EXPECT_EQ(record_.keyboard.device, nullptr);
  EXPECT_EQ(record_.directInput, nullptr);
}

}  // namespace
