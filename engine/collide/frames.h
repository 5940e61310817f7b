// Frame transforms of collision: bringing a moving sphere into the frame of a polyhedron or a
// sphere list and back, and placing an actor's part. Matrices are nine floats; "M applied to q"
// is always out[i] = M[i] q[0] + M[3 + i] q[1] + M[6 + i] q[2].
// Results: an angle index (a value); the transforms write their output.
#pragma once

#include <cstdint>

struct R3xActor;
struct R3xPlacement;
struct R3xSweepSegment;

// The table index of an angle in units of 1/512 turn: truncated and wrapped into 0 to 511.
// Angles of any size wrap exactly; one that is not a number or infinite gives 0.
std::int32_t _r3xAngleIndex(float angle);

// From the placement's heading, pitch and roll: the world-to-local matrix of an object of that
// scale (the transpose of the object's rotation, divided by the scale unless it is exactly 1),
// and 1 / scale (or 1).
void _r3xRotationFromAngles(const R3xPlacement* placement, float scale, float* matrix,
                            float* inverseScale);
// out = M applied to (point - origin). out may be point.
void _r3xWorldToLocal(const float* point, const float* origin, const float* matrix, float* out);
// out = origin + scale x (M applied to point). out may be point.
void _r3xLocalToWorld(const float* point, const float* origin, float scale, const float* matrix,
                      float* out);
// Where an offset in the actor's frame lies in the world: the actor's position for a zero offset
// (the rotation is then left alone), else the position plus the offset turned and scaled by the
// actor's rotation, rebuilt first.
void _r3xActorOffsetToWorld(R3xActor* actor, const float* offset, float* out);
// Carries points of a first frame (matrix A, origin, scale) into a second (matrix B times k,
// origin): a point c of the first lands at outMatrix applied to c plus outOffset.
void _r3xFrameToFrame(const float* a, const float* firstOrigin, float firstScale, const float* b,
                      float k, const float* secondOrigin, float* outMatrix, float* outOffset);
// The segment in an object's frame: start and end as M applied to (point - origin), the direction
// as M applied to it times directionFactor, radius and distance times lengthFactor.
void _r3xSweepToLocal(const R3xSweepSegment* segment, const float* origin, float directionFactor,
                      float lengthFactor, const float* matrix, R3xSweepSegment* out);
