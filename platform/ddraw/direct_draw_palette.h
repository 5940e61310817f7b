// A DirectDraw palette: 256 entries that an 8-bit surface's pixels index when it is shown.
#pragma once

#include <array>
#include <atomic>

#include "platform/ddraw/direct_draw_types.h"
#include "platform/gdi/palette_entry.h"

class IDirectDrawPalette {
 public:
  IDirectDrawPalette(const IDirectDrawPalette&) = delete;
  IDirectDrawPalette& operator=(const IDirectDrawPalette&) = delete;

  ULONG AddRef();
  ULONG Release();
  // Entries start .. start + count - 1 from `entries`; flags are not used. DDERR_INVALIDPARAMS
  // past the 256th entry.
  HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, const PALETTEENTRY* entries);
  HRESULT GetEntries(DWORD flags, DWORD start, DWORD count, PALETTEENTRY* entries) const;

 private:
  friend class IDirectDraw;
  explicit IDirectDrawPalette(const PALETTEENTRY* entries);
  ~IDirectDrawPalette() = default;

  std::atomic<ULONG> references_{1};
  std::array<PALETTEENTRY, 256> entries_{};
};
