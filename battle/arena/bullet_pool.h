// The bullet pool: every shot of the arena flies as one of its bullets. A shot re-arms the first
// finished bullet; when none is finished the shot is lost and the pool grows by one idle bullet
// for later shots. The pool only grows while a world runs.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "battle/arena/bullet.h"

// Newest node first; a node whose bullet could not be made (or has no actor) holds null.
extern std::list<std::unique_ptr<CBullet>> gBulletPool;

class CBulletPool {
 public:
  static constexpr int kWorldStartSize = 31;

  // Links a node at the head with a new idle bullet (null when it has no actor).
  static void AddNode();
  // A shot: kind word (low 16 bits the kind, bit 24 sharpshooter), the muzzle pose, the firing
  // object's address, damage, speed (world units per 500 ms), whether this client reports its
  // hits, and whether a shell (kinds 8 to 10 without the sharpshooter bit) takes the camera.
  static void Fire(std::uint32_t kind, const R3xPlacement& pose, std::uint32_t owner,
                   std::int32_t damage, float speed, std::uint32_t report, std::uint32_t camera);
};

// The world start's pool of 31 bullets. The bullets of an earlier world are dropped first: their
// actors went with that world.
void MakeBulletPool();
// One frame of every flying bullet.
void UpdateAllBullets();
