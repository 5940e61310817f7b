#include <gtest/gtest.h>

#include "platform/dinput.h"
#include "window_fixture.h"

namespace {

class DirectInputTest : public WindowTest {
 protected:
  ~DirectInputTest() override {
    if (device_ != nullptr) {
      device_->Release();
    }
    if (input_ != nullptr) {
      input_->Release();
    }
  }

  // The host's keyboard opening: cooperative level 6, the keyboard format, 32 events, acquired.
  void OpenKeyboard(HWND window, DWORD cooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) {
    ASSERT_EQ(DirectInputCreateA(nullptr, 0x0300, &input_, nullptr), DI_OK);
    ASSERT_EQ(input_->CreateDevice(GUID_SysKeyboard, &device_, nullptr), DI_OK);
    ASSERT_EQ(device_->SetCooperativeLevel(window, cooperation), DI_OK);
    ASSERT_EQ(device_->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    DIPROPDWORD property{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 32};
    ASSERT_EQ(device_->SetProperty(DIPROP_BUFFERSIZE, &property.diph), DI_OK);
    ASSERT_EQ(device_->Acquire(), DI_OK);
  }

  // One GetDeviceData call for one event, as the game's keyboard reader makes it.
  HRESULT ReadOne(DIDEVICEOBJECTDATA& data, DWORD& count) {
    count = 1;
    return device_->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), &data, &count, 0);
  }

  IDirectInput* input_ = nullptr;
  IDirectInputDevice* device_ = nullptr;
};

TEST_F(DirectInputTest, KeyEventsArriveInOrderWhenTheirTimeComesWithExtendedCodes) {
  UseScript({KeyEvent(1100, DIK_LSHIFT, true), KeyEvent(1100, DIK_RCONTROL, true),
             KeyEvent(1200, DIK_RMENU, true), KeyEvent(1300, DIK_RCONTROL, false)});
  OpenKeyboard(CreateRecordedWindow());
  DIDEVICEOBJECTDATA data{};
  DWORD count = 0;
  EXPECT_EQ(ReadOne(data, count), DI_OK);
  EXPECT_EQ(count, 0u) << "nothing due yet";

  clock_.Advance(200);  // now 1200
  struct Expected {
    DWORD scanCode;
    DWORD state;
    DWORD time;
  };
  DWORD lastSequence = 0;
  for (const Expected expected :
       {Expected{0x2A, 0x80, 1100}, Expected{0x9D, 0x80, 1100}, Expected{0xB8, 0x80, 1200}}) {
    ASSERT_EQ(ReadOne(data, count), DI_OK);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(data.dwOfs, expected.scanCode);
    EXPECT_EQ(data.dwData, expected.state);
    EXPECT_EQ(data.dwTimeStamp, expected.time);
    EXPECT_GT(data.dwSequence, lastSequence);
    lastSequence = data.dwSequence;
  }
  ASSERT_EQ(ReadOne(data, count), DI_OK);
  EXPECT_EQ(count, 0u);

  clock_.Advance(100);
  ASSERT_EQ(ReadOne(data, count), DI_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(data.dwOfs, 0x9Du);
  EXPECT_EQ(data.dwData, 0u) << "release";
}

TEST_F(DirectInputTest, TheBufferKeepsThirtyTwoEventsAndReportsTheLossOfTheRest) {
  std::vector<platform::BackendEvent> script;
  for (int i = 0; i < 33; ++i) {
    script.push_back(KeyEvent(1000, DIK_A, i % 2 == 0));
  }
  script.push_back(KeyEvent(2000, DIK_B, true));
  UseScript(script);
  OpenKeyboard(CreateRecordedWindow());

  DIDEVICEOBJECTDATA data[40]{};
  DWORD count = 10;
  EXPECT_EQ(device_->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), data, &count, 0), DI_BUFFEROVERFLOW);
  EXPECT_EQ(count, 10u);
  count = 40;
  EXPECT_EQ(device_->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), data, &count, 0), DI_OK);
  EXPECT_EQ(count, 22u) << "32 kept in all; the 33rd was dropped";
  EXPECT_EQ(data[21].dwData, 0u) << "the 32nd event, a release";

  clock_.Advance(1000);
  count = 40;
  EXPECT_EQ(device_->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), data, &count, 0), DI_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(data[0].dwOfs, static_cast<DWORD>(DIK_B));
}

TEST_F(DirectInputTest, FocusLossLosesTheInputUntilTheDeviceIsAcquiredAgain) {
  UseScript({KeyEvent(1100, DIK_W, true), SimpleEvent(1200, platform::BackendEventKind::kFocusLost),
             KeyEvent(1300, DIK_S, true),
             SimpleEvent(1400, platform::BackendEventKind::kFocusGained),
             KeyEvent(1600, DIK_D, true)});
  OpenKeyboard(CreateRecordedWindow());
  clock_.Advance(200);  // 1200: focus gone, the unread W with it

  DIDEVICEOBJECTDATA data{};
  DWORD count = 0;
  EXPECT_EQ(ReadOne(data, count), DIERR_INPUTLOST);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(device_->Acquire(), DIERR_OTHERAPPHASPRIO) << "window not active";
  EXPECT_EQ(ReadOne(data, count), DIERR_INPUTLOST) << "still lost, so the reader tries again";

  clock_.Advance(300);  // 1500: focus back; S came while it was away
  EXPECT_EQ(ReadOne(data, count), DIERR_INPUTLOST);
  ASSERT_EQ(device_->Acquire(), DI_OK);
  EXPECT_EQ(ReadOne(data, count), DI_OK);
  EXPECT_EQ(count, 0u) << "S was not for us";

  clock_.Advance(100);
  ASSERT_EQ(ReadOne(data, count), DI_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(data.dwOfs, static_cast<DWORD>(DIK_D));
}

TEST_F(DirectInputTest, ABriefFocusLossIsNoticedEvenWhenTheFocusIsBackBeforeTheRead) {
  UseScript({SimpleEvent(1100, platform::BackendEventKind::kFocusLost),
             SimpleEvent(1101, platform::BackendEventKind::kFocusGained)});
  OpenKeyboard(CreateRecordedWindow());
  clock_.Advance(200);
  DIDEVICEOBJECTDATA data{};
  DWORD count = 0;
  EXPECT_EQ(ReadOne(data, count), DIERR_INPUTLOST);
  EXPECT_EQ(device_->Acquire(), DI_OK);
  EXPECT_EQ(ReadOne(data, count), DI_OK);
}

TEST_F(DirectInputTest, ABackgroundDeviceKeepsReadingWithoutFocus) {
  UseScript(
      {SimpleEvent(1100, platform::BackendEventKind::kFocusLost), KeyEvent(1200, DIK_SPACE, true)});
  OpenKeyboard(CreateRecordedWindow(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
  clock_.Advance(200);
  DIDEVICEOBJECTDATA data{};
  DWORD count = 0;
  ASSERT_EQ(ReadOne(data, count), DI_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(data.dwOfs, static_cast<DWORD>(DIK_SPACE));
}

TEST_F(DirectInputTest, AnUnacquiredDeviceReadsNothing) {
  UseScript({KeyEvent(1100, DIK_Q, true)});
  OpenKeyboard(CreateRecordedWindow());
  ASSERT_EQ(device_->Unacquire(), DI_OK);
  clock_.Advance(200);
  DIDEVICEOBJECTDATA data{};
  DWORD count = 0;
  EXPECT_EQ(ReadOne(data, count), DIERR_NOTACQUIRED);
  ASSERT_EQ(device_->Acquire(), DI_OK);
  EXPECT_EQ(ReadOne(data, count), DI_OK);
  EXPECT_EQ(count, 0u) << "the key came while unacquired";
}

TEST_F(DirectInputTest, ReferenceCountsAreSharedAsTheHostRecordSharesTheObject) {
  IDirectInput* input = nullptr;
  ASSERT_EQ(DirectInputCreateA(nullptr, 0x0300, &input, nullptr), DI_OK);
  EXPECT_EQ(input->AddRef(), 2u);
  IDirectInputDevice* device = nullptr;
  ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &device, nullptr), DI_OK);
  EXPECT_EQ(input->Release(), 1u);
  EXPECT_EQ(device->AddRef(), 2u);
  EXPECT_EQ(device->Release(), 1u);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(input->Release(), 0u);
}

TEST_F(DirectInputTest, BadCallsAreRefused) {
  const HWND window = CreateRecordedWindow();
  IDirectInput* input = nullptr;
  EXPECT_EQ(DirectInputCreateA(nullptr, 0x0500, &input, nullptr), DIERR_INVALIDPARAM);
  EXPECT_EQ(DirectInputCreateA(nullptr, 0x0300, nullptr, nullptr), DIERR_INVALIDPARAM);
  ASSERT_EQ(DirectInputCreateA(nullptr, 0x0300, &input_, nullptr), DI_OK);
  IDirectInputDevice* other = nullptr;
  EXPECT_EQ(input_->CreateDevice(DIPROP_BUFFERSIZE, &other, nullptr), DIERR_DEVICENOTREG);
  ASSERT_EQ(input_->CreateDevice(GUID_SysKeyboard, &device_, nullptr), DI_OK);

  for (const DWORD flags : {0u, DISCL_FOREGROUND, DISCL_NONEXCLUSIVE,
                            DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND,
                            DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND,
                            DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | 0x100u}) {
    EXPECT_EQ(device_->SetCooperativeLevel(window, flags), DIERR_INVALIDPARAM) << flags;
  }
  EXPECT_EQ(device_->SetCooperativeLevel(nullptr, 6), DIERR_INVALIDPARAM) << "no window";

  struct BadProperty {
    DWORD size;
    DWORD headerSize;
    DWORD object;
    DWORD how;
  };
  for (const BadProperty bad : {BadProperty{16, 16, 0, DIPH_DEVICE}, BadProperty{20, 20, 0, 0},
                                BadProperty{20, 16, 1, DIPH_DEVICE}, BadProperty{20, 16, 0, 1}}) {
    DIPROPDWORD property{{bad.size, bad.headerSize, bad.object, bad.how}, 32};
    EXPECT_EQ(device_->SetProperty(DIPROP_BUFFERSIZE, &property.diph), DIERR_INVALIDPARAM);
  }
  DIPROPDWORD property{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 32};
  EXPECT_EQ(device_->SetProperty(GUID_SysKeyboard, &property.diph), DIERR_INVALIDPARAM);

  EXPECT_EQ(device_->Acquire(), DIERR_INVALIDPARAM) << "no data format";
  const DIDATAFORMAT wrongFormat{sizeof(DIDATAFORMAT), 16};
  EXPECT_EQ(device_->SetDataFormat(&wrongFormat), DIERR_INVALIDPARAM);
  ASSERT_EQ(device_->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  ASSERT_EQ(device_->Acquire(), DI_OK);

  DIDEVICEOBJECTDATA data{};
  DWORD count = 1;
  EXPECT_EQ(device_->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), &data, &count, 0),
            DIERR_NOTBUFFERED);
  EXPECT_EQ(device_->SetProperty(DIPROP_BUFFERSIZE, &property.diph), DIERR_ACQUIRED);
  EXPECT_EQ(device_->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
  EXPECT_EQ(device_->GetDeviceData(12, &data, &count, 0), DIERR_INVALIDPARAM);
  count = 1;
  EXPECT_EQ(device_->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &count, 0),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(device_->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), &data, nullptr, 0),
            DIERR_INVALIDPARAM);
}

}  // namespace
