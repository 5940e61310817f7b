// The vehicle design screen's object: the chosen chassis, the loadout of catalogue slots the
// player fits (one per bay entry), the placement rules over the catalogue, and the saved
// configurations' file steps. One object lives from the world's start to its stop; the chassis,
// the loadout, the current bay and the configurations persist between openings of the screen.
#pragma once

#include <array>
#include <cstdint>

#include "battle/arena/input_event.h"
#include "battle/screens/design_layout.h"
#include "battle/screens/equipment_catalogue.h"
#include "battle/ui/text_list.h"
#include "battle/ui/ui_event.h"

inline constexpr int kLoadoutSize = 15;

using Loadout = std::array<std::uint32_t, kLoadoutSize>;

// The vehicle's 48-byte input record as twelve words: kind (InputEventKind), then code (or
// command).
using InputEventWords = std::array<std::uint32_t, 12>;
// The command with which the vehicle leaves the screen and takes the loadout.
inline constexpr std::uint32_t kLeaveDesignCommand = 0x1051;

class CPalettes;
struct R3xPalette;

class CDesignScreen {
 public:
  CDesignScreen() = default;
  ~CDesignScreen();
  CDesignScreen(const CDesignScreen&) = delete;
  CDesignScreen& operator=(const CDesignScreen&) = delete;

  // Builds the screen from "Design.r3x"; without the archive nothing is built and the next Run
  // tries again.
  void Open();
  // One frame: one event handled, the texts and the pieces drawn.
  void Run();
  // Completes the loadout for the vehicle and tears the screen down; nothing when it is closed.
  void Close();
  bool IsOpen() const { return background_ != nullptr; }
  // Only Enter and Esc key presses get through, as the leave command; other key presses become
  // nothing; other events pass unchanged.
  static void TranslateKey(InputEventWords& event);
  // Rebuilds the equipment list for the current bay.
  void FillCategory();
  // Rebuilds the stored-configuration list from the stored configuration.
  void FillBays();
  // Writes the loadout into the bay list.
  void RefreshBays();
  // One toolkit event, as Run takes it.
  void HandleEvent(const UiEvent& event);

  CTextList* GetEquipmentList() const { return equipmentList_; }
  CTextList* GetBayList() const { return bayList_; }
  CTextList* GetStoredList() const { return storedList_; }
  UiScrollBar* GetScrollBar() const { return scrollBar_; }
  UiSprite* GetBackground() const { return background_; }
  // The palette of the screen's picture while it is open (null without one), for the session to
  // make current and install on the display device.
  R3xPalette* GetPalette() const { return palette_; }
  // The game's palettes, which the screen shows its own palette through; none: the screen
  // leaves the palettes alone.
  void SetPalettes(CPalettes* palettes) { palettes_ = palettes; }
  enum DesignButton { kPrevious, kNext, kDone, kApply, kSave, kConfigA, kConfigB, kConfigC };
  UiButton* GetButton(DesignButton which) const { return buttons_[which]; }
  // The equipment list's row of each category's heading.
  int GetHeadingRow(int category) const { return headingRows_[static_cast<std::size_t>(category)]; }

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
  bool IsChassisChangeAllowed() const { return chassisChangeAllowed_; }
  int GetCurrentConfiguration() const { return currentConfiguration_; }
  void SetCurrentConfiguration(int configuration) { currentConfiguration_ = configuration; }
  const Loadout& GetStoredConfiguration() const { return storedConfiguration_; }
  Loadout& GetLoadout() { return loadout_; }
  const Loadout& GetLoadout() const { return loadout_; }

 private:
  // The module of a loadout entry, or null for an empty entry (or one that names no module).
  const ModuleEntry* ModuleAt(int entry) const;
  // Empties every module no longer placeable until nothing changes (the check's first step).
  void ValidateLoadout();
  void RebuildBayList();
  // The bay and stored-configuration lists: a row a bay, then the modules' names.
  CTextList* MakeBayRows(const DesignPiece& piece) const;
  void WriteModules(CTextList* list, const Loadout& loadout) const;
  void LoadAndShow(int configuration);
  void PlaceSelectedModule();
  void RemoveBayRow(int row);
  void JumpToCategory(int category);
  void MoveEquipmentSelection(int step);
  void ChangeChassis(int step);
  void FollowListWithBar();
  void DrawTexts();
  void DestroyScreen();

  R3xPalette* palette_ = nullptr;
  CPalettes* palettes_ = nullptr;
  UiSprite* background_ = nullptr;
  std::array<UiButton*, 8> buttons_{};
  // Each button's normal and pressed images (one sprite when both are the same bitmap).
  std::array<std::array<UiSprite*, 2>, 8> buttonImages_{};
  CTextList* equipmentList_ = nullptr;
  UiScrollBar* scrollBar_ = nullptr;
  std::array<UiSprite*, 5> scrollSprites_{};
  CTextList* bayList_ = nullptr;
  CTextList* storedList_ = nullptr;
  UiSprite* batteryGauge_ = nullptr;
  UiSprite* armorPicture_ = nullptr;
  UiSprite* turretPicture_ = nullptr;
  std::array<int, 7> headingRows_{};

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
