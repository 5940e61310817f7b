#include "battle/arena/rigid_body.h"

#include <algorithm>
#include <cmath>

#include "battle/core/vector3.h"
#include "engine/r3x_core.h"

namespace {

constexpr float kMinMass = 0.0001f;
constexpr float kSmallForce = 0.001f;
constexpr float kSmallMomentum = 0.001f;

bool IsSmall(float value, float bound) { return !(value > bound || value < -bound); }

bool AllSmall(const float* v) {
  return IsSmall(v[0], kSmallMomentum) && IsSmall(v[1], kSmallMomentum) &&
         IsSmall(v[2], kSmallMomentum);
}

// The braking change of a motion v along one axis: -sign(v) x (constant + linear x |v|) x dt
// (v = 0 counts as positive), limited so that it stops the motion at most.
float Brake(float v, float linear, float constant, float dt) {
  if (v >= 0.0f) {
    return std::max(-(constant + linear * v) * dt, -v);
  }
  return std::min((constant - linear * v) * dt, -v);
}

// The braking change of the part q of a motion across an axis: -(linear x q + constant x q's
// direction) x dt, or -q when that would pass beyond stopping it.
void BrakeAcross(const float* q, float linear, float constant, float dt, float* out) {
  float direction[3];
  r3xNormalize3(q, direction);
  for (int i = 0; i < 3; ++i) {
    out[i] = -(linear * q[i] + constant * direction[i]) * dt;
  }
  if (Dot(q, q) < Dot(out, out)) {
    for (int i = 0; i < 3; ++i) {
      out[i] = -q[i];
    }
  }
}

}  // namespace

std::int32_t CRigidBody::SetMass(float m) {
  if (!(m >= kMinMass)) {
    return -1;
  }
  mass = m;
  inverseMass = 1.0f / m;
  return 0;
}

std::int32_t CRigidBody::SetInertia(float i) {
  if (!(i >= kMinMass)) {
    return -1;
  }
  inertia = i;
  inverseInertia = 1.0f / i;
  return 0;
}

std::int32_t CRigidBody::AddForce(float fx, float fy, float fz) {
  force[0] += fx;
  force[1] += fy;
  force[2] += fz;
  return 0;
}

std::int32_t CRigidBody::AddForwardForce(float f) {
  if (!IsSmall(f, kSmallForce)) {
    AddScaled(force, orientation[0], f);
  }
  return 0;
}

std::int32_t CRigidBody::AddSideForce(float f, float lever) {
  if (!IsSmall(f, kSmallForce)) {
    AddScaled(force, orientation[1], f);
    AddScaled(torque, orientation[2], lever * f);
  }
  return 0;
}

std::int32_t CRigidBody::ApplyFlipThrust(float a, float b, float leverA, float leverB) {
  AddScaled(force, orientation[2], -std::fabs(a));
  AddScaled(force, orientation[0], a * 0.25f);
  AddScaled(torque, orientation[1], leverA * a);
  AddScaled(force, orientation[2], -std::fabs(b));
  AddScaled(force, orientation[1], b * 0.25f);
  AddScaled(torque, orientation[0], -(leverB * b));
  return 0;
}

std::int32_t CRigidBody::ApplyGravity(float g) {
  force[2] -= mass * g;
  return 0;
}

std::int32_t CRigidBody::ApplyLevelingTorque(float k, float gain, const float* target) {
  const float* up = orientation[2];
  float cross[3];
  r3xCross3(up, target, cross);
  const float m = std::min(r3xSqrt(Dot(cross, cross)) * gain, 1.0f);
  const float least = k <= 1.0f ? 1.0f : tiltDrag.constant / k * 1.5f;
  // -0.0 counts as upright.
  const float s = up[2] >= 0.0f ? std::max(up[2], least) : std::min(up[2], -least);
  float axis[3];
  r3xNormalize3(cross, axis);
  AddScaled(torque, axis, inertia * s * m * k);
  return 0;
}

std::int32_t CRigidBody::AddVelocity(float x, float y, float z) {
  momentum[0] += x;
  momentum[1] += y;
  momentum[2] += z;
  return 0;
}

std::int32_t CRigidBody::AddAngularVelocity(float x, float y, float z) {
  angularMomentum[0] += x;
  angularMomentum[1] += y;
  angularMomentum[2] += z;
  return 0;
}

std::int32_t CRigidBody::IntegrateMomentum(float dt, const float* axis) {
  const float* forward = orientation[0];
  // Forward and spin brakes from the momenta before this step's forces.
  const float dv =
      Brake(Dot(forward, momentum), forwardDrag.linear, forwardDrag.constant * mass, dt);
  const float dw =
      Brake(Dot(axis, angularMomentum), spinDrag.linear, spinDrag.constant * inertia, dt);
  AddScaled(momentum, force, dt);
  AddScaled(angularMomentum, torque, dt);
  // Sideways and tilt brakes from the momenta after them.
  const float along = Dot(forward, momentum);
  const float sideways[3] = {momentum[0] - forward[0] * along, momentum[1] - forward[1] * along,
                             momentum[2] - forward[2] * along};
  float lateral[3];
  BrakeAcross(sideways, lateralDrag.linear, lateralDrag.constant * mass, dt, lateral);
  const float about = Dot(axis, angularMomentum);
  const float across[3] = {angularMomentum[0] - axis[0] * about,
                           angularMomentum[1] - axis[1] * about,
                           angularMomentum[2] - axis[2] * about};
  float tilt[3];
  BrakeAcross(across, tiltDrag.linear, tiltDrag.constant * inertia, dt, tilt);
  AddScaled(momentum, forward, dv);
  AddScaled(momentum, lateral, 1.0f);
  AddScaled(angularMomentum, axis, dw);
  AddScaled(angularMomentum, tilt, 1.0f);
  return 0;
}

std::int32_t CRigidBody::IntegratePose(float dt) {
  if (!AllSmall(angularMomentum)) {
    float omega[3] = {angularMomentum[0], angularMomentum[1], angularMomentum[2]};
    for (float& w : omega) {
      w *= inverseInertia;
    }
    float turned[9];
    for (int row = 0; row < 3; ++row) {
      float change[3];
      r3xCross3(omega, orientation[row], change);
      for (int j = 0; j < 3; ++j) {
        turned[row * 3 + j] = orientation[row][j] + change[j] * dt;
      }
    }
    r3xMatrixToAngles(turned, &heading, &pitch, &roll);
    SetOrientationFromAngles();
  }
  if (!AllSmall(momentum)) {
    AddScaled(position, momentum, inverseMass * dt);
  }
  return 0;
}

std::int32_t CRigidBody::RaiseTo(float z) {
  if (position[2] < z) {
    position[2] = z;
  }
  return 0;
}

void CRigidBody::SetOrientationFromAngles() {
  const float ch = r3xCosUnits(heading);
  const float sh = r3xSinUnits(heading);
  const float cp = r3xCosUnits(pitch);
  const float sp = r3xSinUnits(pitch);
  const float cr = r3xCosUnits(roll);
  const float sr = r3xSinUnits(roll);
  const float rows[3][3] = {
      {cp * ch, cp * sh, sp},
      {-(cr * sh + ch * sp * sr), cr * ch - sh * sp * sr, cp * sr},
      {sh * sr - ch * cr * sp, -(sr * ch + sh * cr * sp), cr * cp},
  };
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      orientation[i][j] = rows[i][j];
    }
  }
}
