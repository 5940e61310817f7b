// Operations on 3-vectors of floats. The output may be one of the inputs.
// Results: values, or 0 from the operations that write their output.
#pragma once

float r3xDot3(const float* a, const float* b);
// out = a x b; returns 0.
int r3xCross3(const float* a, const float* b, float* out);
// out = in / |in| through the inverse square root; a zero vector stays zero. Returns 0.
int r3xNormalize3(const float* in, float* out);
