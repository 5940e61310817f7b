// Text output into a DC's bitmap in the DC's font (DejaVu Sans, 16-pixel cells), one colour
// without anti-aliasing, so every pixel drawn has exactly the text colour.
#pragma once

#include "platform/gdi/gdi_types.h"
#include "platform/window/rect.h"

// Draws count characters in the DC's font with the cells' top at y and their left, centre or
// right (the DC's text alignment) at x; ETO_CLIPPED keeps the glyphs inside the rectangle, and
// the bitmap's bounds always do. ETO_OPAQUE fills the rectangle with the background colour first;
// an opaque background mode fills the text's cells with it. FALSE for a handle that is no DC, other
// options (ERROR_INVALID_PARAMETER) or a font file that cannot be read (ERROR_FILE_NOT_FOUND;
// nothing drawn).
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rectangle, LPCSTR text, UINT count,
                 const int* spacing);
// ExtTextOutA without options.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count);
// The width and height in pixels of the first count characters in the DC's font. FALSE for a
// handle that is no DC, a negative count or a font file that cannot be read.
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size);
