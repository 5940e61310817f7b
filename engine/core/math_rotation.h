// Rotation matrices (3 x 3 floats, row-major) from and to heading, pitch and roll in angle units.
// Row 1 is the forward direction and row 3 the up direction; the world is z-up, heading turns
// from +x toward +y and pitch raises toward +z.
// Results: R3X_DONE, or R3X_ROTATION_DEGENERATE.
#pragma once

#include "engine/core/error.h"

// A matrix without a forward direction gives no angles.
inline constexpr int R3X_ROTATION_DEGENERATE = -1;

// From the table entries at trunc(angle + 0.5) & 511. Returns R3X_DONE.
int r3xAnglesToMatrix(float heading, float pitch, float roll, float* matrix);
// From the interpolated sine and cosine of each angle. Returns R3X_DONE.
int r3xAnglesToMatrixInterp(float heading, float pitch, float roll, float* matrix);

// Whole units through the table arctangent. R3X_DONE, or R3X_ROTATION_DEGENERATE with all three
// angles 0 when the matrix has no forward direction.
int r3xMatrixToAnglesTable(const float* matrix, float* heading, float* pitch, float* roll);
// Fractional units from 0 to 512 through the library arctangent. As above.
int r3xMatrixToAngles(const float* matrix, float* heading, float* pitch, float* roll);
