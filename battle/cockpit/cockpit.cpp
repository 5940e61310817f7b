#include "battle/cockpit/cockpit.h"

#include <algorithm>
#include <cmath>

#include "battle/arena/arena_view.h"
#include "battle/cockpit/cockpit_gauges.h"
#include "engine/r3x_core.h"
#include "engine/r3x_display.h"

namespace {

constexpr CockpitDraw kPictureOrder[] = {{0, 1},  {22, 1}, {9, 1},  {10, 1}, {11, 1}, {20, 1},
                                         {21, 1}, {16, 1}, {18, 1}, {4, 1},  {5, 1},  {6, 1},
                                         {7, 1},  {8, 1},  {12, 1}, {27, 1}};
constexpr CockpitDraw kBoxesOrder[] = {{9, 0},  {11, 1}, {10, 1}, {4, 1},  {5, 1},  {6, 1},
                                       {7, 1},  {8, 1},  {34, 1}, {35, 1}, {16, 1}, {18, 1},
                                       {12, 1}, {27, 1}, {20, 1}, {22, 1}};
constexpr CockpitDraw kSmallOrder[] = {{9, 0},  {11, 1}, {10, 1}, {4, 1},  {5, 1},
                                       {6, 1},  {7, 1},  {8, 1},  {16, 1}, {18, 1},
                                       {12, 1}, {27, 1}, {23, 1}, {24, 1}};

// One turn of the compass heading.
constexpr float kTurn = 512.0f;

}  // namespace

std::pair<int, int> CompassWindow(float heading, CockpitLayout layout) {
  // The strip holds one turn and a window: a heading outside the turn would show past its end.
  float wrapped = std::fmod(heading, kTurn);
  if (!(wrapped >= 0.0f)) {
    wrapped = std::isnan(wrapped) ? 0.0f : wrapped + kTurn;
  }
  if (wrapped >= kTurn) {
    wrapped = 0.0f;
  }
  if (layout == CockpitLayout::kSmall) {
    const int left = 252 - static_cast<int>(wrapped * 0.4921875f);
    return {left, left + 51};
  }
  const int left = 504 - static_cast<int>(wrapped * 0.984375f);
  return {left, left + 102};
}

std::pair<int, int> ReconLampWindow(int value) {
  const int left = value == 1 ? 0 : 12;
  return {left, left + 12};
}

std::span<const CockpitDraw> CockpitBoxOrder(CockpitLayout layout) {
  switch (layout) {
    case CockpitLayout::kCockpitPicture:
      return kPictureOrder;
    case CockpitLayout::kSeparateBoxes:
      return kBoxesOrder;
    case CockpitLayout::kSmall:
      break;
  }
  return kSmallOrder;
}

void CCockpit::Build(CockpitLayout layout, int screenWidth, int screenHeight,
                     const char* archiveName) {
  Free();
  layout_ = layout;
  R3xWad* archive = r3xOpenWad(archiveName, 20);
  if (archive == nullptr) {
    return;
  }
  for (int index = 0; index < kCockpitSlotCount; ++index) {
    const SlotSpec& spec = CockpitSlot(layout, index);
    const RECT place = CockpitSlotRectangle(layout, index, screenWidth, screenHeight);
    std::unique_ptr<CPanel>& slot = slots_[static_cast<std::size_t>(index)];
    switch (spec.kind) {
      case SlotKind::kAbsent:
        break;
      case SlotKind::kSource:
        slot = std::make_unique<CPanel>(archive, 0, 0, spec.width, spec.height, spec.bitmap);
        slot->Create();
        break;
      case SlotKind::kPlaced:
        slot = spec.bitmap == nullptr
                   ? std::make_unique<CPanel>(0, 0, spec.width, spec.height)
                   : std::make_unique<CPanel>(archive, 0, 0, spec.width, spec.height, spec.bitmap);
        slot->Place(place.left, place.top, spec.key);
        break;
      case SlotKind::kBlankCopy: {
        // GDI text lands as drawn only in blank panels: the box is one, holding the bitmap.
        slot = std::make_unique<CPanel>(0, 0, spec.width, spec.height);
        slot->Place(place.left, place.top, spec.key);
        CPanel picture(archive, 0, 0, spec.width, spec.height, spec.bitmap);
        picture.Place(0, 0, -1);
        picture.BlitTo(1, slot.get());
        break;
      }
    }
  }
  if (slot(kSlotRocketBar) != nullptr) {
    rocketBarFullHeight_ = slot(kSlotRocketBar)->height();
  }
  r3xCloseWad(archive);
}

void CCockpit::Free() {
  for (std::unique_ptr<CPanel>& slot : slots_) {
    slot.reset();
  }
}

void CCockpit::Invalidate() {
  for (const std::unique_ptr<CPanel>& slot : slots_) {
    if (slot != nullptr) {
      slot->SetDirty();
    }
  }
  gauges_ = {true, true, true, true, true, true, true, true, true, true, true, true};
  pitchMarker_ = -1;
}

void CCockpit::DrawSlot(int index, int force) {
  if (CPanel* panel = slot(index); panel != nullptr) {
    panel->Draw(force);
  }
}

void CCockpit::Draw(const CockpitFrame& frame) {
  // The rocket bar is drawn unforced: it stays up by being marked on every frame it shows.
  if (CPanel* bar = slot(kSlotRocketBar); bar != nullptr && frame.rocketsOn) {
    bar->SetDirty();
    if (frame.rocketBarChanged) {
      UpdateRocketBar(*bar, rocketBarFullHeight_, frame.rocketFuel, frame.rocketFuelMaximum);
    }
    bar->Draw(0);
  }
  DrawSlot(kSlotRadar, 1);
  if (CPanel* lamp = slot(kSlotReconLamp); lamp != nullptr && frame.reconLamp != 0) {
    const auto [left, right] = ReconLampWindow(frame.reconLamp);
    RECT source = lamp->source();
    source.left = left;
    source.right = right;
    lamp->SetSource(source);
    lamp->Draw(1);
  }
  if (crosshairVisible_) {
    DrawSlot(kSlotCrosshair, 1);
  }
  if (CPanel* compass = slot(kSlotCompass); compass != nullptr) {
    const auto [left, right] = CompassWindow(frame.heading, layout_);
    RECT source = compass->source();
    source.left = left;
    source.right = right;
    compass->SetSource(source);
  }
  DrawSlot(kSlotCompass, 1);
  DrawSlot(kSlotCompassPointer, 1);
  for (const CockpitDraw& draw : CockpitBoxOrder(layout_)) {
    DrawSlot(draw.slot, draw.force);
  }
  if (frame.networkNotice) {
    DrawSlot(kSlotMessageBox, 1);
  }
}

void CCockpit::SetCrosshairFrame(int row) {
  crosshairVisible_ = row != -1;
  CPanel* crosshair = slot(kSlotCrosshair);
  if (!crosshairVisible_ || crosshair == nullptr || !crosshair->created()) {
    return;
  }
  RECT source = crosshair->source();
  const int side = source.right - source.left;
  const int rows = std::max(crosshair->image()->height / side, 1);
  row = std::clamp(row, 0, rows - 1);
  source.top = row * side;
  source.bottom = source.top + side;
  crosshair->SetSource(source);
}

void CCockpit::SetCrosshairReady(int ready) {
  CPanel* crosshair = slot(kSlotCrosshair);
  if (crosshair == nullptr) {
    return;
  }
  RECT source = crosshair->source();
  const int side = source.right - source.left;
  source.left = ready != 0 ? 0 : side;
  source.right = source.left + side;
  crosshair->SetSource(source);
}
