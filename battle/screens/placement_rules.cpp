// The placement rules over the catalogue and the loadout check that keeps a loadout within them.
#include <algorithm>

#include "battle/core/game_params.h"
#include "battle/screens/design_screen.h"

namespace {

int Value(std::size_t row) { return GetGameParamInt(row); }

const ModuleEntry* Module(std::uint32_t slot) {
  if (slot >= static_cast<std::uint32_t>(kModuleSlotCount) || !kModuleCatalogue[slot].Filled()) {
    return nullptr;
  }
  return &kModuleCatalogue[slot];
}

}  // namespace

const ModuleEntry* CDesignScreen::ModuleAt(int entry) const {
  const std::uint32_t slot = loadout_[static_cast<std::size_t>(entry)];
  return slot == 0 ? nullptr : Module(slot);
}

int CDesignScreen::BuiltInWeaponSlot() const {
  const int weapon = Value(BuiltInWeaponRow(chassis_));
  return weapon >= 2 && weapon < kWeaponMapSize ? kWeaponMap[static_cast<std::size_t>(weapon)] : -1;
}

int CDesignScreen::CanPlaceModule(int slot, int bay) const {
  if (slot < 0) {
    return 0;
  }
  const ModuleEntry* module = Module(static_cast<std::uint32_t>(slot));
  if (module == nullptr) {
    return 0;
  }
  if (slot == 0) {
    return 1;
  }
  const int builtInSlot = BuiltInWeaponSlot();
  const ModuleEntry* builtIn = builtInSlot >= 0 ? &kModuleCatalogue[builtInSlot] : nullptr;
  const auto holds = [this](int entry, int kind) {
    const ModuleEntry* fitted = ModuleAt(entry);
    return fitted != nullptr && fitted->kind == kind;
  };
  const auto anyHolds = [&](int kind) {
    for (int entry = 0; entry < kLoadoutSize; ++entry) {
      if (holds(entry, kind)) {
        return true;
      }
    }
    return builtIn != nullptr && builtIn->kind == kind;
  };

  if (module->single != 0) {
    if (builtIn == module) {
      return 0;
    }
    for (int entry = 0; entry < kLoadoutSize; ++entry) {
      if (entry != bay &&
          loadout_[static_cast<std::size_t>(entry)] == static_cast<std::uint32_t>(slot)) {
        return 0;
      }
    }
    if (chassis_ == kStealthChassis &&
        (module->kind == kKindStealth || module->kind == kKindCloak)) {
      return 0;
    }
  }
  if (module->prerequisite != 0 && !anyHolds(module->prerequisite)) {
    return 0;
  }
  const int bays = Value(module->baysRow);
  if (bays == 0) {
    return 0;
  }
  int needed = bays;
  for (int entry = 0; entry < kLoadoutSize; ++entry) {
    if (const ModuleEntry* fitted = ModuleAt(entry); entry != bay && fitted != nullptr) {
      needed += Value(fitted->baysRow);
    }
  }
  if (needed > Value(kChassisCatalogue[static_cast<std::size_t>(chassis_)].baysRow)) {
    return 0;
  }
  if (module->kind == kKindPhaseMultiplier && !anyHolds(kKindLaser)) {
    return 0;
  }
  if (module->kind == kKindMissile) {
    const int packs = Value(PARAM_MISSILE_PACKS_PER_LAUNCHER);
    int capacity = builtIn != nullptr && builtIn->kind == kKindMissileLauncher ? packs : 0;
    int missiles = 0;
    for (int entry = 0; entry < kLoadoutSize; ++entry) {
      capacity += holds(entry, kKindMissileLauncher) ? packs : 0;
      missiles += entry != bay && holds(entry, kKindMissile) ? 1 : 0;
    }
    if (missiles >= capacity) {
      return 0;
    }
  }
  if (module->kind == kKindReconCapture && !reconCaptureAllowed_) {
    return 0;
  }
  return 1;
}

void CDesignScreen::ValidateLoadout() {
  for (bool emptied = true; emptied;) {
    emptied = false;
    for (int entry = kLoadoutSize - 1; entry >= 0; --entry) {
      std::uint32_t& slot = loadout_[static_cast<std::size_t>(entry)];
      if (slot != 0 && CanPlaceModule(static_cast<int>(slot), entry) == 0) {
        slot = 0;
        emptied = true;
      }
    }
  }
}

void CDesignScreen::CheckLoadout(bool opening) {
  ValidateLoadout();
  int next = 0;
  int followed = currentBay_;
  for (int entry = 0; entry < kLoadoutSize; ++entry) {
    const std::uint32_t slot = loadout_[static_cast<std::size_t>(entry)];
    if (slot == 0) {
      continue;
    }
    if (entry == currentBay_) {
      followed = next;
    }
    loadout_[static_cast<std::size_t>(entry)] = 0;
    loadout_[static_cast<std::size_t>(next++)] = slot;
  }
  currentBay_ = opening ? followed : (next < kLoadoutSize ? next : 0);
}

void CDesignScreen::CompleteLoadout() {
  loadoutCount_ =
      static_cast<int>(std::find(loadout_.begin(), loadout_.end(), 0u) - loadout_.begin());
  int next = loadoutCount_;
  const auto add = [this, &next](int slot) {
    if (next < kLoadoutSize) {
      loadout_[static_cast<std::size_t>(next++)] = static_cast<std::uint32_t>(slot);
    }
  };
  if (chassis_ == kStealthChassis) {
    add(kStealthSlot);
    add(kCloakSlot);
  }
  if (const int builtIn = BuiltInWeaponSlot(); builtIn >= 0) {
    add(builtIn);
  }
  std::fill(loadout_.begin() + next, loadout_.end(), 0u);
}
