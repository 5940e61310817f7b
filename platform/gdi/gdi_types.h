// Handle, colour and bitmap-header types of the drawing services.
#pragma once

#include "platform/kernel/types.h"

// Device contexts and drawing objects are ids in the kernel handle table: a deleted one finds
// no object, and the call fails instead of reaching freed memory.
using HDC = HANDLE;
using HGDIOBJ = HANDLE;
using HBITMAP = HANDLE;
using HFONT = HANDLE;

// 0x00BBGGRR.
using COLORREF = DWORD;
inline constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
  return COLORREF{red} | COLORREF{green} << 8 | COLORREF{blue} << 16;
}

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  // Positive: rows bottom-up; negative: top-down.
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// A text's extent in pixels.
struct SIZE {
  LONG cx;
  LONG cy;
};

inline constexpr int LF_FACESIZE = 32;

// A font's description for CreateFontIndirectA.
struct LOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;
// Text alignment: the reference point is the text's left, centre or right, always at its top.
inline constexpr UINT TA_TOP = 0;
inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
