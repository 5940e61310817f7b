#include "platform/input/direct_input_device.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/backend/event_pump.h"
#include "platform/window/window.h"

const DIDATAFORMAT c_dfDIKeyboard{sizeof(DIDATAFORMAT), 256};

namespace {

// Every live keyboard, so that the backend's keys reach them all; one lock for all their state.
struct KeyboardTable {
  std::mutex mutex;
  std::vector<IDirectInputDevice*> devices;
  DWORD sequence = 0;
};

KeyboardTable& Keyboards() {
  static KeyboardTable table;
  return table;
}

}  // namespace

IDirectInputDevice::IDirectInputDevice() {
  KeyboardTable& table = Keyboards();
  std::lock_guard lock(table.mutex);
  table.devices.push_back(this);
}

IDirectInputDevice::~IDirectInputDevice() {
  KeyboardTable& table = Keyboards();
  std::lock_guard lock(table.mutex);
  std::erase(table.devices, this);
}

ULONG IDirectInputDevice::AddRef() {
  std::lock_guard lock(Keyboards().mutex);
  return ++references_;
}

ULONG IDirectInputDevice::Release() {
  ULONG remaining;
  {
    std::lock_guard lock(Keyboards().mutex);
    remaining = --references_;
  }
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirectInputDevice::SetDataFormat(const DIDATAFORMAT* format) {
  std::lock_guard lock(Keyboards().mutex);
  if (acquired_) {
    return DIERR_ACQUIRED;
  }
  if (format == nullptr || format->dwSize != c_dfDIKeyboard.dwSize ||
      format->dwDataSize != c_dfDIKeyboard.dwDataSize) {
    return DIERR_INVALIDPARAM;
  }
  formatSet_ = true;
  return DI_OK;
}

HRESULT IDirectInputDevice::SetCooperativeLevel(HWND window, DWORD flags) {
  const DWORD exclusivity = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
  const DWORD ground = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
  platform::WindowState state;
  if (flags != (exclusivity | ground) || exclusivity == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) ||
      exclusivity == 0 || ground == (DISCL_FOREGROUND | DISCL_BACKGROUND) || ground == 0 ||
      !platform::GetWindowState(window, state)) {
    return DIERR_INVALIDPARAM;
  }
  std::lock_guard lock(Keyboards().mutex);
  if (acquired_) {
    return DIERR_ACQUIRED;
  }
  window_ = window;
  cooperation_ = flags;
  return DI_OK;
}

HRESULT IDirectInputDevice::SetProperty(REFGUID property, const DIPROPHEADER* header) {
  if (property != DIPROP_BUFFERSIZE || header == nullptr || header->dwSize != sizeof(DIPROPDWORD) ||
      header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwObj != 0 ||
      header->dwHow != DIPH_DEVICE) {
    return DIERR_INVALIDPARAM;
  }
  std::lock_guard lock(Keyboards().mutex);
  if (acquired_) {
    return DIERR_ACQUIRED;
  }
  // The header is the first member of the DIPROPDWORD whose size it declares.
  bufferSize_ = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
  return DI_OK;
}

HRESULT IDirectInputDevice::Acquire() {
  const HWND active = GetActiveWindow();
  const DWORD changes = platform::GetActiveWindowChanges();
  std::lock_guard lock(Keyboards().mutex);
  NoticeLostForeground();
  if (!formatSet_) {
    return DIERR_INVALIDPARAM;
  }
  if (acquired_) {
    return DI_OK;
  }
  if ((cooperation_ & DISCL_FOREGROUND) != 0 && (window_ == nullptr || window_ != active)) {
    return DIERR_OTHERAPPHASPRIO;
  }
  acquired_ = true;
  lost_ = false;
  activeChangesAtAcquire_ = changes;
  overflowed_ = false;
  buffer_.clear();
  return DI_OK;
}

HRESULT IDirectInputDevice::Unacquire() {
  std::lock_guard lock(Keyboards().mutex);
  acquired_ = false;
  lost_ = false;
  buffer_.clear();
  return DI_OK;
}

HRESULT IDirectInputDevice::GetDeviceData(DWORD objectDataSize, DIDEVICEOBJECTDATA* data,
                                          DWORD* count, DWORD /*flags*/) {
  if (count == nullptr || objectDataSize != sizeof(DIDEVICEOBJECTDATA) ||
      (data == nullptr && *count != 0)) {
    return DIERR_INVALIDPARAM;
  }
  platform::PumpBackendEvents();
  std::lock_guard lock(Keyboards().mutex);
  const DWORD wanted = *count;
  *count = 0;
  if (bufferSize_ == 0) {
    return DIERR_NOTBUFFERED;
  }
  NoticeLostForeground();
  if (lost_) {
    return DIERR_INPUTLOST;
  }
  if (!acquired_) {
    return DIERR_NOTACQUIRED;
  }
  const DWORD taken = static_cast<DWORD>(std::min<std::size_t>(wanted, buffer_.size()));
  std::copy_n(buffer_.begin(), taken, data);
  buffer_.erase(buffer_.begin(), buffer_.begin() + taken);
  *count = taken;
  const bool overflowed = overflowed_;
  overflowed_ = false;
  return overflowed ? DI_BUFFEROVERFLOW : DI_OK;
}

void IDirectInputDevice::NoticeLostForeground() {
  if (acquired_ && (cooperation_ & DISCL_FOREGROUND) != 0 &&
      platform::GetActiveWindowChanges() != activeChangesAtAcquire_) {
    acquired_ = false;
    lost_ = true;
    buffer_.clear();
  }
}

namespace platform {

void DeliverKeyToKeyboards(int scanCode, bool pressed, DWORD time) {
  KeyboardTable& table = Keyboards();
  std::lock_guard lock(table.mutex);
  ++table.sequence;
  for (IDirectInputDevice* device : table.devices) {
    device->NoticeLostForeground();
    if (!device->acquired_ || device->bufferSize_ == 0) {
      continue;
    }
    if (device->buffer_.size() >= device->bufferSize_) {
      device->overflowed_ = true;
      continue;
    }
    device->buffer_.push_back(DIDEVICEOBJECTDATA{static_cast<DWORD>(scanCode), pressed ? 0x80u : 0u,
                                                 time, table.sequence});
  }
}

namespace {

void DeliverKeyEvent(const BackendEvent& event) {
  DeliverKeyToKeyboards(event.scanCode, event.kind == BackendEventKind::kKeyDown, event.time);
}

[[maybe_unused]] const bool gSinkSet =
    (SetEventSink(EventSinkKind::kKeyboard, &DeliverKeyEvent), true);

}  // namespace
}  // namespace platform
