// The 3D view's colour setting: the arena's normal palette and the one shown while the player's
// infra-red view is on, the shade table built from the palette shown, and which of the two the
// view shows. The palettes and the table are registered with the world, which owns them; the
// world stop destroys them through Destroy.
#pragma once

#include <cstdint>

struct R3xPalette;
struct R3xRenderContext;
struct R3xRenderDevice;
struct R3xShadeTable;
struct R3xWad;
struct R3xWorld;

// What the palettes are loaded for: the world that owns them, the arena's pack archive that
// holds "palette.bmp" and "pal_Infr.bmp", the render context the shade table serves, the display
// device the normal palette is installed on (none before the display exists), and the far
// distance the context's fog keeps.
struct PaletteTargets {
  R3xWorld* world = nullptr;
  R3xWad* pack = nullptr;
  R3xRenderContext* context = nullptr;
  R3xRenderDevice* device = nullptr;
  float farDistance = 0.0f;
};

class CPalettes {
 public:
  // Replaces both palettes and the shade table and switches the context's fog off: 0, or 1 when
  // a palette bitmap is missing or unreadable, or the shade table cannot be made or attached.
  // What was made before the failure stays, for Destroy.
  std::uint32_t LoadPalettes(const PaletteTargets& targets);
  // Shows the world start's loading palette until LoadPalettes replaces it. Not owned.
  void ShowLoadingPalette(R3xPalette* palette) { current_ = palette; }
  // Shows another palette than the game's two (the design screen's) until SetInfraRed or
  // ShowNormalPalette. Not owned.
  void ShowScreenPalette(R3xPalette* palette) { current_ = palette; }
  void ShowNormalPalette() { current_ = normal_; }
  // Selects the infra-red palette (on != 0) or the normal one and marks the palette dirty; the
  // frame tick installs it.
  void SetInfraRed(int on);
  // Destroys the shade table and the palettes in the world.
  void Destroy(R3xWorld* world);

  R3xPalette* Current() const { return current_; }
  R3xPalette* Normal() const { return normal_; }
  R3xPalette* InfraRed() const { return infraRed_; }
  R3xShadeTable* ShadeTable() const { return shadeTable_; }
  // Set by SetInfraRed and the view rebuild until the frame tick has installed the palette
  // again.
  bool PaletteDirty() const { return paletteDirty_; }
  void MarkPaletteDirty() { paletteDirty_ = true; }
  void ClearPaletteDirty() { paletteDirty_ = false; }
  // The palette the frame tick installed on the device last (the design screen installs too).
  R3xPalette* Applied() const { return applied_; }
  void SetApplied(R3xPalette* palette) { applied_ = palette; }
  // Set by LoadPalettes, the world start and another window's palette change until the window
  // procedure has selected the display palette again.
  bool ReselectPending() const { return reselectPending_; }
  void RequestReselect() { reselectPending_ = true; }
  void ClearReselectPending() { reselectPending_ = false; }

 private:
  R3xPalette* normal_ = nullptr;
  R3xPalette* infraRed_ = nullptr;
  // One of the two above or the loading palette; owns nothing.
  R3xPalette* current_ = nullptr;
  R3xShadeTable* shadeTable_ = nullptr;
  R3xPalette* applied_ = nullptr;
  bool paletteDirty_ = false;
  bool reselectPending_ = false;
};
