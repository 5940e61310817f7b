// The display modes a full view can use, listed once per world start from the DirectDraw object,
// and the choice of one of them from the host's screen size and view flags.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/ddraw/direct_draw_types.h"

class IDirectDraw;
struct HostRecord;

struct DisplayMode {
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t bitsPerPixel;
};

inline constexpr std::size_t kDisplayModeLimit = 20;

struct DisplayModeList {
  DisplayMode entries[kDisplayModeLimit];
  std::uint32_t count;
};

// The modes of this world start.
extern DisplayModeList gDisplayModeList;

// Enumeration callback over a DisplayModeList: keeps 8-bit modes at most 640 wide and 480 or 240
// high while the list has room. Always asks for the next mode.
HRESULT EnumDisplayModeCallback(DDSURFACEDESC* desc, LPVOID context);
// Empties the list and fills it from the DirectDraw object's modes.
void FillDisplayModeList(DisplayModeList& list, IDirectDraw* directDraw);

// The index of the mode for the host's view flags and screen size, writing back the size (and,
// when no 640 x 480 mode exists, the cleared cockpit bit) that the choice implies. An empty list
// keeps 640 x 480 and the view flags: the 3D view is always drawn at 640 x 480.
std::int32_t ChooseDisplayMode(const DisplayModeList& list, HostRecord& host);
// The width and height of a full view in the chosen mode; 640 x 480 when the list has no such
// entry.
DisplayMode FullViewMode(const DisplayModeList& list, std::int32_t index);
