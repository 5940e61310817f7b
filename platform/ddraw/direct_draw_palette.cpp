#include "platform/ddraw/direct_draw_palette.h"

#include <algorithm>

IDirectDrawPalette::IDirectDrawPalette(const PALETTEENTRY* entries) {
  std::copy(entries, entries + entries_.size(), entries_.begin());
}

ULONG IDirectDrawPalette::AddRef() { return ++references_; }

ULONG IDirectDrawPalette::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) {
    delete this;
  }
  return remaining;
}

HRESULT IDirectDrawPalette::SetEntries(DWORD /*flags*/, DWORD start, DWORD count,
                                       const PALETTEENTRY* entries) {
  if (entries == nullptr || start > entries_.size() || count > entries_.size() - start) {
    return DDERR_INVALIDPARAMS;
  }
  std::copy(entries, entries + count, entries_.begin() + start);
  return DD_OK;
}

HRESULT IDirectDrawPalette::GetEntries(DWORD /*flags*/, DWORD start, DWORD count,
                                       PALETTEENTRY* entries) const {
  if (entries == nullptr || start > entries_.size() || count > entries_.size() - start) {
    return DDERR_INVALIDPARAMS;
  }
  std::copy(entries_.begin() + start, entries_.begin() + start + count, entries);
  return DD_OK;
}
