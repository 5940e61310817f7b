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

  // "config.dat" in the working folder. When the screen opens: a file without the magic is kept
  // as "config.dat.bad", and a missing file is made empty.
  void CheckOrCreateConfigurations();
  // Reads configuration 0 (A), 1 (B) or 2 (C) of the chassis into the stored configuration and
  // makes it current; on any failure nothing changes.
  bool LoadConfiguration(int configuration);
  // Writes the loadout into the current configuration of the chassis, then loads it again;
  // without a current configuration, or on any failure, the file stays as it was.
  bool SaveConfiguration();

  int GetChassis() const { return chassis_; }
  void SetChassis(int chassis) { chassis_ = chassis; }
  int GetCurrentBay() const { return currentBay_; }
  void SetCurrentBay(int bay) { currentBay_ = bay; }
  int GetLoadoutCount() const { return loadoutCount_; }
  void SetReconCaptureAllowed(bool allowed) { reconCaptureAllowed_ = allowed; }
  void SetChassisChangeAllowed(bool allowed) { chassisChangeAllowed_ = allowed; }
  int GetCurrentConfiguration() const { return currentConfiguration_; }
  void SetCurrentConfiguration(int configuration) { currentConfiguration_ = configuration; }
  const Loadout& GetStoredConfiguration() const { return storedConfiguration_; }
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
  // 0, 1 or 2 for A, B, C; -1 for none.
  int currentConfiguration_ = -1;
  // The configuration last read from the file.
  Loadout storedConfiguration_{};
};
