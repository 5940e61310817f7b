// The display-mode list's filter and the choice of a mode from the host's screen settings.
#include "battle/main/display_modes.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "host/interface/host_record.h"
#include "platform/ddraw.h"

namespace {

DDSURFACEDESC Mode(DWORD width, DWORD height, DWORD bits) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwRGBBitCount = bits;
  return desc;
}

DisplayModeList ListOf(std::initializer_list<DisplayMode> modes) {
  DisplayModeList list{};
  for (const DisplayMode& mode : modes) {
    list.entries[list.count++] = mode;
  }
  return list;
}

TEST(DisplayModeFilterTest, KeepsOnlyNarrowEightBitModesOfFullOrHalfHeight) {
  struct Case {
    DWORD width;
    DWORD height;
    DWORD bits;
    bool kept;
  };
  const Case cases[] = {
      {640, 480, 8, true},   {320, 240, 8, true},  {320, 480, 8, true},   {640, 240, 8, true},
      {640, 480, 16, false}, {800, 600, 8, false}, {641, 480, 8, false},  {640, 400, 8, false},
      {320, 200, 8, false},  {512, 384, 8, false}, {640, 480, 32, false},
  };
  for (const Case& c : cases) {
    DisplayModeList list{};
    DDSURFACEDESC desc = Mode(c.width, c.height, c.bits);
    EXPECT_EQ(EnumDisplayModeCallback(&desc, &list), DDENUMRET_OK);
    ASSERT_EQ(list.count, c.kept ? 1u : 0u) << c.width << "x" << c.height << "x" << c.bits;
    if (c.kept) {
      EXPECT_EQ(list.entries[0].width, c.width);
      EXPECT_EQ(list.entries[0].height, c.height);
      EXPECT_EQ(list.entries[0].bitsPerPixel, 8u);
    }
  }
}

TEST(DisplayModeFilterTest, TheTwentyFirstMatchingModeIsIgnoredAndEnumerationGoesOn) {
  DisplayModeList list{};
  for (DWORD i = 0; i < 21; ++i) {
    DDSURFACEDESC desc = Mode(100 + i, 480, 8);
    EXPECT_EQ(EnumDisplayModeCallback(&desc, &list), DDENUMRET_OK);
  }
  ASSERT_EQ(list.count, 20u);
  EXPECT_EQ(list.entries[19].width, 119u);
}

TEST(DisplayModeFilterTest, FillingFromTheDirectDrawObjectReplacesTheList) {
  IDirectDraw* directDraw = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &directDraw, nullptr), DD_OK);
  DisplayModeList list = ListOf({{1, 2, 8}, {3, 4, 8}, {5, 6, 8}});
  FillDisplayModeList(list, directDraw);
  directDraw->Release();
  // The substitute's modes that pass the filter, in its order.
  ASSERT_EQ(list.count, 2u);
  EXPECT_EQ(list.entries[0].width, 320u);
  EXPECT_EQ(list.entries[0].height, 240u);
  EXPECT_EQ(list.entries[1].width, 640u);
  EXPECT_EQ(list.entries[1].height, 480u);
}

TEST(DisplayModeChoiceTest, TableOfListsAndHostSettings) {
  const DisplayModeList both = ListOf({{320, 240, 8}, {640, 480, 8}});
  const DisplayModeList small = ListOf({{320, 240, 8}, {320, 480, 8}});
  const DisplayModeList empty{};
  struct Case {
    const char* what;
    const DisplayModeList* list;
    std::uint32_t flags;
    std::int32_t width;
    std::int32_t height;
    std::int32_t index;
    std::uint32_t flagsAfter;
    std::int32_t widthAfter;
    std::int32_t heightAfter;
  };
  const Case cases[] = {
      {"cockpit takes 640x480", &both, 1, 320, 240, 1, 1, 640, 480},
      {"cockpit without 640x480 takes the first mode", &small, 1, 640, 480, 0, 0, 320, 240},
      {"full view finds its mode", &both, 0, 320, 240, 0, 0, 320, 240},
      {"full view finds the second mode", &small, 0, 320, 480, 1, 0, 320, 480},
      {"full view of an unlisted size takes the first", &both, 0, 800, 600, 0, 0, 320, 240},
      {"empty list keeps the cockpit at 640x480", &empty, 1, 640, 480, 0, 1, 640, 480},
      {"empty list makes a full view 640x480", &empty, 0, 320, 240, 0, 0, 640, 480},
      {"other view flag bits stay", &small, 3, 640, 480, 0, 2, 320, 240},
  };
  for (const Case& c : cases) {
    HostRecord host;
    host.viewFlags = c.flags;
    host.screenWidth = c.width;
    host.screenHeight = c.height;
    EXPECT_EQ(ChooseDisplayMode(*c.list, host), c.index) << c.what;
    EXPECT_EQ(host.viewFlags, c.flagsAfter) << c.what;
    EXPECT_EQ(host.screenWidth, c.widthAfter) << c.what;
    EXPECT_EQ(host.screenHeight, c.heightAfter) << c.what;
  }
}

TEST(DisplayModeChoiceTest, AFullViewOutsideTheListIsTheScreenSize) {
  const DisplayModeList list = ListOf({{320, 240, 8}});
  EXPECT_EQ(FullViewMode(list, 0).width, 320u);
  for (const std::int32_t index : {-1, 1, 20}) {
    const DisplayMode mode = FullViewMode(list, index);
    EXPECT_EQ(mode.width, 640u) << index;
    EXPECT_EQ(mode.height, 480u) << index;
  }
}

}  // namespace
