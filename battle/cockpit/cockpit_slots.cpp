#include "battle/cockpit/cockpit_slots.h"

namespace {

constexpr SlotCoordinate At(int offset) { return {Anchor::kStart, offset}; }
constexpr SlotCoordinate Half(int offset) { return {Anchor::kHalf, offset}; }
constexpr SlotCoordinate End(int offset) { return {Anchor::kEnd, offset}; }

constexpr SlotSpec kNone{SlotKind::kAbsent, nullptr, 0, 0, At(0), At(0), -1};

constexpr SlotSpec Named(const char* bitmap, int width, int height, SlotCoordinate x,
                         SlotCoordinate y, int key) {
  return {SlotKind::kPlaced, bitmap, width, height, x, y, key};
}
constexpr SlotSpec Blank(int width, int height, SlotCoordinate x, SlotCoordinate y, int key) {
  return {SlotKind::kPlaced, nullptr, width, height, x, y, key};
}
constexpr SlotSpec Source(const char* bitmap, int width, int height) {
  return {SlotKind::kSource, bitmap, width, height, At(0), At(0), -1};
}

using LayoutSlots = std::array<SlotSpec, kCockpitSlotCount>;

constexpr LayoutSlots kPictureSlots = {{
    Named("Cockpit.bmp", 640, 216, At(0), At(264), -1),
    Source("Radar.bmp", 104, 104),
    Blank(104, 104, At(528), At(8), 0),
    Named("Crosshrs.bmp", 32, 32, At(304), At(116), 0),
    Blank(20, 12, At(314), At(295), -1),
    Blank(20, 12, At(314), At(411), -1),
    Blank(30, 12, At(536), At(299), -1),
    Blank(30, 12, At(536), At(322), -1),
    Blank(36, 12, At(536), At(345), -1),
    Blank(490, 14, At(48), At(461), -1),
    Blank(40, 14, At(540), At(461), -1),
    Blank(242, 104, At(34), At(303), -1),
    Blank(136, 136, At(372), At(307), -1),
    Source("MapGrid.bmp", 136, 136),
    Named("Compass.bmp", 104, 21, At(268), At(4), 0),
    Named("Comp_Ptr.bmp", 8, 4, At(316), At(0), 0),
    Named("GreenBar.bmp", 47, 11, At(98), At(432), -1),
    Source("Feed.bmp", 47, 11),
    Blank(47, 11, At(195), At(432), -1),
    Source("Throttle.bmp", 20, 128),
    Blank(20, 128, At(609), At(314), 0),
    Named("Pitch.bmp", 8, 109, At(1), At(318), -1),
    Blank(68, 91, At(289), At(308), -1),
    Named("FShields.bmp", 66, 33, At(1), At(13), 0),
    Named("RShields.bmp", 66, 33, At(1), At(46), 0),
    Named("Armor.bmp", 30, 45, At(18), At(23), -1),
    Named("Turrets.bmp", 56, 50, At(5), At(23), 0),
    Blank(70, 72, At(520), At(373), -1),
    Named("f_t_shld.bmp", 5, 24, At(3), At(16), -1),
    Named("r_t_shld.bmp", 5, 24, At(63), At(16), -1),
    Named("sm_tank.bmp", 48, 24, At(11), At(16), -1),
    {SlotKind::kBlankCopy, "messbox.bmp", 300, 160, At(170), At(160), -1},
    Named("R_Lites.bmp", 12, 12, At(620), At(8), -1),
    kNone,
    kNone,
    kNone,
    Named("rocketh.bmp", 24, 64, At(592), At(132), -1),
}};

constexpr LayoutSlots kBoxesSlots = {{
    kNone,
    Source("Radar.bmp", 104, 104),
    Blank(104, 104, End(-112), At(8), 0),
    Named("Crosshrs.bmp", 32, 32, Half(-16), Half(-16), 0),
    Blank(70, 12, At(288), At(435), 0),
    Blank(70, 12, At(288), At(448), 0),
    Blank(70, 12, At(4), At(4), 0),
    Blank(70, 12, At(4), At(17), 0),
    Blank(76, 12, At(4), At(30), 0),
    Blank(490, 14, At(48), At(461), 0),
    Blank(40, 14, At(540), At(461), 0),
    Blank(242, 104, At(2), At(324), 0),
    Blank(136, 136, At(372), At(324), 0),
    Source("MapGrid.bmp", 136, 136),
    Named("Compass.bmp", 104, 21, Half(-52), At(4), 0),
    Named("Comp_Ptr.bmp", 8, 4, Half(-4), At(0), 0),
    Named("GreenBar.bmp", 47, 11, At(98), At(432), 0),
    Source("Feed.bmp", 47, 11),
    Blank(47, 11, At(195), At(432), 0),
    Source("FullThrt.bmp", 20, 128),
    Blank(20, 128, At(609), At(324), 0),
    kNone,
    Blank(68, 91, At(289), At(344), 0),
    Named("FShields.bmp", 66, 33, At(1), At(13), 0),
    Named("RShields.bmp", 66, 33, At(1), At(46), 0),
    Named("Armor.bmp", 30, 45, At(18), At(23), -1),
    Named("Turrets.bmp", 56, 50, At(5), At(23), 0),
    Blank(70, 72, At(520), At(373), 0),
    Named("f_t_shld.bmp", 5, 24, At(3), At(16), -1),
    Named("r_t_shld.bmp", 5, 24, At(63), At(16), -1),
    Named("sm_tank.bmp", 48, 24, At(11), At(16), -1),
    {SlotKind::kBlankCopy, "messbox.bmp", 300, 160, Half(-150), Half(-80), 1},
    Named("R_Lites.bmp", 12, 12, At(620), At(8), -1),
    kNone,
    Named("powerbox.bmp", 111, 15, At(36), At(430), 0),
    Named("feedbox.bmp", 86, 15, At(158), At(430), 0),
    Named("rocketh.bmp", 24, 64, End(-48), Half(0), -1),
}};

constexpr LayoutSlots kSmallSlots = {{
    kNone,
    Source("Radarl.bmp", 64, 64),
    Blank(64, 64, End(-72), At(8), 0),
    Named("Crosshrsl.bmp", 16, 16, Half(-8), Half(-8), 0),
    Blank(29, 10, At(282), At(150), 0),
    Blank(29, 10, At(282), At(160), 0),
    Blank(29, 10, At(282), At(210), 0),
    Blank(29, 10, At(282), At(220), 0),
    Blank(29, 10, At(282), At(230), 0),
    Blank(200, 14, At(0), At(226), 0),
    Blank(20, 14, At(184), At(226), 0),
    Blank(200, 70, At(0), At(162), 0),
    Blank(84, 100, At(204), At(140), 0),
    Source("MapGridl.bmp", 68, 68),
    Named("Compassl.bmp", 52, 12, Half(-26), At(4), 0),
    Named("Comp_Ptr.bmp", 8, 4, Half(-4), At(0), 0),
    Blank(29, 10, At(282), At(190), 0),
    kNone,
    Blank(29, 10, At(282), At(200), 0),
    kNone,
    Blank(20, 128, At(8), At(98), 0),
    Named("Pitch.bmp", 8, 109, At(0), At(117), 0),
    kNone,
    Blank(29, 10, At(282), At(170), 0),
    Blank(29, 10, At(282), At(180), 0),
    kNone,
    kNone,
    Blank(70, 16, At(0), At(0), 0),
    kNone,
    kNone,
    kNone,
    {SlotKind::kBlankCopy, "messbox.bmp", 300, 160, Half(-150), Half(-80), 1},
    Named("R_Lites.bmp", 12, 12, At(304), At(4), -1),
    kNone,
    kNone,
    kNone,
    Named("rocketh.bmp", 16, 40, End(-32), Half(0), -1),
}};

}  // namespace

CockpitLayout ChooseCockpitLayout(int screenWidth, std::uint32_t viewFlags) {
  if (screenWidth <= 320) {
    return CockpitLayout::kSmall;
  }
  return (viewFlags & 1) != 0 ? CockpitLayout::kCockpitPicture : CockpitLayout::kSeparateBoxes;
}

const SlotSpec& CockpitSlot(CockpitLayout layout, int slot) {
  switch (layout) {
    case CockpitLayout::kCockpitPicture:
      return kPictureSlots[static_cast<std::size_t>(slot)];
    case CockpitLayout::kSeparateBoxes:
      return kBoxesSlots[static_cast<std::size_t>(slot)];
    case CockpitLayout::kSmall:
      break;
  }
  return kSmallSlots[static_cast<std::size_t>(slot)];
}

RECT CockpitSlotRectangle(CockpitLayout layout, int slot, int screenWidth, int screenHeight) {
  const SlotSpec& spec = CockpitSlot(layout, slot);
  const int left = spec.x.Resolve(screenWidth);
  const int top = spec.y.Resolve(screenHeight);
  return {left, top, left + spec.width, top + spec.height};
}
