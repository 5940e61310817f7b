// The camera's image in a frame whose 3D view is not drawn.
#pragma once

struct R3xCamera;

// Fills the camera's whole image with 0xFF; no camera, or one without an image, is left alone. The
// image is as large as the camera says, so the fill never runs past it.
void ClearCameraImage(const R3xCamera* camera);
