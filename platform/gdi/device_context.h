// Memory device contexts, the DIB sections they draw into and their text state.
#pragma once

#include "platform/gdi/gdi_types.h"

// A memory DC that holds a 1 x 1 stock bitmap until a DIB section is selected into it.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);

// A bottom-up (positive height) or top-down 16-bit BI_RGB section of RGB 555 pixels, rows
// padded to 4 bytes, all 0 at first; *bits receives them. Null with ERROR_INVALID_PARAMETER for
// any other format or a file-mapping section.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// Selects a bitmap into a memory DC and returns the one it replaces; null for anything else.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// FALSE while the bitmap is selected into a DC, and for the stock bitmap.
BOOL DeleteObject(HGDIOBJ object);

// Each returns the previous value, or CLR_INVALID / 0 for a handle that is no DC.
COLORREF SetTextColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
