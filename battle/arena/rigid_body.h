// The rigid-body dynamics under each tank: mass and one moment of inertia, an orientation, force
// and torque accumulators, linear and angular momentum, a position with heading, pitch and roll,
// and four drags. The body keeps momentum, not velocity, so impulses add to momentum directly.
// A physics step clears the accumulators, adds forces and torques, then calls IntegrateMomentum
// and IntegratePose.
#pragma once

#include <cstdint>

// A drag's part proportional to the speed and its constant part (times mass or inertia).
struct RigidBodyDrag {
  float linear = 0.0f;
  float constant = 0.0f;
};

class CRigidBody {
 public:
  CRigidBody() = default;
  virtual ~CRigidBody() = default;

  // Refuses (-1, nothing changed) a mass or inertia below 0.0001, or not a number; else 0.
  std::int32_t SetMass(float m);
  std::int32_t SetInertia(float i);
  std::int32_t AddForce(float fx, float fy, float fz);
  // Along the forward axis; forces within +-0.001 are ignored.
  std::int32_t AddForwardForce(float f);
  // Along the side axis, with a torque about the up axis of lever x f; within +-0.001 ignored.
  std::int32_t AddSideForce(float f, float lever);
  // The thrust that rights a turned-over tank.
  std::int32_t ApplyFlipThrust(float a, float b, float leverA, float leverB);
  std::int32_t ApplyGravity(float g);
  // A torque turning the up axis toward the target direction, growing with the angle until
  // |up x target| x gain reaches 1, at least the share L = tilt constant / k x 1.5 (for k > 1)
  // while the body lies on its side, reversed while it is upside down.
  std::int32_t ApplyLevelingTorque(float k, float gain, const float* target);
  // Impulses.
  std::int32_t AddVelocity(float x, float y, float z);
  std::int32_t AddAngularVelocity(float x, float y, float z);
  // Adds force and torque over dt seconds, with the drags braking forward motion, spin about
  // the unit axis, sideways motion and tilt; a brake may stop a motion but never reverse it.
  std::int32_t IntegrateMomentum(float dt, const float* axis);
  // Turns the orientation and moves the position by the momentum over dt seconds; momenta within
  // +-0.001 on every axis move nothing.
  std::int32_t IntegratePose(float dt);
  std::int32_t RaiseTo(float z);
  // Rebuilds the orthonormal axes from heading, pitch and roll; every place that sets the angles
  // directly calls it.
  void SetOrientationFromAngles();

  float mass = 1.0f;
  float inertia = 1.0f;
  float inverseMass = 1.0f;
  float inverseInertia = 1.0f;
  RigidBodyDrag forwardDrag;
  RigidBodyDrag lateralDrag;
  RigidBodyDrag spinDrag;
  RigidBodyDrag tiltDrag;
  // Rows: the forward, side and up axes in world coordinates.
  float orientation[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
  float force[3] = {0.0f, 0.0f, 0.0f};
  float torque[3] = {0.0f, 0.0f, 0.0f};
  float momentum[3] = {0.0f, 0.0f, 0.0f};
  float angularMomentum[3] = {0.0f, 0.0f, 0.0f};
  float position[3] = {0.0f, 0.0f, 0.0f};
  float heading = 0.0f;
  float pitch = 0.0f;
  float roll = 0.0f;
};
