// Swept tests of a moving sphere against a line (XY_LINE, in x and y) and a plane: whether it
// starts behind, when its surface touches, when its centre crosses and when it gets wholly
// behind.
// Results: nothing; the touch is written to the sweep result.
#pragma once

#include <cstdint>

struct R3xSweepSegment;
struct R3xSweepResult;
struct R3xXYLine;
struct R3xPlane;

// A line of length 0 (through one point) stops nothing: no touch, no crossing, no leave.
void _r3xSweepCircleLine2D(const R3xSweepSegment* segment, const R3xXYLine* line,
                           std::uint32_t options, R3xSweepResult* result);
void _r3xSweepSpherePlane(const R3xSweepSegment* segment, const R3xPlane* plane,
                          std::uint32_t options, R3xSweepResult* result);

// Clears every flag of the result: what the line and edge tests report for a line or edge of
// length 0.
void _r3xClearSweepResult(R3xSweepResult* result);

// The first steps that the line, plane, XY edge and polygon tests share, given the signed
// distances ds and de of start and end: clears the flags, finds the leave (the sphere getting
// wholly behind), and mirrors ds and de so that the start lies in front (a start behind sets
// startsBehind; a start on the plane moving behind mirrors only de).
void _r3xBeginPlaneSweep(float* ds, float* de, float radius, float distance, std::uint32_t options,
                         R3xSweepResult* result);
