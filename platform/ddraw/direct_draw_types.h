// DirectDraw's result codes, cooperative levels and surface descriptions.
#pragma once

#include "platform/com/guid.h"
#include "platform/kernel/types.h"

inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x88760001u);
inline constexpr HRESULT DDERR_INVALIDCAPS = static_cast<HRESULT>(0x88760002u);
inline constexpr HRESULT DDERR_INVALIDMODE = static_cast<HRESULT>(0x88760003u);
inline constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = static_cast<HRESULT>(0x88760004u);
inline constexpr HRESULT DDERR_NOTFOUND = static_cast<HRESULT>(0x88760005u);
inline constexpr HRESULT DDERR_SURFACEBUSY = static_cast<HRESULT>(0x88760006u);
inline constexpr HRESULT DDERR_NOTLOCKED = static_cast<HRESULT>(0x88760007u);
inline constexpr HRESULT DDERR_INVALIDRECT = static_cast<HRESULT>(0x88760008u);
inline constexpr HRESULT DDERR_NOTFLIPPABLE = static_cast<HRESULT>(0x88760009u);
inline constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = static_cast<HRESULT>(0x8876000Au);
inline constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8876000Bu);
inline constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876000Cu);
inline constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x8876000Du);
inline constexpr HRESULT DDERR_NOCOLORKEY = static_cast<HRESULT>(0x8876000Eu);
inline constexpr HRESULT DDERR_INVALIDPIXELFORMAT = static_cast<HRESULT>(0x8876000Fu);
inline constexpr HRESULT DDERR_NOPALETTEATTACHED = static_cast<HRESULT>(0x88760010u);
inline constexpr HRESULT DDERR_NOHWND = static_cast<HRESULT>(0x88760011u);
// Asked for an interface that the object does not have.
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

inline constexpr DWORD DDSCL_FULLSCREEN = 0x01;
inline constexpr DWORD DDSCL_ALLOWREBOOT = 0x02;
inline constexpr DWORD DDSCL_NOWINDOWCHANGES = 0x04;
inline constexpr DWORD DDSCL_NORMAL = 0x08;
inline constexpr DWORD DDSCL_EXCLUSIVE = 0x10;
inline constexpr DWORD DDSCL_ALLOWMODEX = 0x40;

inline constexpr DWORD DDSD_CAPS = 0x0001;
inline constexpr DWORD DDSD_HEIGHT = 0x0002;
inline constexpr DWORD DDSD_WIDTH = 0x0004;
inline constexpr DWORD DDSD_PITCH = 0x0008;
inline constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x0020;
inline constexpr DWORD DDSD_LPSURFACE = 0x0800;
inline constexpr DWORD DDSD_PIXELFORMAT = 0x1000;

inline constexpr DWORD DDSCAPS_BACKBUFFER = 0x0004;
inline constexpr DWORD DDSCAPS_COMPLEX = 0x0008;
inline constexpr DWORD DDSCAPS_FLIP = 0x0010;
inline constexpr DWORD DDSCAPS_FRONTBUFFER = 0x0020;
inline constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x0040;
inline constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x0200;
inline constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x0800;
inline constexpr DWORD DDSCAPS_TEXTURE = 0x1000;
inline constexpr DWORD DDSCAPS_3DDEVICE = 0x2000;
inline constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;

// Palettes: 8-bit entries, all 256 of them the caller's.
inline constexpr DWORD DDPCAPS_8BIT = 0x04;
inline constexpr DWORD DDPCAPS_ALLOW256 = 0x40;

// Colour keys: the source key of blits from the surface.
inline constexpr DWORD DDCKEY_SRCBLT = 0x08;

inline constexpr DWORD DDBLT_COLORFILL = 0x00000400;
inline constexpr DWORD DDBLT_WAIT = 0x01000000;
inline constexpr DWORD DDBLTFAST_SRCCOLORKEY = 0x01;
inline constexpr DWORD DDBLTFAST_WAIT = 0x10;
inline constexpr DWORD DDFLIP_WAIT = 0x01;
inline constexpr DWORD DDLOCK_WAIT = 0x01;
inline constexpr DWORD DDLOCK_WRITEONLY = 0x20;

// Hardware capability: 3D acceleration (never set here).
inline constexpr DWORD DDCAPS_3D = 0x01;

inline constexpr HRESULT DDENUMRET_CANCEL = 0;
inline constexpr HRESULT DDENUMRET_OK = 1;

inline constexpr DWORD DDPF_PALETTEINDEXED8 = 0x0020;
inline constexpr DWORD DDPF_RGB = 0x0040;

struct DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
};

// dwSize must be sizeof(DDBLTFX); dwFillColor is the pixel value of DDBLT_COLORFILL.
struct DDBLTFX {
  DWORD dwSize;
  DWORD dwDDFX;
  DWORD dwFillColor;
};

// dwSize must be sizeof(DDCAPS).
struct DDCAPS {
  DWORD dwSize;
  DWORD dwCaps;
};

struct DDSCAPS {
  DWORD dwCaps;
};

struct DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwRGBBitCount;
  DWORD dwRBitMask;
  DWORD dwGBitMask;
  DWORD dwBBitMask;
};

// dwSize must be sizeof(DDSURFACEDESC); dwFlags says which fields the caller filled (or which
// were filled for it).
struct DDSURFACEDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  LONG lPitch;
  DWORD dwBackBufferCount;
  LPVOID lpSurface;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS ddsCaps;
};

// Display modes are reported one at a time (dwWidth, dwHeight and the pixel format's bit count);
// DDENUMRET_OK asks for the next.
using LPDDENUMMODESCALLBACK = HRESULT (*)(DDSURFACEDESC* desc, LPVOID context);
// Display drivers are reported one at a time, the primary one with a null GUID; TRUE asks for the
// next.
using LPDDENUMCALLBACKA = BOOL (*)(GUID* driver, LPSTR description, LPSTR name, LPVOID context);
