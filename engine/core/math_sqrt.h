// Square root and inverse square root: a seed from the math tables and two Newton steps.
// Results: values; no failure.
#pragma once

// 1 / sqrt(x); for 0 a huge but finite factor, so that 0 times it stays 0.
float r3xInvSqrt(float x);
// x * r3xInvSqrt(x); the square root of 0 is 0.
float r3xSqrt(float x);
