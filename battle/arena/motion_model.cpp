#include "battle/arena/motion_model.h"

#include "battle/arena/angle_units.h"
#include "battle/core/frame_time.h"
#include "battle/core/global_params.h"
#include "engine/r3x_core.h"

namespace {

// A step never covers more than this, so a stalled frame cannot throw objects across the arena.
constexpr std::uint32_t kMaxStepMs = 500;

// Moves value toward goal by at most step.
void Ramp(float& value, float goal, float step) {
  if (value == goal) {
    return;
  }
  const float d = goal - value;
  if (d > 0.0f && step < d) {
    value += step;
  } else if (d < 0.0f && step < -d) {
    value -= step;
  } else {
    value = goal;
  }
}

// Not greater than 0, judged on the sign and value bits: +0.0 and -0.0 alike.
bool IsNotPositive(float value) { return !(value > 0.0f); }

}  // namespace

CMotionModel::CMotionModel() : clock(gFrameTime) {
  SetLimits(1000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f);
  previousPose = pose;
  previousVelocity = velocity;
}

void CMotionModel::SetLimits(float a, float /*b*/, float c, float /*d*/, float e) {
  if (IsNotPositive(a)) {
    a = 100.0f;
  }
  if (IsNotPositive(c)) {
    c = 100.0f;
  }
  if (e < 0.0f) {
    e = 0.0f;
  }
  speedRamp = 1.0f / (a * 0.0002f);
  rateRamp = 1.0f / (c * 0.00015f);
  turnDamping = e * 0.00025f;
}

void CMotionModel::SetClockBack(std::uint32_t ms) { clock = gFrameTime - ms; }

void CMotionModel::SetPose(float x, float y, float z, float heading, float pitch, float roll) {
  pose.x = x;
  pose.y = y;
  pose.z = z;
  // An angle no turn could come from (not a number, or beyond any wrapping) is refused and the
  // old one kept.
  if (IsUsableAngle(heading)) {
    pose.heading = heading;
  }
  if (IsUsableAngle(pitch)) {
    pose.pitch = pitch;
  }
  if (IsUsableAngle(roll)) {
    pose.roll = roll;
  }
}

CMotionModel::StepTime CMotionModel::BeginStep() {
  previousSpeed = speed;
  previousHeadingRate = headingRate;
  previousPitchRate = pitchRate;
  previousRollRate = rollRate;
  previousVelocity = velocity;
  previousPose = pose;
  // Unsigned: a clock in the future counts as a long wait, clamped like one.
  std::uint32_t elapsed = gFrameTime - clock;
  clock = gFrameTime;
  if (elapsed > kMaxStepMs) {
    elapsed = kMaxStepMs;
  }
  const float dt = static_cast<float>(elapsed) * 0.002f;
  return {dt, dt * speedRamp, dt * rateRamp};
}

float CMotionModel::DampedGoal(float target) const {
  if (speed > 0.0f) {
    return target / (1.0f + turnDamping * speed);
  }
  if (speed < 0.0f) {
    return target / (1.0f - turnDamping * speed);
  }
  return target;
}

// The angles turn with the rates that the previous step applied.
void CMotionModel::TurnAngles(float dt) {
  const float rates[3] = {velocity.headingRate, velocity.pitchRate, velocity.rollRate};
  float* angles[3] = {&pose.heading, &pose.pitch, &pose.roll};
  for (int i = 0; i < 3; ++i) {
    if (rates[i] != 0.0f) {
      *angles[i] = WrapAngleUnits(*angles[i] + dt * rates[i]);
    }
  }
}

void CMotionModel::RampSpeedAndTurnRates(const StepTime& step) {
  Ramp(speed, targetSpeed, step.speedStep);
  if (headingRate != targetHeadingRate) {
    Ramp(headingRate, DampedGoal(targetHeadingRate), step.rateStep);
  }
  if (pitchRate != targetPitchRate) {
    Ramp(pitchRate, DampedGoal(targetPitchRate), step.rateStep);
  }
}

void CMotionModel::MoveByVelocity(float dt) {
  pose.x += dt * velocity.vx;
  pose.y += dt * velocity.vy;
  pose.z += dt * velocity.vz;
}

void CMotionModel::CopyPose(R3xPlacement* out) const {
  if (out != nullptr) {
    *out = pose;
  }
}

void CMotionModel::Integrate(R3xPlacement* out) {
  const StepTime step = BeginStep();
  RampSpeedAndTurnRates(step);
  Ramp(rollRate, targetRollRate, step.rateStep);
  TurnAngles(step.dt);
  const float cosPitch = r3xCosUnits(pose.pitch);
  velocity.vx = r3xCosUnits(pose.heading) * cosPitch * speed;
  velocity.vy = r3xSinUnits(pose.heading) * cosPitch * speed;
  velocity.vz = r3xSinUnits(pose.pitch) * speed;
  MoveByVelocity(step.dt);
  velocity.headingRate = headingRate;
  velocity.pitchRate = pitchRate;
  velocity.rollRate = rollRate;
  CopyPose(out);
}

void CMotionModel::IntegrateBallistic(R3xPlacement* out) {
  if (floorHeight == kNoFloor) {
    Integrate(out);
    return;
  }
  const StepTime step = BeginStep();
  RampSpeedAndTurnRates(step);
  TurnAngles(step.dt);
  if (gGravity != 0.0f && floorHeight <= pose.z) {
    push[2] += step.dt * gGravity;
  }
  for (int i = 0; i < 3; ++i) {
    push[i] += step.dt * acceleration[i];
  }
  const float cosPitch = r3xCosUnits(pose.pitch);
  velocity.vx = r3xCosUnits(pose.heading) * cosPitch * speed + push[0];
  velocity.vy = r3xSinUnits(pose.heading) * cosPitch * speed + push[1];
  velocity.vz = r3xSinUnits(pose.pitch) * speed + push[2];
  MoveByVelocity(step.dt);
  // A rolled or pitched object turns its heading more slowly.
  if (velocity.headingRate != headingRate) {
    velocity.headingRate = headingRate;
    Ramp(velocity.headingRate, headingRate * r3xCosUnitsNearest(pose.roll) * cosPitch,
         step.rateStep);
  }
  if (pose.z <= floorHeight) {
    pose.z = floorHeight;
    velocity.vz = 0.0f;
    push[2] = 0.0f;
  }
  CopyPose(out);
}

void CMotionModel::Revert(R3xPlacement* out) {
  speed = previousSpeed;
  headingRate = previousHeadingRate;
  pitchRate = previousPitchRate;
  rollRate = previousRollRate;
  velocity = previousVelocity;
  pose = previousPose;
  CopyPose(out);
}
