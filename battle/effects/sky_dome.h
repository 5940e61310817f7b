// Everything behind the arena's world in a 3D frame: a dome of 16 x 16 cells over the camera in
// the colours of the time of day under a far and a near cloud layer that drift, the sun and the
// moon as squares that face the camera, and a flat ground beyond the world's far distance.
#pragma once

#include <cstdint>

struct SkyState;

// The dome's grid: 17 x 17 points 1024 apart, centred on the camera.
inline constexpr int kSkyDomeCells = 16;
inline constexpr int kSkyDomePoints = kSkyDomeCells + 1;

// The height above the camera of dome grid point (row, column), 0 to 16 each: a cap of a sphere
// of radius 12000 whose centre lies 11500 below the camera.
float SkyDomeHeight(int row, int column);
// The gradient entry (0 at the top of the dome, 16 at the horizon) of a vertex at world height z.
int SkyGradientEntry(float z);

// A dome vertex's colour, each channel / 256.
struct SkyDomeColour {
  float red;
  float green;
  float blue;
};
// The colour of a dome vertex at world height z: blend x gradient row `step` + (1 - blend) x the
// row after it (row 0 after row 59).
SkyDomeColour SkyDomeVertexColour(std::int32_t step, float blend, float z);

// Draws the sky of the frame after the clear and the frame's start and before the world, and
// writes the sun's and the moon's positions into the state. In rain the dome is left out and the
// clear colour is the sky. 0; R3X_ERR_FAILED without drawing when the render context cannot draw
// through the board, or after what was drawn when a bitmap is missing or cannot be made resident
// (depth writes and table fog are on again then).
std::int32_t DrawSky(SkyState* sky);
