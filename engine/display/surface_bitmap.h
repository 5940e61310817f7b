// The bitmap a surface draws with, as the Glide passes resolve a surface's texture object.
#pragma once

struct R3xBitmap;
struct R3xSurface;

// The surface's bitmap, or the bitmap of a simple sprite's first frame; null for any other
// texture object, none, or a sprite without a first frame.
R3xBitmap* _r3xSurfaceBitmap(const R3xSurface* surface);
