// The engine's own functions of light.h, which the public header leaves out.
// Results: a frame index or an intensity (values).
#pragma once

#include "engine/core/light.h"

// The frame whose intensity and colour the light shows: its current frame, or frame 0 (where
// the next frame step wraps to) for a current frame beyond the definition's frames.
std::uint32_t _r3xLightShownFrame(const R3xLight* light);

// Advances the frame of a light of several frames when the time is past its next change (the
// start time field): one frame, or with the catch-up flag (the light's word) as many as it is
// late. The next change then lies a delay ahead; a delay of 0 steps one frame.
void _r3xAdvanceLightFrame(R3xLight* light, std::uint32_t now);
// The intensity of the light's definition at the time, its frame advanced first.
float _r3xCurrentLightIntensity(R3xLight* light, std::uint32_t now);
