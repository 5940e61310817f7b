// The 8-bit drawer's choice, once per face, of the set-up that fills the span state, the shading
// mode, and the opaque or colour-keyed span routine, with a generic routine swapped for the
// member made for the texture level's size, and the light spot's driver put in front of it.
// Results: 0, R3X_SPAN_CHOICE_REFUSED or R3X_SPAN_CHOICE_FAILED.
#pragma once

#include <cstdint>

struct R3xRenderContext;
struct R3xSurface;
struct R3xFaceDraw;

// The face is not drawn: its texture has no level the span routines can draw (none at all, or
// one wider or higher than 512 texels, which the 10.22 coordinates cannot address and the size
// tables hold no routine for).
inline constexpr std::int32_t R3X_SPAN_CHOICE_REFUSED = 1;
// The constant-depth line set-up or the column lists could not grow.
inline constexpr std::int32_t R3X_SPAN_CHOICE_FAILED = -1;

// The shading mode of the face (1 to 5); a kind without routines is drawn as a flat fill, and so
// is a flat face below 1/16 of light that is not keyed
// becomes a flat fill (kind 0); an affine face whose family the size tables do not hold yet is
// drawn in perspective.
void _r3xChooseShadingMode8(R3xFaceDraw* face);

// Runs the face's set-up and fills its routines and the span state's per-face fields.
std::int32_t _r3xChooseSpanRoutines8(R3xRenderContext* context, const R3xSurface* surface,
                                     R3xFaceDraw* face);
