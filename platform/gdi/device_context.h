// Memory device contexts, the DIB sections they draw into and their text state.
#pragma once

#include "platform/gdi/gdi_types.h"

// A memory DC that holds a 1 x 1 stock bitmap until a DIB section is selected into it.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);

// A bottom-up (positive height) or top-down 16-bit BI_RGB section of RGB 555 pixels, rows
// padded to 4 bytes, all 0 at first; *bits receives them. The engine's 16-bit images,
// r3xFill16 and r3xBlit16Transparent step width x 2 bytes a row, so the screen panels make their
// sections of even width (an odd-width panel shows the left part of its section): then a row is
// exactly its padded length and GDI and the engine agree on every row. Null with
// ERROR_INVALID_PARAMETER for any other format or a file-mapping section.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// A font of the given cell height (the default 16 for 0 or less; a negative height counts as its
// size); the other parameters and the face name are accepted and not used, since every text is
// drawn in the DCs' one face.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outputPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face);
// CreateFontA with the description's fields.
HFONT CreateFontIndirectA(const LOGFONTA* font);
// Selects a bitmap or a font into a memory DC and returns the one it replaces (for a font, the
// stock font at first); null for anything else.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// FALSE while the bitmap is selected into a DC, and for the stock bitmap and font. A font deleted
// while selected keeps drawing at its height until another is selected.
BOOL DeleteObject(HGDIOBJ object);

// Each returns the previous value, or CLR_INVALID / 0 for a handle that is no DC.
COLORREF SetTextColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF colour);
// TA_LEFT, TA_CENTER or TA_RIGHT with TA_TOP; GDI_ERROR for a handle that is no DC.
UINT SetTextAlign(HDC dc, UINT align);
inline constexpr UINT GDI_ERROR = 0xFFFFFFFFu;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
