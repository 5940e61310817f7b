// The level of the world's global ambient light, the light definition "GLOBALAMBIENT_LIGHTDEF":
// the day and night cycle, the lightning and the player's Light Level keys set it.
#pragma once

struct R3xWorld;

class CAmbientLight {
 public:
  // The level of the session's first time-of-day step.
  CAmbientLight();

  // Gives every frame of the ambient light definition the level and keeps it; without a world
  // or the definition nothing changes.
  void SetAmbientLight(R3xWorld* world, float level);
  // One step of Light Level Up (up != 0) or Down: 0.01 while below 1.0, or above 0.01. The level
  // is kept even when the world has no ambient light definition.
  void StepAmbientLight(R3xWorld* world, int up);

  float Level() const { return level_; }

 private:
  float level_;
};
