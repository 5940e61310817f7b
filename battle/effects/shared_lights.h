// The lamp of a burning flare. All lamps share one engine light, made from the light definition
// "LIGHTDEF" with the first lamp and destroyed with the last.
#pragma once

#include <cstdint>

struct R3xActor;
struct R3xLight;
struct R3xLightDef;
struct R3xWorld;

class CSharedLights {
 public:
  // Makes the shared light when no lamp is alive; a lamp that cannot make it gives no light.
  explicit CSharedLights(R3xWorld* world);
  // The last lamp destroys the shared light, unless the world stop keeps it for the world's
  // own destruction.
  ~CSharedLights();
  CSharedLights(const CSharedLights&) = delete;
  CSharedLights& operator=(const CSharedLights&) = delete;

  // Makes the shared light the actor's point light, with this radius.
  void AttachFixed(R3xActor* actor, float radius);

  // Set by the world stop before the game objects go, cleared when the next world is loaded.
  static void SetKeepLight(bool keep) { keepLight_ = keep; }
  static std::uint32_t Users() { return users_; }
  static R3xLight* Light() { return light_; }

  // Placeholder until the explosion effects are built: Attach (actor, mode), which sets the
  // render context's lighting switches from the game parameters and attaches or removes the
  // shared light by mode; the game never gives an explosion a lamp.

 private:
  R3xWorld* world_;
  // Whether this lamp counts as a user: not when it could not make the shared light.
  bool counted_ = false;

  static std::uint32_t users_;
  static R3xLightDef* definition_;
  static R3xLight* light_;
  static bool keepLight_;
};
