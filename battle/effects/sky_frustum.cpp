#include "battle/effects/sky_frustum.h"

#include <cmath>

#include "engine/r3x.h"

namespace {

// A box corner this far outside a plane still counts as touching it.
constexpr float kPlaneTolerance = 0.001f;

enum PlaneIndex { kBottom = 0, kTop = 1, kLeft = 2, kRight = 3, kNear = 4 };

struct Point {
  float xyz[3];
};

// The view-space point (right, up, forward) in the world: the view rotation's columns are the
// view axes.
Point ToWorld(const R3xRenderContext& context, const R3xCamera& camera, float right, float up,
              float forward) {
  const float* v = context.view;
  const float origin[3] = {camera.x, camera.y, camera.z};
  Point p{};
  for (int i = 0; i < 3; ++i) {
    p.xyz[i] = v[i * 3] * right + v[i * 3 + 1] * up + v[i * 3 + 2] * forward + origin[i];
  }
  return p;
}

float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// -0.0 counts as not negative.
bool Negative(float component) { return std::signbit(component) && component != 0.0f; }

}  // namespace

std::int32_t MakePlaneFrom3Points(SkyPlane* plane, const float p1[3], const float p2[3],
                                  const float p3[3]) {
  const float a[3] = {p1[0] - p2[0], p1[1] - p2[1], p1[2] - p2[2]};
  const float b[3] = {p3[0] - p2[0], p3[1] - p2[1], p3[2] - p2[2]};
  const float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                      a[0] * b[1] - a[1] * b[0]};
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
  const Point n0 = ToWorld(context, camera, -a, b, nearDistance);
  const Point n1 = ToWorld(context, camera, a, b, nearDistance);
  const Point n2 = ToWorld(context, camera, a, -b, nearDistance);
  const Point n3 = ToWorld(context, camera, -a, -b, nearDistance);
  const Point f0 = ToWorld(context, camera, -farA, farB, farDistance);
  const Point f1 = ToWorld(context, camera, farA, farB, farDistance);
  const Point f2 = ToWorld(context, camera, farA, -farB, farDistance);
  const Point f3 = ToWorld(context, camera, -farA, -farB, farDistance);
  SkyFrustum frustum{};
  MakePlaneFrom3Points(&frustum.planes[kNear], n2.xyz, n1.xyz, n0.xyz);
  MakePlaneFrom3Points(&frustum.planes[kTop], n0.xyz, n1.xyz, f1.xyz);
  MakePlaneFrom3Points(&frustum.planes[kRight], n1.xyz, n2.xyz, f2.xyz);
  MakePlaneFrom3Points(&frustum.planes[kBottom], n2.xyz, n3.xyz, f3.xyz);
  MakePlaneFrom3Points(&frustum.planes[kLeft], n3.xyz, n0.xyz, f0.xyz);
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
