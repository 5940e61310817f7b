// The intensity of the global ambient light at each time-of-day step: step 14 is full day,
// step 44 full night; the dawn runs from 44 through 59 and 0 to 13, the dusk from 14 to 43.
#pragma once

#include <array>

inline constexpr int kTimeOfDaySteps = 60;
inline constexpr int kFullDayStep = 14;
inline constexpr int kFullNightStep = 44;
// The step a session starts at, before the server sends its time of day.
inline constexpr int kInitialTimeOfDayStep = 15;

inline constexpr std::array<float, kTimeOfDaySteps> AmbientTable{
    0.5f,  0.58f, 0.58f, 0.62f, 0.62f, 0.74f, 0.74f, 0.78f, 0.78f, 0.84f, 0.84f, 0.92f,
    0.92f, 1.0f,  1.0f,  0.96f, 0.92f, 0.92f, 0.92f, 0.84f, 0.84f, 0.78f, 0.78f, 0.78f,
    0.7f,  0.7f,  0.6f,  0.54f, 0.54f, 0.54f, 0.44f, 0.4f,  0.38f, 0.38f, 0.3f,  0.28f,
    0.24f, 0.2f,  0.18f, 0.14f, 0.1f,  0.08f, 0.04f, 0.02f, 0.0f,  0.02f, 0.04f, 0.08f,
    0.1f,  0.14f, 0.18f, 0.2f,  0.28f, 0.28f, 0.38f, 0.38f, 0.38f, 0.44f, 0.44f, 0.5f,
};

static_assert(AmbientTable[kFullDayStep] == 1.0f && AmbientTable[kFullNightStep] == 0.0f);
