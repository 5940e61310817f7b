// Sine, cosine and arctangent in angle units (512 to a turn), read from the math tables.
// Results: values; no failure.
#pragma once

// Interpolated between the two table entries around a.
float r3xSinUnits(float a);
float r3xCosUnits(float a);
// The table entry at trunc(a) & 511.
float r3xSinUnitsNearest(float a);
float r3xCosUnitsNearest(float a);

// The angle of the vector (x, y) as a whole number of units, 0 to 511, rounded down as the
// tangent table resolves it. *exact is 1 for an axis case or a ratio found in the table, else 0.
float r3xAtan2Units(float y, float x, int* exact);
