// Smoke puffs: 2D sprites that rise and drift for a while, then dissolve through their last four
// frames and park. One pool that only grows; a request restarts the first finished puff.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "engine/r3x_core.h"

class CSmoke {
 public:
  // A parked puff: it starts kind 0 for 1 ms under the height map's ceiling.
  CSmoke();
  ~CSmoke();
  CSmoke(const CSmoke&) = delete;
  CSmoke& operator=(const CSmoke&) = delete;

  // Starts a puff of the kind at the point for `duration` ms, growing the pool when every puff
  // runs. Null when the pool had to grow and the new puff has no actor; a point outside every
  // region leaves the chosen puff as it was and returns it.
  static CSmoke* Spawn(std::int32_t kind, const float* position, std::uint32_t duration);

  // Reseeds the process's random generator with the frame time, so that puffs started in one
  // frame drift alike.
  void Init(std::int32_t kind, const float* position, std::uint32_t duration);
  void Animate();

  bool IsFinished() const { return finished_ != 0; }
  std::int32_t Frame() const { return frame_; }
  std::int32_t Phase() const { return phase_; }
  R3xActor* Actor() const { return actor_; }

 private:
  void Select();

  std::uint32_t finished_ = 1;
  R3xActor* actor_ = nullptr;
  std::uint32_t nextFrameTime_ = 0;  // 200 ms steps
  std::uint32_t endTime_ = 0;        // when it starts to dissolve
  std::int32_t phase_ = 0;           // 0 rising, 1 dissolve due, 2 dissolving, 3 done
  std::int32_t frame_ = 0;
  std::int32_t firstFrame_ = 0;
  std::int32_t lastFrame_ = 0;
  std::int32_t kind_ = 0;
  float driftX_ = 0.0f;  // per update
  float driftY_ = 0.0f;
  float rise_ = 0.0f;
};

// The pool, newest first; a grown puff without an actor leaves its node empty.
extern std::list<std::unique_ptr<CSmoke>> gSmokeList;

// The world start's 50 puffs.
void MakeSmokePool();
void UpdateAllSmoke();
// The world stop: destroys every puff with its actor.
void DeleteAllSmoke();
