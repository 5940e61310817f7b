// The one shared mover through which every arena object moves through the world. An object kind
// passes its filter and hit callbacks, its user word and the sweep mode with each call of an
// operation (nothing carries over to the next caller); the engine calls the callbacks back during
// the sweep, and a hit callback that stops the sweep sets the mover's hit flag.
//   MoveTo             one sweep of an actor toward a point, the actor left at the stop;
//   MoveWithCollision  a tank's move, cleared first by the height map and the nearby flags, mines
//                      and tanks, swept sphere by sphere only where needed;
//   FollowTerrain      the ground height and normal under a tank from the height map alone;
//   ProbeGround, GetClearance  sweeps straight down to z = 0 and up to the world ceiling;
//   Sweep              a free volume swept along a line of sight.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "battle/arena/arena_tools.h"
#include "battle/core/list_link.h"
#include "engine/r3x_collide.h"
#include "engine/r3x_core.h"

// What a tank's move tests besides the world: a flag's, mine's or tank's position and the actor
// swept against. A tank gives its first collision actor, and its second (the one it moves) as
// `mover`, so that a tank never meets itself.
struct MoverNeighbour {
  float position[3];
  R3xActor* actor;
  R3xActor* mover;
};

struct MoverNeighbours {
  std::span<const MoverNeighbour> flags;
  std::span<const MoverNeighbour> mines;
  std::span<const MoverNeighbour> tanks;
};

// What an operation hands the engine's sweep: the callbacks, the word they get back and the mode.
struct MoverCallbacks {
  R3xSweepFilterFn filter = nullptr;
  R3xSweepHitFn hit = nullptr;
  void* user = nullptr;
  std::uint32_t mode = R3X_SWEEP_EXACT;
};

class CMover {
 public:
  static constexpr std::uint32_t kMaxListed = 256;

  CMover();
  ~CMover();
  CMover(const CMover&) = delete;
  CMover& operator=(const CMover&) = delete;

  // The height at which the actor, swept straight down to z = 0, rests (0.0 when nothing stops
  // it); the normal of the edge polygon whose face it rests on, else (0, 0, 1). The sweep hits
  // through MoverSweepHit whatever the callbacks name.
  float ProbeGround(R3xActor* actor, float* normal, const MoverCallbacks& callbacks);
  // The height to which the actor can rise straight up, at most the world ceiling. Only the mode
  // is taken from the callbacks: the sweep ignores every actor and hits through MoverSweepHit.
  float GetClearance(R3xActor* actor, const MoverCallbacks& callbacks);
  // Sweeps the actor toward the point and leaves it at the stop, written into the point; the
  // contact it stopped at, or null.
  R3xContact* MoveTo(R3xActor* actor, float* point, const MoverCallbacks& callbacks);
  // Moves a tank's sphere-list actor (six spheres of one radius) to the new placement. Null with
  // fraction 1.0 when it got there; the stopping contact with the fraction of the move, the stop
  // position and the actor back at its old placement; null with fraction 0 when the move failed
  // (the actor at its old placement). The spheres are swept exactly, whatever the mode.
  R3xContact* MoveWithCollision(R3xActor* actor, const R3xPlacement* placement, float* fraction,
                                float* stop, const MoverCallbacks& callbacks);
  // The ground under a tank from the height map: a height on flat ground (the actor's z that sets
  // it down), 0.0 when the normal carries the answer, -1.0 when there is no usable ground.
  float FollowTerrain(R3xActor* actor, float* normal);
  // Sweeps the free volume from the start toward the point, written back with the stop. The
  // sweep hits through MoverSweepHit whatever the callbacks name.
  R3xContact* Sweep(R3xVolume* volume, R3xPlacement* start, float* point,
                    const MoverCallbacks& callbacks);

  // Set by a hit callback that stops the sweep; cleared before every sweep.
  std::uint32_t hitFlag = 0;
  // The plane normal of the edge polygon on whose face the last stop through MoverSweepHit
  // happened.
  float contactNormal[3] = {0.0f, 0.0f, 1.0f};
  // Where the last sweep stopped (or ended), and the contact of the last stopping operation.
  float stopPosition[3] = {0.0f, 0.0f, 0.0f};
  R3xContact* stopContact = nullptr;
  std::int32_t lastResult = 0;
  // The flags, mines and tanks that MoveWithCollision tests; none until their lists exist.
  MoverNeighbours (*neighbourSource)() = nullptr;

 private:
  // The phases of MoveWithCollision.
  struct TankMove;
  // Puts the actor back at its old placement: null with fraction 0.
  R3xContact* FailMove(const TankMove& move, float* fraction);
  // Places the actor, reads its spheres' new centres and the box around both ends of every
  // sphere's move; false when a centre lies in no region.
  bool PlaceSpheres(const R3xSphereList* list, const R3xPlacement* placement, TankMove& move);
  // Which kinds of neighbour are near the box; true when none is and the height map clears it.
  bool IsClearWithoutSweep(TankMove& move) const;
  // Sweeps sphere by sphere, keeping the earliest stop; false when a sweep failed.
  bool SweepSpheres(TankMove& move, float* fraction, float* stop, const MoverCallbacks& callbacks);
  // Sphere i swept through the world where the height map does not clear it, else against the
  // nearby neighbours: the sweep's result, or nothing when no neighbour is near.
  std::optional<std::int32_t> SweepSphere(TankMove& move, std::uint32_t i, R3xSweepQuery* query,
                                          const MoverCallbacks& exact);
  // Lists the near neighbours' actors around the swept box; false past kMaxListed.
  bool CollectNeighbours(const TankMove& move);
  // Keeps sphere i's stop when it came at a smaller share of its move than every earlier one.
  bool KeepEarliestStop(TankMove& move, std::uint32_t i, R3xSweepQuery* query, float* fraction,
                        float* stop);

  std::int32_t SweepWorld(R3xSweepQuery* query, const MoverCallbacks& callbacks);
  std::int32_t SweepList(R3xSweepQuery* query, const MoverCallbacks& callbacks);
  // The query's stop contact when the last sweep stopped, else null.
  R3xContact* StoppedContact(R3xSweepQuery* query) const;
  void Prepare();

  CListLink listLink_;
  R3xActor* actor_ = nullptr;
  R3xVolume* volume_ = nullptr;
  float scale_ = 1.0f;
  R3xPlacement* placement_ = nullptr;
  const float* target_ = nullptr;
  std::int32_t testFlagged_ = 1;
  R3xSweepQuery* query1_ = nullptr;
  R3xSweepQuery* query2_ = nullptr;
  float remaining_ = -1.0f;
  std::uint32_t listCount_ = 0;
  R3xActor* list_[kMaxListed] = {};
  R3xPlacement placementBuffer_{};
};

// Ignores every actor: sweeps with it meet only the world's obstacles.
std::uint32_t MoverSweepFilter(R3xActor* actor, void* user);
// Stops at a solid touch and sets gMover's hit flag and, at a touch of an edge polygon's face
// (not of its edges or corners), its contact normal.
std::int32_t MoverSweepHit(R3xContact* contact, void* user, std::int32_t* pass,
                           std::int32_t* reportRemaining, float* backoff);
