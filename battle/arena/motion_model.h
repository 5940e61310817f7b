// The kinematic state of every moving arena object but the tanks (flares, mines, flags, towers,
// bullets, missiles, debris): a pose, a forward speed and three turn rates that ramp toward
// targets at limited rates, an optional ballistic part and a clock. One step a frame advances it
// by the time since the last step, at most 500 ms; a blocked move can be undone with Revert.
//
// Units: world units, angles of 512 to a turn, and one step unit of 500 ms (dt = ms x 0.002), so
// speeds are world units and turn rates angle units per 500 ms. Owners read and write the fields
// directly (a server's state, targets, the push velocity, the floor).
#pragma once

#include <cstdint>

#include "battle/core/list_link.h"
#include "engine/r3x_core.h"

// vx, vy, vz, then the heading, pitch and roll rates that the next step turns the angles with,
// and a word carried along.
struct MotionVelocity {
  float vx = 0.0f;
  float vy = 0.0f;
  float vz = 0.0f;
  float headingRate = 0.0f;
  float pitchRate = 0.0f;
  float rollRate = 0.0f;
  std::int32_t extra = 0;
};

class CMotionModel {
 public:
  // The floor height that switches the ballistic step off.
  static constexpr float kNoFloor = 3.4028235e38f;

  // At rest at the origin, floor 0.05, clock at the frame time, limits (1000, ..., 1000).
  CMotionModel();
  CMotionModel(const CMotionModel&) = delete;
  CMotionModel& operator=(const CMotionModel&) = delete;

  // a: time to full speed change, c: to full rate change (ms), e: turn damping; b and d are
  // accepted but unused. a, b or c not above 0 becomes 100; e below 0 becomes 0.
  void SetLimits(float a, float b, float c, float d, float e);
  // The next step covers ms more than the time since the last one.
  void SetClockBack(std::uint32_t ms);
  // The pose's position and angles (as a server sends them); its region word stays, and an angle
  // that is not a number or beyond kMaxAngleUnits leaves the old one.
  void SetPose(float x, float y, float z, float heading, float pitch, float roll);
  // The plain step; copies the new pose to out when given.
  void Integrate(R3xPlacement* out);
  // The step with push velocity, acceleration, gravity and floor (the plain step when the floor
  // is kNoFloor).
  void IntegrateBallistic(R3xPlacement* out);
  // Back to the state before the last step.
  void Revert(R3xPlacement* out);

  // The object's membership in its kind's list, for owners that embed the model.
  CListLink listLink;
  R3xPlacement previousPose{};
  MotionVelocity previousVelocity;
  R3xPlacement pose{};
  MotionVelocity velocity;
  float push[3] = {0.0f, 0.0f, 0.0f};
  float acceleration[3] = {0.0f, 0.0f, 0.0f};
  float floorHeight = 0.05f;
  float previousSpeed = 0.0f;
  float previousHeadingRate = 0.0f;
  float previousPitchRate = 0.0f;
  float previousRollRate = 0.0f;
  float speed = 0.0f;
  float headingRate = 0.0f;
  float pitchRate = 0.0f;
  float rollRate = 0.0f;
  float targetSpeed = 0.0f;
  float targetHeadingRate = 0.0f;
  float targetPitchRate = 0.0f;
  float targetRollRate = 0.0f;
  // At speed v the heading and pitch rates aim at target / (1 + damping x |v|).
  float turnDamping = 0.0f;
  // The largest change of speed, and of a turn rate, per step unit.
  float speedRamp = 0.0f;
  float rateRamp = 0.0f;
  // The frame time (ms) of the last step.
  std::uint32_t clock = 0;

 private:
  struct StepTime {
    float dt;
    float speedStep;
    float rateStep;
  };
  StepTime BeginStep();
  float DampedGoal(float target) const;
  void TurnAngles(float dt);
  // The speed, and the heading and pitch rates where they differ from their targets, ramped.
  void RampSpeedAndTurnRates(const StepTime& step);
  void MoveByVelocity(float dt);
  void CopyPose(R3xPlacement* out) const;
};
