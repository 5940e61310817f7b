// Explosions: animated 2D-sprite blasts of eight kinds, kept in one pool that only grows. A
// request restarts the first finished member; a finished member is hidden and parked under the
// world's ceiling until the next request.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "engine/r3x_core.h"

class CExplosion {
 public:
  static constexpr int kKindCount = 8;

  // A parked member: it makes its actor under the ceiling of the arena's height map, running
  // kind 1 once up there, when the map has open space at that point.
  CExplosion();

  // Starts an explosion of the kind at the point, growing the pool when every member runs.
  // Null when nothing started: a kind outside 0 to 7, a point outside every region, or no actor.
  static CExplosion* Spawn(int kind, const float* position);

  void Init(int kind, const float* position);
  void SetKind(int kind);
  // 1 when a one-shot run is over or a drift left the world.
  int Animate();
  // Finishes at once, hidden and parked.
  void Stop();
  // Drift per frame change; drifting on.
  void SetDrift(float x, float y, float z);
  void SetPosition(const R3xPlacement& placement);

  bool IsFinished() const { return finished_ != 0; }
  bool IsLooping() const { return looping_ != 0; }
  std::int32_t Frame() const { return frame_; }
  R3xActor* Actor() const { return actor_; }

 private:
  float rate_ = 0.0f;  // frames per millisecond
  std::uint32_t looping_ = 0;
  std::uint32_t startTime_ = 0;
  std::int32_t frame_ = 0;
  std::int32_t firstFrame_ = 0;
  std::int32_t lastFrame_ = 0;
  float drift_[3] = {};
  std::uint32_t drifting_ = 0;
  float scale_ = 1.0f;
  R3xActor* actor_ = nullptr;
  std::uint32_t finished_ = 1;
};

// The pool, newest member first; a member that could not make its actor leaves its node empty.
extern std::list<std::unique_ptr<CExplosion>> gExplosionList;

// The world start's 30 members.
void MakeExplosionPool();
// Animates every running explosion; a one-shot run that is over parks its member. Looping ones
// run until stopped.
void UpdateAllExplosions();
// The world stop: frees every member (their actors go with the world).
void DeleteAllExplosions();
