// The view volume as five planes in world space, against which the sky dome is culled and
// clipped cell by cell.
#pragma once

#include <array>
#include <cstdint>

struct R3xCamera;
struct R3xRenderContext;

struct SkyPlane {
  float normal[3];
  float distance;
};

// In the order bottom, top, left, right, near; plane i carries clip-mask bit 1 << i (the render
// context's R3X_CLIP_ bits). Normals point into the view volume.
struct SkyFrustum {
  std::array<SkyPlane, 5> planes;
};

// normal = normalise((p1 - p2) x (p3 - p2)), distance = normal . p2. 0.
std::int32_t MakePlaneFrom3Points(SkyPlane* plane, const float p1[3], const float p2[3],
                                  const float p3[3]);
// The view volume between the near and far distances of the render context, turned into the
// world by its view rotation and moved to the camera.
SkyFrustum MakeSkyFrustum(const R3xRenderContext& context, const R3xCamera& camera);
// -1 when the box lies wholly outside one of the planes, else the bits of the planes it crosses
// (0 wholly inside).
std::int32_t ComputeBoxOutcode(const SkyFrustum& frustum, const float min[3], const float max[3]);
