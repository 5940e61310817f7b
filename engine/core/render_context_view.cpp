// The view matrix and the sphere test of a render context.
#include "engine/core/camera.h"
#include "engine/core/error.h"
#include "engine/core/math_tables.h"
#include "engine/core/math_trig.h"
#include "engine/core/render_context.h"

namespace {

// The half fields of view whose cotangent the math tables hold.
constexpr float kFirstFov = 1.0f;
constexpr float kEndFov = 128.0f;

float column(const float* view, int c, float x, float y, float z) {
  return view[c] * x + view[3 + c] * y + view[6 + c] * z;
}

// False when the sphere lies wholly outside one of the planes of an axis that the mask selects;
// otherwise adds the flags of the selected planes that it crosses.
bool testPlanePair(std::uint32_t mask, std::uint32_t firstFlag, float factor, float crossFactor,
                   float depth, float offset, float radius, std::uint32_t* flags) {
  const float sides[2] = {factor * depth + offset, factor * depth - offset};
  for (int k = 0; k < 2; ++k) {
    const std::uint32_t flag = firstFlag << k;
    if ((mask & flag) == 0) {
      continue;
    }
    const float s = sides[k];
    if (s * s <= crossFactor * radius * radius) {
      *flags |= flag;
    } else if (s < 0.0f) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::int32_t r3xSetViewMatrix(R3xRenderContext* context, const R3xCamera* camera) {
  const float half = camera->halfFieldOfView;
  if (!(half >= kFirstFov && half < kEndFov)) {
    return R3X_ERR_BAD_FOV;
  }
  const float cH = r3xCosUnits(camera->heading);
  const float sH = r3xSinUnits(camera->heading);
  const float cP = r3xCosUnits(camera->pitch);
  const float sP = r3xSinUnits(camera->pitch);
  const float cR = r3xCosUnits(camera->roll);
  const float sR = r3xSinUnits(camera->roll);
  float* v = context->view;
  v[0] = cH * sR * sP + cR * sH;
  v[1] = sR * sH - cH * cR * sP;
  v[2] = cP * cH;
  v[3] = sR * sP * sH - cR * cH;
  v[4] = -sR * cH - cR * sP * sH;
  v[5] = cP * sH;
  v[6] = -sR * cP;
  v[7] = cR * cP;
  v[8] = sP;

  const auto k = static_cast<int>(half);
  const float f = gR3xMathTables->tangents[k].cotangent;
  const float g = camera->aspect * f;
  const float factors[2] = {f, g};
  for (int c = 0; c < 2; ++c) {
    for (int row = 0; row < 3; ++row) {
      context->clipColumns[c][row] = v[row * 3 + c] * factors[c];
      context->screenColumns[c][row] = context->clipColumns[c][row] * context->screenFactors[c];
    }
  }
  context->projection[0] = f;
  context->projection[1] = g;
  context->projection[2] = 1.0f / (f * f);
  context->projection[3] = 1.0f / (g * g);
  return R3X_DONE;
}

std::int32_t r3xSphereInView(R3xRenderContext* context, float x, float y, float z, float radius) {
  const std::uint32_t mask = context->planeMask;
  if (mask == 0) {
    return R3X_SPHERE_IN_VIEW;
  }
  x += context->translation[0];
  y += context->translation[1];
  z += context->translation[2];
  const float* view = context->view;
  const float depth = column(view, 2, x, y, z);
  const float a = column(view, 0, x, y, z);
  const float b = column(view, 1, x, y, z);
  if (depth + radius < context->nearDistance || depth - radius > context->farDistance) {
    return 0;
  }
  const float* factors = context->frustumFactors;
  std::uint32_t flags = 0;
  if (!testPlanePair(mask, R3X_CLIP_BOTTOM, factors[1], factors[3], depth, b, radius, &flags) ||
      !testPlanePair(mask, R3X_CLIP_LEFT, factors[0], factors[2], depth, a, radius, &flags)) {
    return 0;
  }
  if (depth - radius <= context->nearDistance) {
    flags |= R3X_CLIP_NEAR;
  }
  if (depth + radius >= context->farDistance) {
    flags |= R3X_CLIP_FAR;
  }
  context->clipFlags = flags;
  return R3X_SPHERE_IN_VIEW;
}
