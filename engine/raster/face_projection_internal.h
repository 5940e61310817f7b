// What both software drawers do to a clipped face between lighting and span choice: the depth
// line of its plane, and the projection to the screen with the box, its extreme vertices and the
// automatic kind's choice.
// Results: none.
#pragma once

struct R3xClipVertex;
struct R3xFaceDraw;
struct R3xRenderContext;

// The depth line a x + b y + c of the face's plane through the clip-space vertex q (biased with
// R3X_METHOD_DEPTH_BIAS).
void _r3xBuildDepthLine(const R3xRenderContext* context, const R3xClipVertex& q, R3xFaceDraw* face);
// Projects the clipped vertices to the screen, finding the box and its extreme vertices, and
// settles the automatic kind by the smallest depth (flat beyond the flat distance, affine when
// keyed) and the box's area.
void _r3xProjectFace(const R3xRenderContext* context, R3xFaceDraw* face);
