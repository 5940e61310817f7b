// The DirectInput system keyboard: a buffer of key events filled by the display backend while the
// device is acquired.
#pragma once

#include <deque>

#include "platform/input/direct_input_types.h"
#include "platform/window/handles.h"

class IDirectInput;

namespace platform {

// A key went down or up: every acquired keyboard buffers it.
void DeliverKeyToKeyboards(int scanCode, bool pressed, DWORD time);

}  // namespace platform

class IDirectInputDevice {
 public:
  IDirectInputDevice(const IDirectInputDevice&) = delete;
  IDirectInputDevice& operator=(const IDirectInputDevice&) = delete;

  ULONG AddRef();
  // Returns the remaining count; the device is gone at 0.
  ULONG Release();
  HRESULT SetDataFormat(const DIDATAFORMAT* format);
  // One of DISCL_EXCLUSIVE and DISCL_NONEXCLUSIVE with one of DISCL_FOREGROUND and
  // DISCL_BACKGROUND, for an existing window. A foreground device loses its acquisition as soon
  // as its window stops being the active window.
  HRESULT SetCooperativeLevel(HWND window, DWORD flags);
  // DIPROP_BUFFERSIZE with a DIPROPDWORD for the whole device: the number of events kept.
  HRESULT SetProperty(REFGUID property, const DIPROPHEADER* header);
  // Needs the data format; a foreground device also needs its window active. Empties the buffer.
  HRESULT Acquire();
  HRESULT Unacquire();
  // Takes up to *count buffered events, oldest first, into `data` (objectDataSize is the size of
  // DIDEVICEOBJECTDATA) and sets *count to the number taken. DIERR_INPUTLOST while the device has
  // lost its acquisition (until Acquire succeeds), DIERR_NOTACQUIRED when it is not acquired.
  HRESULT GetDeviceData(DWORD objectDataSize, DIDEVICEOBJECTDATA* data, DWORD* count, DWORD flags);

 private:
  friend class IDirectInput;
  IDirectInputDevice();
  ~IDirectInputDevice();
  // Turns an acquisition that the window's deactivation has ended into a lost one. Caller holds
  // the keyboards' lock.
  void NoticeLostForeground();
  friend void platform::DeliverKeyToKeyboards(int scanCode, bool pressed, DWORD time);

  ULONG references_ = 1;
  bool formatSet_ = false;
  HWND window_ = nullptr;
  DWORD cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
  DWORD bufferSize_ = 0;
  bool acquired_ = false;
  bool lost_ = false;
  DWORD activeChangesAtAcquire_ = 0;
  bool overflowed_ = false;
  std::deque<DIDEVICEOBJECTDATA> buffer_;
};
