// DirectInput's result codes, cooperative levels, property records and data records.
#pragma once

#include "platform/com/guid.h"
#include "platform/kernel/types.h"

inline constexpr DWORD DIRECTINPUT_VERSION = 0x0300;

inline constexpr HRESULT DI_OK = 0;
// A success: data were read, but key events were lost since the last read because the buffer
// was full (the newest events are the ones dropped).
inline constexpr HRESULT DI_BUFFEROVERFLOW = 1;
inline constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x887A0001u);
inline constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x887A0002u);
// The device lost its acquisition (its window lost the foreground); acquire it again.
inline constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x887A0003u);
inline constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x887A0004u);
inline constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x887A0005u);
inline constexpr HRESULT DIERR_NOTBUFFERED = static_cast<HRESULT>(0x887A0006u);
// A foreground device cannot be acquired while its window is not the active window.
inline constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x887A0007u);

inline constexpr DWORD DISCL_EXCLUSIVE = 0x1;
inline constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
inline constexpr DWORD DISCL_FOREGROUND = 0x4;
inline constexpr DWORD DISCL_BACKGROUND = 0x8;

inline constexpr GUID GUID_SysKeyboard{0x5a1e0001, 0x0d17, 0x4b00, {0x8e, 0, 0, 0, 0, 0, 0, 1}};
inline constexpr GUID DIPROP_BUFFERSIZE{0x5a1e0101, 0x0d17, 0x4b00, {0x8e, 0, 0, 0, 0, 0, 1, 1}};

inline constexpr DWORD DIPH_DEVICE = 0;

struct DIPROPHEADER {
  DWORD dwSize;
  DWORD dwHeaderSize;
  DWORD dwObj;
  DWORD dwHow;
};

struct DIPROPDWORD {
  DIPROPHEADER diph;
  DWORD dwData;
};

// Callers pass these sizes as numbers, as the original platform's records have them.
static_assert(sizeof(DIPROPHEADER) == 16 && sizeof(DIPROPDWORD) == 20);

// A device's data format; the keyboard takes only c_dfDIKeyboard (one byte per scan code).
struct DIDATAFORMAT {
  DWORD dwSize;
  DWORD dwDataSize;
};

extern const DIDATAFORMAT c_dfDIKeyboard;

// One buffered event: dwOfs the scan code, dwData 0x80 for a press and 0 for a release,
// dwTimeStamp the timeGetTime of the event, dwSequence increasing over all devices.
struct DIDEVICEOBJECTDATA {
  DWORD dwOfs;
  DWORD dwData;
  DWORD dwTimeStamp;
  DWORD dwSequence;
};
static_assert(sizeof(DIDEVICEOBJECTDATA) == 16, "the keyboard reader passes 16 per record");
