// Direct3D's records, flags and identifiers, as far as the render device's Direct3D block uses
// them. Results are DirectDraw's codes (DD_OK, DDERR_*, E_NOINTERFACE).
#pragma once

#include "platform/com/guid.h"
#include "platform/ddraw/direct_draw_types.h"

using D3DVALUE = float;
using D3DCOLORMODEL = DWORD;
using D3DMATERIALHANDLE = DWORD;
using D3DTEXTUREHANDLE = DWORD;

// Colour models: the ramp model shades through palette ramps, the RGB model in full colour.
inline constexpr D3DCOLORMODEL D3DCOLOR_RAMP = 1;
inline constexpr D3DCOLORMODEL D3DCOLOR_RGB = 2;

// The conditions of a device search that are set.
inline constexpr DWORD D3DFDS_COLORMODEL = 0x01;
inline constexpr DWORD D3DFDS_HARDWARE = 0x02;
// A device description's fields that are filled; a description without flags describes no
// device.
inline constexpr DWORD D3DDD_COLORMODEL = 0x01;
// An execute buffer description's dwBufferSize is filled.
inline constexpr DWORD D3DDEB_BUFSIZE = 0x01;

struct D3DDEVICEDESC {
  DWORD dwFlags;
  D3DCOLORMODEL dcmColorModel;
};

// dwSize must be sizeof(D3DFINDDEVICESEARCH); dwFlags says which conditions are set.
struct D3DFINDDEVICESEARCH {
  DWORD dwSize;
  DWORD dwFlags;
  BOOL bHardware;
  D3DCOLORMODEL dcmColorModel;
};

// dwSize must be sizeof(D3DFINDDEVICERESULT). The device's identifier (which its render target
// is asked for) and its hardware and software descriptions; one of them has no flags.
struct D3DFINDDEVICERESULT {
  DWORD dwSize;
  GUID guid;
  D3DDEVICEDESC ddHwDesc;
  D3DDEVICEDESC ddSwDesc;
};

// dwSize must be sizeof(D3DVIEWPORT).
struct D3DVIEWPORT {
  DWORD dwSize;
  DWORD dwX;
  DWORD dwY;
  DWORD dwWidth;
  DWORD dwHeight;
  D3DVALUE dvScaleX;
  D3DVALUE dvScaleY;
  D3DVALUE dvMaxX;
  D3DVALUE dvMaxY;
  D3DVALUE dvMinZ;
  D3DVALUE dvMaxZ;
};

// dwSize must be sizeof(D3DEXECUTEBUFFERDESC).
struct D3DEXECUTEBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwCaps;
  DWORD dwBufferSize;
};

struct D3DCOLORVALUE {
  D3DVALUE r;
  D3DVALUE g;
  D3DVALUE b;
  D3DVALUE a;
};

// dwSize must be sizeof(D3DMATERIAL).
struct D3DMATERIAL {
  DWORD dwSize;
  D3DCOLORVALUE diffuse;
  DWORD dwRampSize;
};

// Interface identifiers (our own values): Direct3D from a DirectDraw object, a texture from a
// texture surface, and the two devices a render target gives.
inline constexpr GUID IID_IDirect3D{0x41524E01, 0x0001, 0x0000, {0, 0, 0, 0, 0, 0, 0, 1}};
inline constexpr GUID IID_IDirect3DTexture{0x41524E01, 0x0002, 0x0000, {0, 0, 0, 0, 0, 0, 0, 2}};
inline constexpr GUID IID_IDirect3DRampDevice{0x41524E01, 0x0003, 0x0000, {0, 0, 0, 0, 0, 0, 0, 3}};
inline constexpr GUID IID_IDirect3DRGBDevice{0x41524E01, 0x0004, 0x0000, {0, 0, 0, 0, 0, 0, 0, 4}};
