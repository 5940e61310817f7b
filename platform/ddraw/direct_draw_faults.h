// The DirectDraw fault hook: the DirectDraw and Direct3D calls that can fail on the original
// platform (lost surfaces, memory running out, a call the driver refuses) ask it first, so that a
// test can make any chosen call fail. Set the way the process clock and the allocation hook are.
#pragma once

#include "platform/ddraw/direct_draw_types.h"

namespace platform {

// The calls that ask the hook.
enum class DirectDrawCall {
  kCreateSurface,
  kCreatePalette,
  kSetCooperativeLevel,
  kSetDisplayMode,
  kGetCaps,
  kGetAttachedSurface,
  kFlip,
  kLock,
  kBlt,
  kBltFast,
  kSetColorKey,
  kSetPalette,
  kGetDC,
  kRestore,
  kQueryInterface,
  kFindDevice,
  kCreateViewport,
  kAddViewport,
  kSetViewport,
  kSetBackground,
  kCreateExecuteBuffer,
  kCreateMaterial,
  kSetMaterial,
  kGetMaterialHandle,
  kGetTextureHandle,
  kUnload,
};

class DirectDrawFaultHook {
 public:
  virtual ~DirectDrawFaultHook() = default;
  // The answer of a call: DD_OK lets it go on; anything else is what it returns, having done
  // nothing. `caps` are the capabilities of the surface called (for CreateSurface the ones
  // asked for, for QueryInterface those of the surface asked, 0 for the other objects). May be
  // called from any thread.
  virtual HRESULT Answer(DirectDrawCall call, DWORD caps) = 0;
};

// Installs a hook; null removes it. Returns the previous one.
DirectDrawFaultHook* SetDirectDrawFaultHook(DirectDrawFaultHook* hook);
// DD_OK when no hook is installed, else the installed one's answer.
HRESULT DirectDrawFault(DirectDrawCall call, DWORD caps);

// Installs a hook for the lifetime of a scope (tests).
class ScopedDirectDrawFaultHook {
 public:
  explicit ScopedDirectDrawFaultHook(DirectDrawFaultHook& hook)
      : previous_(SetDirectDrawFaultHook(&hook)) {}
  ~ScopedDirectDrawFaultHook() { SetDirectDrawFaultHook(previous_); }
  ScopedDirectDrawFaultHook(const ScopedDirectDrawFaultHook&) = delete;
  ScopedDirectDrawFaultHook& operator=(const ScopedDirectDrawFaultHook&) = delete;

 private:
  DirectDrawFaultHook* previous_;
};

}  // namespace platform
