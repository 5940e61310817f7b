#include "battle/main/display_modes.h"

#include "host/interface/host_record.h"
#include "platform/ddraw/direct_draw.h"

DisplayModeList gDisplayModeList{};

namespace {

constexpr DisplayMode kScreenMode{640, 480, 8};

bool Usable(const DDSURFACEDESC& desc) {
  return desc.ddpfPixelFormat.dwRGBBitCount == 8 && desc.dwWidth <= 640 &&
         (desc.dwHeight == 480 || desc.dwHeight == 240);
}

std::int32_t FindMode(const DisplayModeList& list, std::uint32_t width, std::uint32_t height) {
  for (std::uint32_t i = 0; i < list.count; ++i) {
    if (list.entries[i].width == width && list.entries[i].height == height) {
      return static_cast<std::int32_t>(i);
    }
  }
  return -1;
}

void TakeFirstMode(const DisplayModeList& list, HostRecord& host) {
  host.screenWidth = static_cast<std::int32_t>(list.entries[0].width);
  host.screenHeight = static_cast<std::int32_t>(list.entries[0].height);
}

}  // namespace

HRESULT EnumDisplayModeCallback(DDSURFACEDESC* desc, LPVOID context) {
  auto& list = *static_cast<DisplayModeList*>(context);
  if (list.count < kDisplayModeLimit && Usable(*desc)) {
    list.entries[list.count++] = {desc->dwWidth, desc->dwHeight,
                                  desc->ddpfPixelFormat.dwRGBBitCount};
  }
  return DDENUMRET_OK;
}

void FillDisplayModeList(DisplayModeList& list, IDirectDraw* directDraw) {
  list.count = 0;
  if (directDraw != nullptr) {
    directDraw->EnumDisplayModes(0, nullptr, &list, EnumDisplayModeCallback);
  }
}

std::int32_t ChooseDisplayMode(const DisplayModeList& list, HostRecord& host) {
  if (list.count == 0) {
    host.screenWidth = static_cast<std::int32_t>(kScreenMode.width);
    host.screenHeight = static_cast<std::int32_t>(kScreenMode.height);
    return 0;
  }
  if ((host.viewFlags & kViewFlagCockpit) != 0) {
    host.screenWidth = static_cast<std::int32_t>(kScreenMode.width);
    host.screenHeight = static_cast<std::int32_t>(kScreenMode.height);
    const std::int32_t index = FindMode(list, kScreenMode.width, kScreenMode.height);
    if (index >= 0) {
      return index;
    }
    // The cockpit needs a 640 x 480 screen.
    host.viewFlags &= ~kViewFlagCockpit;
    TakeFirstMode(list, host);
    return 0;
  }
  const std::int32_t index = FindMode(list, static_cast<std::uint32_t>(host.screenWidth),
                                      static_cast<std::uint32_t>(host.screenHeight));
  if (index >= 0) {
    return index;
  }
  TakeFirstMode(list, host);
  return 0;
}

DisplayMode FullViewMode(const DisplayModeList& list, std::int32_t index) {
  if (index < 0 || static_cast<std::uint32_t>(index) >= list.count) {
    return kScreenMode;
  }
  return list.entries[index];
}
