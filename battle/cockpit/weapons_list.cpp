#include "battle/cockpit/weapons_list.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::string_view kUnavailable = "\ai";
constexpr std::string_view kAvailable = "\ag";
constexpr std::string_view kActive = "\ah";
constexpr std::string_view kCounted = "\aj";
// Five characters a team, as the flag line shows them.
constexpr std::string_view kFlagTeams = "Red  GreenBlue Grey ";

bool Fitted(const WeaponsListItem& item) { return item.name != nullptr; }

void AddLine(std::string& text, std::string_view colour, const char* name) {
  text += colour;
  text += name;
  text += '\n';
}

// "%2d %s".
void AddCountLine(std::string& text, std::string_view colour, const WeaponsListItem& item) {
  char count[16];
  std::snprintf(count, sizeof count, "%2d ", item.count);
  text += colour;
  text += count;
  text += item.name;
  text += '\n';
}

void AddCounted(std::string& text, std::string_view colour, const WeaponsListItem& item) {
  if (Fitted(item) && item.count != 0) {
    AddCountLine(text, colour, item);
  }
}

// Unavailable without power, active when on, else available.
std::string_view Powered(const WeaponsListState& state, bool on) {
  return state.noPower ? kUnavailable : (on ? kActive : kAvailable);
}

}  // namespace

std::string BuildWeaponsText(const WeaponsListState& state) {
  std::string text;
  if (Fitted(state.cannon)) {
    if (state.selectedShell < 0) {
      text += kUnavailable;
      text += state.cannon.name;
      text += "(No Shells!)\n";
    } else {
      AddLine(text, state.cannonSelected ? kActive : kAvailable, state.cannon.name);
      for (std::size_t i = 0; i < state.shells.size(); ++i) {
        if (Fitted(state.shells[i])) {
          const bool selected = state.cannonSelected && state.selectedShell == static_cast<int>(i);
          AddCountLine(text, selected ? kActive : kAvailable, state.shells[i]);
        }
      }
    }
  }
  for (std::size_t i = 0; i < state.energyWeapons.size(); ++i) {
    if (Fitted(state.energyWeapons[i])) {
      AddLine(text, Powered(state, state.selectedEnergyWeapon == static_cast<int>(i)),
              state.energyWeapons[i].name);
    }
  }
  for (const WeaponsListItem& missile : state.missiles) {
    AddCounted(text, kCounted, missile);
  }
  for (const WeaponsListItem& mine : state.mines) {
    AddCounted(text, kCounted, mine);
  }
  if (Fitted(state.reservePower)) {
    char reserves[32];
    std::snprintf(reserves, sizeof reserves, "%d of %d ", state.reservePower.count,
                  state.reservePowerTotal);
    text += state.reservePower.count != 0 ? kCounted : kUnavailable;
    text += reserves;
    text += state.reservePower.name;
    text += '\n';
  }
  if (Fitted(state.stealth)) {
    AddLine(text, Powered(state, state.stealthOn), state.stealth.name);
  }
  if (Fitted(state.cloak)) {
    const bool blocked =
        state.cloakRecharging || state.noPower || state.frontShield != 0 || state.rearShield != 0;
    AddLine(text, blocked ? kUnavailable : (state.cloakOn ? kActive : kAvailable),
            state.cloak.name);
  }
  if (Fitted(state.dopplerRadar)) {
    AddLine(text, kCounted, state.dopplerRadar.name);
  }
  if (Fitted(state.infraRed)) {
    AddLine(text, Powered(state, state.infraRedOn), state.infraRed.name);
  }
  if (Fitted(state.phaseMultiplier)) {
    AddLine(text, Powered(state, state.phaseMultiplierOn), state.phaseMultiplier.name);
  }
  if (Fitted(state.supercharger)) {
    AddLine(text, kCounted, state.supercharger.name);
  }
  if (Fitted(state.sharpShooter)) {
    if (state.zoomFactor != 0) {
      char zoom[16];
      std::snprintf(zoom, sizeof zoom, "(X%d)", state.zoomFactor);
      text += kActive;
      text += state.sharpShooter.name;
      text += zoom;
      text += '\n';
    } else {
      AddLine(text, Powered(state, false), state.sharpShooter.name);
    }
  }
  if (Fitted(state.flagCatcher)) {
    if (!state.flagCatcherArmed) {
      AddLine(text, kUnavailable, state.flagCatcher.name);
    } else if (state.carriedFlagTeam < 0) {
      AddLine(text, kAvailable, state.flagCatcher.name);
    } else {
      // Teams past the four known ones show as the last.
      const auto team = static_cast<std::size_t>(std::min(state.carriedFlagTeam, 3));
      text += kActive;
      text += "Flag Caught: ";
      text += kFlagTeams.substr(team * 5, 5);
      text += '\n';
    }
  }
  if (Fitted(state.controller)) {
    AddLine(text, state.canRise ? kCounted : kUnavailable, state.controller.name);
  }
  if (Fitted(state.powerReceiver)) {
    AddLine(text, state.receivingPower ? kActive : kCounted, state.powerReceiver.name);
  }
  AddCounted(text, kCounted, state.mineSweeper);
  if (Fitted(state.satelliteCamera)) {
    const bool hidden = state.stealthOn || state.cloakOn;
    text += hidden ? kUnavailable : (state.satelliteViewOn ? kActive : kAvailable);
    text += state.satelliteCamera.name;
    if (state.satelliteViewOn) {
      char camera[16];
      std::snprintf(camera, sizeof camera, "(#%d)", state.satelliteCameraNumber);
      text += camera;
    }
    text += '\n';
  }
  AddCounted(text, kCounted, state.rockets);
  AddCounted(text, state.noPower ? kUnavailable : kCounted, state.turboBoost);
  if (Fitted(state.dampener)) {
    AddLine(text, kActive, state.dampener.name);
  }
  AddCounted(text, state.reconCapturePossible ? kActive : kCounted, state.reconCapture);
  return text;
}
