// Render contexts: the drawing state of one view that the engine's back ends share: the view
// matrix and projection factors built from the camera, the sphere test against the view, the
// indirect render methods, fog, the shade table, the output mode and the software drawers'
// routines, tables and work arrays.
// Results: 0 or R3X_DONE, or a negative R3X_ERR_ or R3X_FOG_ code; R3X_SPHERE_ answers.
#pragma once

#include <cstdint>

#include "engine/core/error.h"
#include "engine/core/raster_routines.h"
#include "engine/core/render_method.h"
#include "engine/core/render_work_arrays.h"
#include "engine/core/span_state.h"
#include "engine/core/surface.h"
#include "platform/gdi/palette_entry.h"

struct R3xWorld;
struct R3xCamera;
struct R3xPalette;
struct R3xShadeTable;
struct R3xRenderDevice;
struct R3xGlideContext;
struct R3xObjectHeader;
struct R3xObjectEntry;
struct R3xActor;

struct R3xVertex3 {
  float xyz[3];
};

inline constexpr std::uint32_t R3X_VERTEX_POOL_SIZE = 1024;
inline constexpr std::int32_t R3X_MODULATION_LEVELS = 64;
inline constexpr std::int32_t R3X_MODULATION_VALUES = 256;
inline constexpr std::uint8_t R3X_DEFAULT_TRANSPARENT_INDEX = 253;

// Fog modes.
inline constexpr std::int32_t R3X_FOG_OFF = 0;
inline constexpr std::int32_t R3X_FOG_MODE_1 = 1;
inline constexpr std::int32_t R3X_FOG_MODE_2 = 2;
// r3xSetFogMode's own codes.
inline constexpr std::int32_t R3X_FOG_BAD_MODE = -1;
inline constexpr std::int32_t R3X_FOG_BAD_DISTANCE = -2;
inline constexpr std::int32_t R3X_FOG_NOT_READY = -3;
// r3xSphereInView's answers.
inline constexpr std::int32_t R3X_SPHERE_OUTSIDE = 0;
inline constexpr std::int32_t R3X_SPHERE_IN_VIEW = 1;

// Output modes.
inline constexpr std::int32_t R3X_MODE_PALETTISED = 0;
inline constexpr std::int32_t R3X_MODE_COLOUR = 1;

// Clip flags of the sphere test and planes of its mask.
inline constexpr std::uint32_t R3X_CLIP_BOTTOM = 0x01;
inline constexpr std::uint32_t R3X_CLIP_TOP = 0x02;
inline constexpr std::uint32_t R3X_CLIP_LEFT = 0x04;
inline constexpr std::uint32_t R3X_CLIP_RIGHT = 0x08;
inline constexpr std::uint32_t R3X_CLIP_NEAR = 0x10;
inline constexpr std::uint32_t R3X_CLIP_FAR = 0x20;

// An actor the world draw chose a part of, in a region being drawn.
struct R3xActorWorkEntry {
  const R3xObjectEntry* entry;
  R3xActor* actor;
  std::int32_t partIndex;
  R3xObjectHeader* part;
};

// Placed at a 32-byte boundary inside its allocation. The fields are grouped by who writes
// them: core's calls; core's frame set-up and visible-region walk, which every back end runs;
// the board path (the Glide back end and what draws through it); and the software drawers.
struct alignas(32) R3xRenderContext {
  // ---- Core: made at creation and changed only through core's calls. ----

  // The allocation the record lies in.
  void* allocation;

  // Output: the palette's colours in colour mode (r3xGlideAttach sets them too), and the
  // 64 x 256 modulation table (owned, built at the first colour attachment).
  const PALETTEENTRY* paletteColours;
  std::uint8_t* modulation;

  // Shading: the attached shade table (not owned) and its data.
  R3xShadeTable* shadeTable;
  const std::uint8_t* shadeData;

  // For drawing without a surface of its own.
  R3xSurface surface;

  // Read by no drawing code.
  std::uint32_t optionWord;
  std::uint8_t transparentIndex;

  // View, set by r3xSetViewMatrix: row-major rows (right, up, forward as columns: the third
  // column is the view direction), the first two columns times the projection factors f and g,
  // and those times the back end's two screen factors.
  float view[9];
  float clipColumns[2][3];
  float screenColumns[2][3];
  float screenFactors[2];
  // f = cotangent of the half field of view, g = aspect x f, 1 / f^2, 1 / g^2.
  float projection[4];

  std::uint32_t vertexPoolCapacity;
  R3xVertex3* vertexPool;
  std::uint32_t vertexPoolCount;

  // Device: its Direct3D block.
  void* direct3D;

  // Made here; the back ends fill them while drawing.
  R3xRenderWorkArrays work;

  R3xIndirectRenderMethods indirect;

  // Fog: mode 0 off, 1 or 2 on; distance d, 0.99999 / d and d x 0.062499374.
  std::int32_t fogMode;
  float fogDistance;
  float fogScale;
  float fogStep;

  // The clip flags of r3xSphereInView's last test.
  std::uint32_t clipFlags;

  std::int32_t depthBuffering;

  // Constants for the drawers.
  std::int32_t mipSwitch;
  // 4^0 to 4^8.
  float mipThresholds[9];
  float spotThreshold;
  float subdivisionCosine;
  float mipDistanceFactor;

  // Mode: the mode, the device's bits per pixel and 16-bit pixel format (1 to 4).
  std::int32_t mode;
  std::int32_t bitsPerPixel;
  std::int32_t pixelFormat;

  // Read by no drawing code.
  std::int32_t dynamicLighting;
  // Read by the software rasterizer's light-spot search.
  std::uint32_t pointLightMode;
  // 1 when a device was given at creation.
  std::int32_t deviceAttached;

  // ---- The frame: core's frame set-up (frame_view.h) and visible-region walk
  // (visible_regions.h), the same for every back end. ----

  // Frustum inputs: near and far distances; added to a world point to make it camera-relative.
  float nearDistance;
  float farDistance;
  float translation[3];
  // The half view width and height in pixels.
  float halfViewWidth;
  float halfViewHeight;
  // The frame's world time.
  std::uint32_t worldTime;
  // The regions drawn in the last frame.
  std::uint32_t regionCount;

  // The fog distance the world draw gives its queued polygons (the fog distance in mode 2, else
  // 0), and that of the polygon being drawn; only the software drawers read it.
  float queuedFogDistance;

  // Sphere test: the planes to test (R3X_CLIP_BOTTOM to R3X_CLIP_RIGHT) and the frustum factors
  // (1 / f, 1 / g, 1 + 1 / f^2, 1 + 1 / g^2). The plane mask is the region's clip flags; the
  // board path narrows it for a 3D sprite.
  std::uint32_t planeMask;
  float frustumFactors[4];

  // The lights of the region being drawn (point and directional light objects, the directional
  // ones first), the light that the lighting skips, the view light (0 is off) and the planes the
  // polygon being drawn crosses (the region's clip flags; the board path narrows them for a 3D
  // sprite and the sky sets its own).
  std::uint32_t lightCount;
  R3xObjectHeader* const* lights;
  const R3xObjectHeader* excludedLight;
  float viewLight[3];
  std::uint32_t clipMask;

  // Visibility: one stamp per region (owned, regionStampCapacity of them), the stamp that marks
  // a region visible in this frame, and the region whose visible list the stamps hold (-1 none).
  std::uint32_t regionStampCapacity;
  std::uint32_t* regionStamps;
  std::uint32_t visitStamp;
  std::int32_t lastDecodedRegion;
  // The actors of the region being drawn (owned, actorWorkCapacity of them).
  std::uint32_t actorWorkCapacity;
  R3xActorWorkEntry* actorWork;

  // ---- The board path: the Glide back end and what draws through it. ----

  // Its context and flag (set by r3xGlideAttach).
  R3xGlideContext* glide;
  std::int32_t glideFlag;
  // The polygons drawn in the last frame (the frame set-up zeroes the count).
  std::uint32_t polygonCount;
  // What the world draw sets for the polygon drawer: the region's ambient colour and the normal
  // of the polygon being drawn.
  float ambient[3];
  float polygonNormal[3];

  // ---- The software drawers: their routines, which core installs from the table they register
  // (raster_routines_internal.h). ----

  // The polygon drawer of the mode; by the 16-bit pixel format, the output of a colour row, the
  // palette-to-16-bit output and the flat fill.
  R3xPolygonDrawer drawPolygon;
  R3xSpanRoutine spanOutput16;
  R3xSpanRoutine spanOutput16b;
  R3xSpanRoutine spanFill16;
  // The software drawers' span state (its light-edge array owned) and their other inputs.
  R3xSpanState span;
  R3xRasterInputs raster;
};

// A context with indirectCount indirect render methods (each 7 at first), its work arrays,
// transparent index 253, fog distance 1.0 and the registered palettised drawer (see
// raster_routines.h), reading the render device's Direct3D block when a device is given. Null,
// with nothing left, when out of memory.
R3xRenderContext* CreateRenderContext(std::uint32_t indirectCount, R3xRenderDevice* device);
// Frees the context with everything it owns; with destroyShadeTable also destroys the attached
// shade table in the world. R3X_DONE (also for null), or the shade table destruction's error.
std::int32_t r3xDestroyRenderContext(R3xWorld* world, R3xRenderContext* context,
                                     std::int32_t destroyShadeTable);

// Entry index & 0x7FFFFFFF of the indirect table. R3X_DONE, or R3X_ERR_BAD_RENDER_METHOD when the
// index is not below the entry count or the method is itself indirect.
std::int32_t r3xSetIndirectRenderMethod(R3xRenderContext* context, std::uint32_t index,
                                        R3xRenderMethod method);
// Attaches the shade table (null: none), with destroyOld first destroying the attached one in
// the world unless it is the same table. A table that is not fog-ready switches fog off. 0.
std::int32_t r3xSetRenderShadeTable(R3xWorld* world, R3xRenderContext* context,
                                    R3xShadeTable* table, std::int32_t destroyOld);
// Mode 0 switches fog off. Modes 1 and 2 need the colour mode or a fog-ready shade table
// (R3X_FOG_NOT_READY otherwise); other modes give R3X_FOG_BAD_MODE. The mode is then stored, and
// the distance must be positive (R3X_FOG_BAD_DISTANCE otherwise). 0.
std::int32_t r3xSetFogMode(R3xRenderContext* context, std::int32_t mode, float distance);
// Mode 0: the palettised drawer. Other modes need the palette (R3X_ERR_FAILED without one):
// the colour drawer with the palette's colours, the modulation table and the colour drawer's
// rows and 256-colour buffer (made once; R3X_ERR_FAILED when they cannot be). The device's bits per
// pixel are stored (0 without one), and a 16-bit device's pixel format with the 16-bit span
// routines of that format. The drawers and routines are the registered ones (see
// raster_routines.h); none are installed while none are registered. 0.
std::int32_t r3xAttachRenderDevice(R3xRenderContext* context, std::int32_t mode,
                                   R3xRenderDevice* device, const R3xPalette* palette);

// Builds the view matrix and projection factors from the camera's angles (interpolated sine and
// cosine), half field of view and aspect. R3X_DONE, or R3X_ERR_BAD_FOV, with nothing stored, unless
// the half field of view truncates to 1 to 127.
std::int32_t r3xSetViewMatrix(R3xRenderContext* context, const R3xCamera* camera);
// R3X_SPHERE_OUTSIDE when the sphere lies outside the view volume, else R3X_SPHERE_IN_VIEW with
// the planes it crosses stored as the clip flags. With no planes in the mask, R3X_SPHERE_IN_VIEW
// without a test.
std::int32_t r3xSphereInView(R3xRenderContext* context, float x, float y, float z, float radius);

std::int32_t r3xSetTransparentIndex(R3xRenderContext* context, std::uint8_t index);
std::int32_t r3xSetRenderOptionWord(R3xRenderContext* context, std::uint32_t word);
std::int32_t r3xSetDepthBuffering(R3xRenderContext* context, std::int32_t on);
std::int32_t r3xSetDynamicLighting(R3xRenderContext* context, std::int32_t flag);
std::int32_t r3xSetPointLightMode(R3xRenderContext* context, std::uint32_t word);
std::uint32_t r3xGetPolygonCount(const R3xRenderContext* context);
std::uint32_t r3xGetRegionCount(const R3xRenderContext* context);
