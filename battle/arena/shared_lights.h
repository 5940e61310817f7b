// The lamp of a burning flare. All lamps share one engine light, made from the light definition
// "LIGHTDEF" with the first lamp and destroyed with the last.
#pragma once

#include <cstdint>

struct R3xActor;
struct R3xLight;
struct R3xLightDef;
struct R3xRenderContext;
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
  // Whether this lamp has the shared light to give.
  bool HasLight() const { return counted_; }
  static std::uint32_t Users() { return users_; }
  static R3xLight* Light() { return light_; }

  // Sets the render context's point-light mode and dynamic lighting from the game parameters
  // and gives the shared light the current "Light Intensity High"; then mode 0 takes the actor's
  // point light away, mode 1 gives it the radius "Light Radius High" and mode 2 the radius
  // "TessellationMultiPolygon". With "Light & Tessellation" at 0 lighting is off and the mode
  // counts as 0. A null actor or a lamp without a light only sets the switches.
  void Attach(R3xRenderContext* context, R3xActor* actor, int mode);

 private:
  R3xWorld* world_;
  // Whether this lamp counts as a user: not when it could not make the shared light.
  bool counted_ = false;

  static std::uint32_t users_;
  static R3xLightDef* definition_;
  static R3xLight* light_;
  static bool keepLight_;
};
