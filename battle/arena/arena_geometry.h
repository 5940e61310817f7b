// Distances, bearings and local offsets that the arena objects share: nearness to the player's
// own tank or to the camera, heading and pitch from one point to another, a cheap planar
// distance, a distance ratio inside a radius, moving a placement along its own axes and composing
// a placement with a relative one. Points are 3 floats; angles are 512 units to a turn.
#pragma once

#include "engine/r3x_core.h"

// The placement of the player's barrel actor and of the camera (the listener of positional
// sound). Owner: the player's tank, which writes both every frame; zeros until then. The names
// the arena objects use are references to the members.
struct SharedPlacements {
  R3xPlacement ownTank{};
  R3xPlacement listener{};
};

extern SharedPlacements gSharedPlacements;

inline R3xPlacement& gOwnTankPlacement = gSharedPlacements.ownTank;
inline R3xPlacement& gListenerPlacement = gSharedPlacements.listener;

// 1 when the point lies within radius of the own tank's position (squares compared), else 0.
int IsNearOwnTank(const float* point, float radius);
// The same against the camera's position.
int IsNearCamera(const float* point, float radius);
// The heading and pitch that point an object at a toward b, as the motion model moves it
// (forward = cos, sin of the heading). With d = a - b: heading = atan2(-d.y, -d.x) in [0, 512);
// pitch = -atan2(d.z, |d.xy|) brought into [0, 512). The original took 384 - atan2(d.y, d.x) for
// the heading, the bearing mirrored across the diagonal x = y, with which a tower sent off to the
// side flew away from its point and never arrived.
void GetHeadingPitch(const float* a, const float* b, float* heading, float* pitch);
// max(|dx|, |dy|) + min(|dx|, |dy|) / 2.
float FastDistance2D(const float* a, const float* b);
// The distance from a to b divided by radius, in [0, 1]; -1.0 beyond the radius.
float GetDistanceRatio(const float* a, const float* b, float radius);
// Moves the placement's position by scale x the local vector (forward, side, up) along its own
// rotation; the angles stay.
void MoveAlongLocal(R3xPlacement* placement, const float* local, float scale);
// Places the relative placement (x, y, z, heading, pitch, roll) in the frame of the placement:
// the position moves by the rotated offset and the angles become the composed rotation's.
void ComposeTransform(R3xPlacement* placement, const float* relative);
