#include "battle/effects/shared_lights.h"

#include "battle/main/game_param_rows.h"
#include "battle/main/game_params.h"
#include "engine/r3x.h"

namespace {

constexpr const char* kSharedLightTag = "LIGHTDEF";

}  // namespace

std::uint32_t CSharedLights::users_ = 0;
R3xLightDef* CSharedLights::definition_ = nullptr;
R3xLight* CSharedLights::light_ = nullptr;
bool CSharedLights::keepLight_ = false;

CSharedLights::CSharedLights(R3xWorld* world) : world_(world) {
  if (users_ == 0) {
    const float intensity = GetGameParamFloat(PARAM_LIGHT_INTENSITY_HIGH);
    // A world that defines the tag already keeps its own definition, unchanged.
    definition_ = r3xCreateLightDef(world_, kSharedLightTag, 1, &intensity, 0, 0, 0);
    if (definition_ == nullptr) {
      return;
    }
    light_ = r3xCreateLight(world_, definition_);
    if (light_ == nullptr) {
      return;
    }
    r3xSetLightFrame(light_, 0);
  }
  counted_ = true;
  ++users_;
}

CSharedLights::~CSharedLights() {
  // A lamp that made no light was never counted: counting it down would take the light from
  // the lamps that still burn.
  if (!counted_) {
    return;
  }
  --users_;
  if (keepLight_ || users_ != 0) {
    return;
  }
  if (light_ != nullptr) {
    r3xDestroyLight(world_, light_);
    light_ = nullptr;
  }
  if (definition_ != nullptr) {
    r3xDestroyLightDef(world_, definition_);
    definition_ = nullptr;
  }
}

void CSharedLights::AttachFixed(R3xActor* actor, float radius) {
  if (!counted_) {
    return;
  }
  r3xSetActorPointLight(world_, actor, light_);
  r3xSetPointLightRadius(world_, actor->pointLight, radius);
}
