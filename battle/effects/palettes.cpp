#include "battle/effects/palettes.h"

#include "engine/r3x_core.h"
#include "engine/r3x_display.h"

namespace {

constexpr const char* kNormalPaletteFile = "palette.bmp";
constexpr const char* kInfraRedPaletteFile = "pal_Infr.bmp";
// The game keeps the system colours at both ends of its palettes.
constexpr std::int32_t kKeepSystemColours = 0;
constexpr std::uint32_t kLoaded = 0;
constexpr std::uint32_t kLoadFailed = 1;

}  // namespace

std::uint32_t CPalettes::LoadPalettes(const PaletteTargets& targets) {
  Destroy(targets.world);
  normal_ = r3xCreatePalette(targets.world, targets.pack, kNormalPaletteFile, kKeepSystemColours);
  if (normal_ == nullptr) {
    return kLoadFailed;
  }
  // Shown at once; a missing display leaves it to the frame tick.
  r3xSetDevicePalette(targets.device, normal_);
  current_ = normal_;
  infraRed_ =
      r3xCreatePalette(targets.world, targets.pack, kInfraRedPaletteFile, kKeepSystemColours);
  if (infraRed_ == nullptr) {
    return kLoadFailed;
  }
  reselectPending_ = true;
  shadeTable_ = r3xCreateShadeTable(targets.world, current_);
  if (shadeTable_ == nullptr ||
      r3xSetRenderShadeTable(targets.world, targets.context, shadeTable_, 0) != 0) {
    return kLoadFailed;
  }
  r3xSetRenderOptionWord(targets.context, 0);
  r3xSetFogMode(targets.context, R3X_FOG_OFF, targets.farDistance);
  return kLoaded;
}

void CPalettes::SetInfraRed(int on) {
  current_ = on != 0 ? infraRed_ : normal_;
  paletteDirty_ = true;
}

void CPalettes::Destroy(R3xWorld* world) {
  if (shadeTable_ != nullptr) {
    r3xDestroyShadeTable(world, shadeTable_);
    shadeTable_ = nullptr;
  }
  for (R3xPalette** palette : {&normal_, &infraRed_}) {
    if (*palette != nullptr) {
      r3xDestroyPalette(world, *palette);
      *palette = nullptr;
    }
  }
  current_ = nullptr;
  applied_ = nullptr;
}
