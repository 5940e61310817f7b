// The 3D board's calls, as the game makes them: board 0, texture unit 0, 640 x 480.
#pragma once

#include "platform/glide/glide_types.h"
#include "platform/window/handles.h"

void grGlideInit();
void grGlideShutdown();
// The number of boards: always 1, the software board.
int grSstQueryHardware(GrHwConfiguration* config);
void grSstSelect(int board);
FxBool grSstWinOpen(HWND window, int resolution, int refresh, int colorFormat, int origin,
                    int colorBuffers, int auxBuffers);

// Clears the clip window: colour when colour writes are on, depth when depth writes are on.
void grBufferClear(GrColor color, FxU8 alpha, FxU16 depth);
// Exchanges the front and back buffers (both keep their contents) and shows the new front
// buffer; an interval of 1 waits for the next 60 Hz frame.
void grBufferSwap(int swapInterval);
int grBufferNumPending();

void grColorMask(FxBool rgb, FxBool alpha);
void grDepthMask(FxBool enable);
void grDepthBufferMode(int mode);
void grDepthBufferFunction(int function);
void grDepthBiasLevel(FxI32 level);
void grFogMode(int mode);
void grFogColorValue(GrColor color);
void grFogTable(const FxU8 table[GR_FOG_TABLE_SIZE]);
void grAlphaBlendFunction(int rgbSrc, int rgbDst, int alphaSrc, int alphaDst);
void grAlphaCombine(int function, int factor, int local, int other, FxBool invert);
void grColorCombine(int function, int factor, int local, int other, FxBool invert);
void grTexCombine(int tmu, int rgbFunction, int rgbFactor, int alphaFunction, int alphaFactor,
                  FxBool rgbInvert, FxBool alphaInvert);
void grTexFilterMode(int tmu, int minFilter, int magFilter);
void grTexClampMode(int tmu, int sClamp, int tClamp);
void grTexMipMapMode(int tmu, int mode, FxBool lodBlend);
void grTexLodBiasValue(int tmu, float bias);
FxU32 grTexMinAddress(int tmu);
FxU32 grTexMaxAddress(int tmu);
FxU32 grTexTextureMemRequired(int evenOdd, const GrTexInfo* info);
// Copies all levels (largest first, contiguous at info->data) to texture memory at `start`;
// a download that does not fit in the memory is refused and writes nothing.
void grTexDownloadMipMap(int tmu, FxU32 start, int evenOdd, const GrTexInfo* info);
void grTexSource(int tmu, FxU32 start, int evenOdd, const GrTexInfo* info);
void grTexDownloadTable(int tmu, int type, const void* data);
void grChromakeyMode(int mode);
void grChromakeyValue(GrColor value);
void grClipWindow(FxU32 left, FxU32 top, FxU32 right, FxU32 bottom);
// Switches off blending, chroma keying, fog and depth buffering.
void grDisableAllEffects();
void grGlideGetState(GrState* state);
void grGlideSetState(const GrState* state);

FxBool grLfbLock(int type, int buffer, int writeMode, int origin, FxBool pixelPipeline,
                 GrLfbInfo* info);
FxBool grLfbUnlock(int type, int buffer);
// Copies a region of a colour buffer as RGB565 rows `strideInBytes` apart.
FxBool grLfbReadRegion(int buffer, FxU32 x, FxU32 y, FxU32 width, FxU32 height, FxU32 strideInBytes,
                       void* destination);

// A convex polygon of `count` vertices (fewer than 3 draw nothing).
void grDrawPolygonVertexList(int count, const GrVertex vertices[]);
void grDrawLine(const GrVertex* a, const GrVertex* b);
void grDrawPoint(const GrVertex* point);
