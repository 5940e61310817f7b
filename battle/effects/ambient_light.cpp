#include "battle/effects/ambient_light.h"

#include <vector>

#include "battle/effects/ambient_table.h"
#include "engine/r3x_core.h"

namespace {

constexpr const char* kAmbientLightTag = "GLOBALAMBIENT_LIGHTDEF";
constexpr float kStep = 0.01f;
constexpr float kHighest = 1.0f;
constexpr double kLowest = 0.01;

// The world's ambient light definition, or null. The tag comes from the world file, which may
// give it to an object of another kind: that is no light to set.
R3xLightDef* FindAmbientLight(R3xWorld* world) {
  if (world == nullptr) {
    return nullptr;
  }
  R3xObjectHeader* object = r3xFindTag(world, kAmbientLightTag);
  if (object == nullptr || r3xIsLightDef(object) != 0) {
    return nullptr;
  }
  return reinterpret_cast<R3xLightDef*>(object);
}

// Every frame of the definition gets the level: the engine copies one value per frame.
void ShineAt(R3xLightDef* definition, float level) {
  const std::vector<float> levels(definition->frameCount, level);
  r3xSetLightDefIntensities(definition, levels.data());
}

}  // namespace

CAmbientLight::CAmbientLight() : level_(AmbientTable[kInitialTimeOfDayStep]) {}

void CAmbientLight::SetAmbientLight(R3xWorld* world, float level) {
  R3xLightDef* definition = FindAmbientLight(world);
  if (definition == nullptr) {
    return;
  }
  ShineAt(definition, level);
  level_ = level;
}

void CAmbientLight::StepAmbientLight(R3xWorld* world, int up) {
  if (up != 0) {
    if (level_ >= kHighest) {
      return;
    }
    level_ += kStep;
  } else {
    if (static_cast<double>(level_) <= kLowest) {
      return;
    }
    level_ -= kStep;
  }
  if (R3xLightDef* definition = FindAmbientLight(world); definition != nullptr) {
    ShineAt(definition, level_);
  }
}
