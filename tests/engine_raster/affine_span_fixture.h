// The span fixture with the affine routines' inputs: u and v at the origin x, their per-pixel
// changes and the 10.22 steps the drawer makes of them.
#pragma once

#include <cstdint>

#include "engine/raster/raster_numeric_internal.h"
#include "tests/engine_raster/persp_span_fixture.h"

class AffineSpanTest : public PerspSpanTest {
 protected:
  void SetAffine(float originX, float u, float uDx, float v, float vDx) {
    R3xSpanState& span = render_->span;
    span.lightOriginX = originX;
    span.interpolants[0] = u;
    span.interpolants[1] = v;
    span.xGradients[0] = uDx;
    span.xGradients[1] = vDx;
    span.uStep = _r3xFixed22(uDx);
    span.vStep = _r3xFixed22(vDx);
  }
  // A 256 x 1 level whose texel is its column, and u = x + 0.5: pixel x shows texel x mod 256.
  void SetColumnSpan() {
    Bytes texels(256);
    for (std::size_t i = 0; i < texels.size(); ++i) {
      texels[i] = static_cast<std::uint8_t>(i);
    }
    SetTexture(texels, 256, 1);
    SetAffine(0.0f, 0.5f, 1.0f, 0.0f, 0.0f);
  }
};
