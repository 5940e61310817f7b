// Sweeps: one straight motion of a collision volume (an actor's, or a free one) through the
// world, collecting time-ordered contacts with obstacles and other actors and asking the
// caller's callbacks where it stops. Nothing is moved: the stop position is written for the
// caller.
// Results: 0 or R3X_ERR_FAILED; queries and lists or null.
#pragma once

#include <cstdint>

struct R3xWorld;
struct R3xActor;
struct R3xVolume;
struct R3xPlacement;
// One per mover, reused for every sweep; its contacts are valid until its next sweep.
struct R3xSweepQuery;

// Contact phases: the sphere's surface reaches the feature, or its centre passes through a
// line, plane or polygon.
inline constexpr std::int32_t R3X_CONTACT_TOUCH = 1;
inline constexpr std::int32_t R3X_CONTACT_CROSS = 2;
// Contact classes: another actor, or an obstacle of a region.
inline constexpr std::int32_t R3X_CONTACT_OBJECT = 2;
inline constexpr std::int32_t R3X_CONTACT_OBSTACLE = 7;

// Filter answers. Exact times of impact for vertex features (also an obstacle test option).
inline constexpr std::uint32_t R3X_SWEEP_EXACT = 0x2;
// Leave the actor out: no contact of it, its parts untested.
inline constexpr std::uint32_t R3X_SWEEP_IGNORE = 0x100;
// Test the actor's own collision volume.
inline constexpr std::uint32_t R3X_SWEEP_VOLUME = 0x200;
// Test the volume of the actor's current part.
inline constexpr std::uint32_t R3X_SWEEP_PARTS = 0x400;
// Visit the part test (which does nothing without R3X_SWEEP_PARTS).
inline constexpr std::uint32_t R3X_SWEEP_VISIT_PARTS = 0x800;
// Also report the crossing of lines, planes and polygons by the centre (a sweep's mode, and an
// obstacle test option).
inline constexpr std::uint32_t R3X_TEST_CROSS = 0x4;

// R3X_TYPE_XY_VERTEX or R3X_TYPE_XYZ_VERTEX and its coordinates.
struct R3xContactPoint {
  std::int32_t type;
  float x;
  float y;
  float z;
};

struct R3xContact {
  // R3X_CONTACT_TOUCH or R3X_CONTACT_CROSS.
  std::int32_t phase;
  // R3X_CONTACT_OBSTACLE or R3X_CONTACT_OBJECT.
  std::int32_t contactClass;
  // The R3xRegion holding the obstacle, or the R3xActor hit.
  void* target;
  // The R3xObstacle, or the actor's part (null for the actor's own volume).
  void* obstacle;
  // The obstacle's own geometry when the feature is a piece of it; for an object, the face
  // when the feature is an edge or vertex of it. Else null.
  void* parentGeometry;
  // R3X_OBSTACLE_ kind of the touched feature.
  std::int32_t kind;
  // The feature's geometry record; for the vertex kinds, `point` of this contact.
  void* geometry;
  // 1 when the obstacle leads into another region; 0 for objects.
  std::int32_t passable;
  // Distance along the motion; the sort key.
  float time;
  // 1 when the line, plane or polygon test started on the feature's back side.
  std::int32_t startsBehind;
  // The sphere-list member that touched; 0 for single spheres.
  std::int32_t memberIndex;
  // A copy of the vertex, for the vertex kinds only.
  R3xContactPoint point;
};

struct R3xContactList {
  // Contacts of the current sweep.
  std::uint32_t count;
  std::uint32_t capacity;
  // capacity records, reused from sweep to sweep.
  R3xContact* contacts;
  // The contacts in time order once sorted, then a null; the slots behind serve the sort.
  R3xContact** index;
  // Where the last stopping sweep stopped; kept by sweeps that do not stop, null at first.
  R3xContact* stopContact;
};

// (actor, user) -> filter bits: R3X_SWEEP_IGNORE, or R3X_SWEEP_VOLUME, R3X_SWEEP_PARTS,
// R3X_SWEEP_VISIT_PARTS and R3X_SWEEP_EXACT. Asked once the actor's bounding test passes.
using R3xSweepFilterFn = std::uint32_t (*)(R3xActor* actor, void* user);
// Called for every contact in time order until one stops the sweep. Writes pass (nonzero goes
// on; a solid obstacle stops whatever it says), reportRemaining (sphere lists write the
// remaining distance) and backoff (how far before the contact the stop lies, preset to 0.001).
// The result is not used.
using R3xSweepHitFn = std::int32_t (*)(R3xContact* contact, void* user, std::int32_t* pass,
                                       std::int32_t* reportRemaining, float* backoff);

// A query with an empty contact list of 512, or null when out of memory.
R3xSweepQuery* r3xCreateSweepQuery();
// Null is accepted.
void r3xDestroySweepQuery(R3xSweepQuery* query);
// The query's contact list, or null for a null query.
R3xContactList* r3xGetSweepContacts(R3xSweepQuery* query);

// Sweeps the actor's volume (or, without actor, the volume at the given scale and placement)
// from the placement's position to the target, or along direction for distance, through the
// world's regions against obstacles (those flagged FLOOR too when testFlagged) and actors. Null
// callbacks take the defaults, which stop 0.001 before the first contact with anything but a
// region boundary. mode: R3X_SWEEP_EXACT and R3X_TEST_CROSS. Writes the stop (or end) position
// to outPosition and, for sphere lists, the remaining distance to outRemaining when asked. 0, or
// R3X_ERR_FAILED (also when the start lies in no region).
std::int32_t r3xSweepActor(R3xWorld* world, R3xActor* actor, R3xVolume* volume, float scale,
                           R3xPlacement* placement, const float* target, const float* direction,
                           float distance, std::int32_t testFlagged, std::uint32_t mode,
                           R3xSweepFilterFn filter, R3xSweepHitFn hit, R3xSweepQuery* query,
                           void* user, float* outPosition, float* outRemaining,
                           std::int32_t wantRemaining);
// The same against the volumes and parts of the listed actors only: no region, no obstacle. A
// swept motion that nothing stops writes 0 to outRemaining, for single spheres too.
std::int32_t r3xSweepActorAgainstList(R3xWorld* world, R3xActor* actor, R3xVolume* volume,
                                      float scale, R3xPlacement* placement, const float* target,
                                      const float* direction, float distance, std::uint32_t mode,
                                      R3xSweepFilterFn filter, R3xSweepHitFn hit,
                                      R3xSweepQuery* query, void* user, float* outPosition,
                                      float* outRemaining, std::int32_t wantRemaining,
                                      std::uint32_t actorCount, R3xActor* const* actors);
