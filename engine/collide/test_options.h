// The options of the obstacle tests (a sweep's mode).
// Results: records and constants only.
#pragma once

#include <cstdint>

#include "engine/collide/sweep.h"

// Report when the sphere's surface reaches the feature.
inline constexpr std::uint32_t R3X_TEST_TOUCH = 0x1;
// R3X_SWEEP_EXACT (0x2): exact times of impact for vertex features instead of the estimate
// "distance minus radius". R3X_TEST_CROSS (0x4): also report when the centre crosses a line,
// plane or polygon.
// Line, plane and polygon tests also find when the sphere gets wholly behind the feature, and
// with R3X_TEST_LEAVE_TIME when.
inline constexpr std::uint32_t R3X_TEST_LEAVE = 0x10;
inline constexpr std::uint32_t R3X_TEST_LEAVE_TIME = 0x20;
// Bounding-box pre-tests before vertex and edge tests.
inline constexpr std::uint32_t R3X_TEST_BOX = 0x80;
// What a sphere list's bounding sphere is tested with against lines, planes and polygons: touch,
// cross and box (0x8 and 0x40 are read by no test).
inline constexpr std::uint32_t R3X_TEST_LIST_BOUNDS = 0xCD;
