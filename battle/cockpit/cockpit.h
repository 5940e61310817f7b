// The cockpit of the player's tank: its 37 panel slots built for one layout, the per-frame draw
// in its fixed order, the compass and recon-lamp windows and the crosshair frames. The tank
// owns it and hands it what a frame shows.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <utility>

#include "battle/cockpit/cockpit_slots.h"
#include "battle/ui/panel.h"

// The pack archive of the cockpit's pictures.
inline constexpr char kCockpitArchive[] = "game.r3x";

// Slots the drawers name.
enum CockpitSlotIndex : int {
  kSlotCockpitPicture = 0,
  kSlotRadarBackground = 1,
  kSlotRadar = 2,
  kSlotCrosshair = 3,
  kSlotCompass = 14,
  kSlotCompassPointer = 15,
  kSlotShieldBox = 22,
  kSlotTargetBox = 27,
  kSlotMessageBox = 31,
  kSlotReconLamp = 32,
  kSlotRocketBar = 36,
};

// What a frame of the cockpit shows beside the gauges.
struct CockpitFrame {
  // 512 units a turn.
  float heading = 0.0f;
  // The radar's recon value: 0 off, 1 the first lamp frame, else the second.
  int reconLamp = 0;
  bool rocketsOn = false;
  // Set once the connection was found lost.
  bool networkNotice = false;
  // The fuel changed since the bar was last sized; the caller clears it after a frame with the
  // rockets on.
  bool rocketBarChanged = false;
  float rocketFuel = 0.0f;
  float rocketFuelMaximum = 0.0f;
};

struct CockpitDraw {
  int slot;
  int force;
};

// The compass strip's shown columns for a heading wrapped into one turn.
std::pair<int, int> CompassWindow(float heading, CockpitLayout layout);
// The recon-lamp strip's shown columns.
std::pair<int, int> ReconLampWindow(int value);
// The panels of the boxes and texts, in their drawing order, after the radar, lamp, crosshair
// and compass.
std::span<const CockpitDraw> CockpitBoxOrder(CockpitLayout layout);

class CCockpit {
 public:
  CCockpit() = default;
  ~CCockpit() { Free(); }
  CCockpit(const CCockpit&) = delete;
  CCockpit& operator=(const CCockpit&) = delete;

  // Builds every slot of the layout from the pack archive (normally "game.r3x"); without the
  // archive every slot stays null and the cockpit stays empty. The caller freed the old one.
  void Build(CockpitLayout layout, int screenWidth, int screenHeight, const char* archiveName);
  void Free();
  // Every panel and gauge is drawn again on the next frame.
  void Invalidate();
  void Draw(const CockpitFrame& frame);

  // -1 hides the crosshair; else its frames' row (one a weapon kind), kept on the strip.
  void SetCrosshairFrame(int row);
  // The left column (ready) or the right one (just fired).
  void SetCrosshairReady(int ready);

  CPanel* slot(int index) const { return slots_[static_cast<std::size_t>(index)].get(); }
  CockpitLayout layout() const { return layout_; }
  bool crosshairVisible() const { return crosshairVisible_; }
  int rocketBarFullHeight() const { return rocketBarFullHeight_; }
  // The gauges' dirty flags; set by Invalidate, cleared by their drawers.
  struct GaugeFlags {
    bool statusLine, log, power, flow, armor, frontShield, rearShield, crits, throttle, weapons,
        score, target;
  };
  GaugeFlags& gauges() { return gauges_; }
  int pitchMarker() const { return pitchMarker_; }

 private:
  void DrawSlot(int index, int force);

  std::array<std::unique_ptr<CPanel>, kCockpitSlotCount> slots_;
  CockpitLayout layout_ = CockpitLayout::kCockpitPicture;
  bool crosshairVisible_ = true;
  int rocketBarFullHeight_ = 0;
  GaugeFlags gauges_{};
  int pitchMarker_ = -1;
};
