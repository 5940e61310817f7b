#include "battle/effects/sky_frustum.h"

#include <cmath>

#include "battle/core/vector3.h"
#include "engine/r3x_core.h"

namespace {

// A box corner this far outside a plane still counts as touching it.
constexpr float kPlaneTolerance = 0.001f;

enum PlaneIndex { kBottom = 0, kTop = 1, kLeft = 2, kRight = 3, kNear = 4 };

// The view-space point (right, up, forward) in the world: the view rotation's columns are the
// view axes.
Vector3 ToWorld(const R3xRenderContext& context, const R3xCamera& camera, float right, float up,
                float forward) {
  const float* v = context.view;
  const float origin[3] = {camera.x, camera.y, camera.z};
  Vector3 p{};
  for (int i = 0; i < 3; ++i) {
    p[i] = v[i * 3] * right + v[i * 3 + 1] * up + v[i * 3 + 2] * forward + origin[i];
  }
  return p;
}

// -0.0 counts as not negative.
bool Negative(float component) { return std::signbit(component) && component != 0.0f; }

}  // namespace

std::int32_t MakePlaneFrom3Points(SkyPlane* plane, const float p1[3], const float p2[3],
                                  const float p3[3]) {
  const Vector3 n = Cross(Difference(p1, p2), Difference(p3, p2));
  const float scale = r3xInvSqrt(Dot(n, n));
  for (int i = 0; i < 3; ++i) {
    plane->normal[i] = n[i] * scale;
  }
  plane->distance = Dot(plane->normal, p2);
  return 0;
}

SkyFrustum MakeSkyFrustum(const R3xRenderContext& context, const R3xCamera& camera) {
  const int half = r3xFloatToInt(camera.halfFieldOfView) & (R3X_TANGENT_COUNT - 1);
  const float tangent = gR3xMathTables->tangents[half].tangent;
  const float nearDistance = context.nearDistance;
  const float farDistance = context.farDistance;
  const float a = tangent * nearDistance;
  const float b = a / camera.aspect;
  const float farA = tangent * farDistance;
  const float farB = farA / camera.aspect;
  const Vector3 n0 = ToWorld(context, camera, -a, b, nearDistance);
  const Vector3 n1 = ToWorld(context, camera, a, b, nearDistance);
  const Vector3 n2 = ToWorld(context, camera, a, -b, nearDistance);
  const Vector3 n3 = ToWorld(context, camera, -a, -b, nearDistance);
  const Vector3 f0 = ToWorld(context, camera, -farA, farB, farDistance);
  const Vector3 f1 = ToWorld(context, camera, farA, farB, farDistance);
  const Vector3 f2 = ToWorld(context, camera, farA, -farB, farDistance);
  const Vector3 f3 = ToWorld(context, camera, -farA, -farB, farDistance);
  SkyFrustum frustum{};
  MakePlaneFrom3Points(&frustum.planes[kNear], n2.data(), n1.data(), n0.data());
  MakePlaneFrom3Points(&frustum.planes[kTop], n0.data(), n1.data(), f1.data());
  MakePlaneFrom3Points(&frustum.planes[kRight], n1.data(), n2.data(), f2.data());
  MakePlaneFrom3Points(&frustum.planes[kBottom], n2.data(), n3.data(), f3.data());
  MakePlaneFrom3Points(&frustum.planes[kLeft], n3.data(), n0.data(), f0.data());
  return frustum;
}

std::int32_t ComputeBoxOutcode(const SkyFrustum& frustum, const float min[3], const float max[3]) {
  for (const SkyPlane& plane : frustum.planes) {
    float farthest[3];
    for (int i = 0; i < 3; ++i) {
      farthest[i] = Negative(plane.normal[i]) ? min[i] : max[i];
    }
    if (Dot(plane.normal, farthest) - plane.distance < -kPlaneTolerance) {
      return -1;
    }
  }
  std::int32_t crossed = 0;
  std::int32_t bit = 1;
  for (const SkyPlane& plane : frustum.planes) {
    float nearest[3];
    for (int i = 0; i < 3; ++i) {
      nearest[i] = Negative(plane.normal[i]) ? max[i] : min[i];
    }
    if (Dot(plane.normal, nearest) - plane.distance < kPlaneTolerance) {
      crossed |= bit;
    }
    bit <<= 1;
  }
  return crossed;
}
