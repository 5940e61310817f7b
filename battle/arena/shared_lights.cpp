#include "battle/arena/shared_lights.h"

#include <cstddef>
#include <vector>

#include "battle/core/game_param_rows.h"
#include "battle/core/game_params.h"
#include "engine/r3x_core.h"

namespace {

constexpr const char* kSharedLightTag = "LIGHTDEF";

constexpr int kRemoveLight = 0;
constexpr int kHighRadius = 1;
constexpr int kTessellationRadius = 2;

// A parameter of +0.0 or -0.0 counts as zero.
bool IsOff(std::size_t row) { return GetGameParamFloat(row) == 0.0f; }

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
  if (actor->pointLight != nullptr) {
    r3xSetPointLightRadius(world_, actor->pointLight, radius);
  }
}

void CSharedLights::Attach(R3xRenderContext* context, R3xActor* actor, int mode) {
  const bool lighting = !IsOff(PARAM_LIGHT_AND_TESSELLATION);
  if (context != nullptr) {
    r3xSetPointLightMode(context, IsOff(PARAM_TESSELLATION_MULTI_POLYGON) ? 0 : 1);
    r3xSetDynamicLighting(context, lighting ? 1 : 0);
  }
  if (!lighting) {
    mode = kRemoveLight;
  }
  // A lamp that made no light has none to give or to take away.
  if (!counted_) {
    return;
  }
  const float intensity = GetGameParamFloat(PARAM_LIGHT_INTENSITY_HIGH);
  const std::vector<float> levels(definition_->frameCount, intensity);
  r3xSetLightDefIntensities(definition_, levels.data());
  if (actor == nullptr) {
    return;
  }
  if (mode == kRemoveLight) {
    r3xSetActorPointLight(world_, actor, nullptr);
    return;
  }
  r3xSetActorPointLight(world_, actor, light_);
  // The radius goes to the actor's point light, which a failed attach leaves without.
  if (actor->pointLight == nullptr) {
    return;
  }
  if (mode == kHighRadius) {
    r3xSetPointLightRadius(world_, actor->pointLight, GetGameParamFloat(PARAM_LIGHT_RADIUS_HIGH));
  } else if (mode == kTessellationRadius) {
    r3xSetPointLightRadius(world_, actor->pointLight,
                           GetGameParamFloat(PARAM_TESSELLATION_MULTI_POLYGON));
  }
}
