// The vehicle design screen's object: the chosen chassis, the loadout of catalogue slots the
// player fits (one per bay entry), the placement rules over the catalogue, and the saved
// configurations' file steps. One object lives from the world's start to its stop; the chassis,
// the loadout, the current bay and the configurations persist between openings of the screen.
#pragma once

#include <array>
#include <cstdint>

#include "battle/screens/equipment_catalogue.h"

inline constexpr int kLoadoutSize = 15;

using Loadout = std::array<std::uint32_t, kLoadoutSize>;

class CDesignScreen {
 public:
  // 1 when the module of catalogue slot `slot` may go into loadout entry `bay` given the other
  // entries, else 0.
  int CanPlaceModule(int slot, int bay) const;
  // Empties, until a walk from the last entry to the first empties nothing, every entry whose
  // module is no longer placeable in its bay (a module that loses its prerequisite goes, then
  // whatever depended on it); moves the rest to the front in order; the current bay becomes the
  // first empty entry, or, when the screen opens, follows the entry it pointed to.
  void CheckLoadout(bool opening = false);
  // The loadout as the vehicle reads it after the screen closes: the loadout count becomes the
  // number of leading modules, then the chassis's integrated stealth and cloak and its built-in
  // weapon's module are added while there is room, the remaining entries empty.
  void CompleteLoadout();
  // The catalogue slot of the chassis's built-in weapon, or -1 when it has none.
  int BuiltInWeaponSlot() const;

  int GetChassis() const { return chassis_; }
  void SetChassis(int chassis) { chassis_ = chassis; }
  int GetCurrentBay() const { return currentBay_; }
  void SetCurrentBay(int bay) { currentBay_ = bay; }
  int GetLoadoutCount() const { return loadoutCount_; }
  void SetReconCaptureAllowed(bool allowed) { reconCaptureAllowed_ = allowed; }
  void SetChassisChangeAllowed(bool allowed) { chassisChangeAllowed_ = allowed; }
  Loadout& GetLoadout() { return loadout_; }
  const Loadout& GetLoadout() const { return loadout_; }

 private:
  // The module of a loadout entry, or null for an empty entry (or one that names no module).
  const ModuleEntry* ModuleAt(int entry) const;

  int chassis_ = 1;
  int currentBay_ = 0;
  int loadoutCount_ = 0;
  bool chassisChangeAllowed_ = true;
  bool reconCaptureAllowed_ = true;
  Loadout loadout_{};
};
