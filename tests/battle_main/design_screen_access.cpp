#include "tests/battle_main/design_screen_access.h"

#include <algorithm>

#include "battle/main/game_session.h"
#include "battle/screens/design_screen.h"

void ShowOnDesignScreen(int chassis, std::initializer_list<std::uint32_t> slots) {
  CDesignScreen& screen = *gGameSession.designScreen;
  screen.SetChassis(chassis);
  Loadout& loadout = screen.GetLoadout();
  loadout.fill(0);
  std::copy(slots.begin(), slots.end(), loadout.begin());
}

const void* DesignCatalogueRecord(std::uint32_t slot) { return &kModuleCatalogue[slot]; }
