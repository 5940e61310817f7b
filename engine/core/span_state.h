// The span state: the render context's block through which the software polygon drawers hand
// the polygon being drawn to their span routines (a span routine fills one run of pixels of one
// scan line), and the inputs that only those drawers read.
// Fixed-point words: 12.20 for light and fog values and steps, 10.22 for texture coordinates.
// Results: records only.
#pragma once

#include <cstdint>

#include "engine/core/render_work_arrays.h"

struct R3xRenderContext;
struct R3xRegionFace;

// A span routine: fills pixels first x .. first x + count - 1 of the current scan line.
using R3xSpanRoutine = void (*)(R3xRenderContext* context, std::int32_t x, std::int32_t count);

// Constant-depth line kinds.
inline constexpr std::int32_t R3X_DEPTHLINE_ROWS = 1;
inline constexpr std::int32_t R3X_DEPTHLINE_COLUMNS = 2;
inline constexpr std::int32_t R3X_DEPTHLINE_HORIZONTAL = 3;
// Positions of the row kind.
inline constexpr std::int32_t R3X_DEPTHLINE_12_20 = 0;
inline constexpr std::int32_t R3X_DEPTHLINE_16_16 = 1;

// The parameters of the constant-depth line method; the segments are the work arrays' line
// segment records, and a sentinel record, whose position alone is set, follows the last one.
struct R3xDepthLines {
  std::int32_t kind;
  std::int32_t precision;
  // Pixels in x per scan line along a line (rows), scan lines per pixel (columns); float and
  // 12.20.
  float slope;
  std::int32_t slopeFixed;
  float inverseSlope;
  std::int32_t inverseSlopeFixed;
  std::int32_t firstRow;
  std::int32_t firstColumn;
  std::int32_t lastColumn;
  std::int32_t firstLine;
  std::int32_t lastLine;
  std::uint32_t segmentCount;
};

// A light edge of the light spot, sorted by x on the current row; the 8-bit path uses the first
// light word only.
struct R3xLightEdge {
  std::int32_t endRow;
  float x;
  float xStep;
  float light[3];
  float lightStep[3];
};

struct R3xSpanState {
  // Shading: the shade table data (16 levels of 256 bytes per fog level), the one row of it for
  // a polygon of one level, and the flat colour's palette index in the low byte.
  const std::uint8_t* shadeData;
  const std::uint8_t* shadeRow;
  std::uint32_t flatColour;
  // Pixel 0 of the current scan line (the column pass: row 0 of the current column).
  std::uint8_t* destination;
  // The scan line being drawn and its first pixel of the polygon, from which the 16-pixel groups
  // and the light edges' breaks are counted.
  std::int32_t currentRow;
  std::int32_t gridX;
  // Light and fog: values at the origin x, per-pixel gradients and their 12.20 steps.
  float lightOriginX;
  float light;
  float lightStep;
  std::int32_t lightStepFixed;
  float fog;
  float fogStep;
  std::int32_t fogStepFixed;
  // The texture level being drawn.
  const std::uint8_t* texels;
  std::uint32_t textureHeight;
  std::uint32_t textureWidth;
  std::int32_t widthShift;
  std::uint32_t vMask;
  std::uint32_t uMask;
  std::int32_t vShift;
  // u/z, v/z and 1/z at x = 0 of the current scan line (affine routines: u and v at the origin
  // x; horizontal constant-depth routines: u and v at x = 0), and their gradients.
  float interpolants[3];
  float xGradients[3];
  float yGradients[3];
  float xGradients16[3];
  // Affine steps of u and v, 10.22.
  std::int32_t vStep;
  std::int32_t uStep;
  // Constant-depth lines: the second segment record, the image's row pitch for the column pass
  // and the per-column run lists.
  R3xLineSegment* lineSegments;
  std::int32_t columnPitch;
  R3xScanlineList* columnRuns;
  R3xDepthLines depthLines;
  // What a driver calls for each piece of a span.
  R3xSpanRoutine routine;
  // The light spot: its screen position and row, its light, the light edges, and the right end
  // of the current row with its light.
  float spotX;
  float spotY;
  std::int32_t spotRow;
  float spotLight[3];
  std::uint32_t edgeCount;
  std::uint32_t edgeCapacity;
  R3xLightEdge* edges;
  float spanEndX;
  float spanEndLight[3];
  // The colour path. The face's palette colours: 256 entries of red, green, blue and an ignored
  // byte (the attached palette's, a bitmap's own colour table or the modified copy). Green and
  // blue light at the origin x with their gradients and 12.20 steps (red uses the light fields).
  const std::uint8_t* paletteColours;
  float green;
  float greenStep;
  std::int32_t greenStepFixed;
  float blue;
  float blueStep;
  std::int32_t blueStepFixed;
  // Pixel 0 of the current scan line of the 16-bit image (the texel stage writes its indexes
  // through destination, which points at the scratch row).
  std::uint16_t* destination16;
  // The colour stage (texel indexes or the flat colour to colours) and the output stage (colours
  // to pixels), and the rows between the stages, indexed by column like the image row (owned,
  // rowCapacity columns each; made with the colour attachment).
  R3xSpanRoutine colourRoutine;
  R3xSpanRoutine outputRoutine;
  // The colour routine that the light spot's colour stage hands its pieces to.
  R3xSpanRoutine savedColourRoutine;
  std::uint8_t* scratchRow;
  std::uint32_t* colourRow;
  std::int32_t rowCapacity;
  // The 256 colours that face-wide light and fog are applied to (owned, as the palette colours).
  std::uint8_t* colourBuffer;
};

// The columns of the colour path's rows: no image it draws into may be wider.
inline constexpr std::int32_t R3X_COLOUR_ROW_CAPACITY = 2048;
// Bytes of one palette colour (red, green, blue, ignored) and of the 256-colour buffer.
inline constexpr std::int32_t R3X_PALETTE_COLOUR_BYTES = 4;
inline constexpr std::int32_t R3X_COLOUR_BUFFER_BYTES = 256 * R3X_PALETTE_COLOUR_BYTES;

// What the software drawers read besides the span state: the 8-bit image, the frame's view
// inputs (set by the board's begin-frame too), the lights' and the fog's inputs, and the face
// being drawn (for the light spot; null turns the search off).
struct R3xRasterInputs {
  std::uint8_t* image;
  std::int32_t rowLength;
  std::int32_t width;
  std::int32_t height;
  std::uint32_t viewOrigin;
  // 2 / (width - 1) and 2 / (height - 1) of the view.
  float screenToView[2];
  // Automatic faces farther than the flat distance are drawn flat (keyed ones affine); nearer
  // ones of a smaller screen area than the perspective area are drawn affine. The area is the
  // view's times the area factor, the distance near + (far - near) x the MIP distance factor.
  float flatDistance;
  float perspectiveArea;
  float areaFactor;
  // Pixels handed to span routines in the frame.
  std::uint32_t pixelCount;
  float ambientLight;
  float viewerLight;
  float fogStart;
  // Weights of x^2 and y^2 in a clip-space distance.
  float fogWeights[2];
  const R3xRegionFace* currentFace;
  // Faces that may come out of order: each run keeps a depth line, and a nearer face wins over
  // it. The face's plane normal in view space builds the face's depth line.
  std::uint32_t depthSorting;
  float facePlane[3];
  // An object whose faces share one fog distance and one texture set-up (null: none); the
  // 8-bit drawer fogs its faces by that distance and keeps the span state's gradients.
  const void* currentObject;
  float currentObjectDistance;
  // The span routine of a pre-projected quad, which its caller sets with the span state's texels
  // and steps; null: such quads are not drawn.
  R3xSpanRoutine quadRoutine;
  // The colour path: the 16-bit image and the fog colour (red in bits 0-7, green 8-15, blue
  // 16-23; black unless set).
  std::uint16_t* image16;
  std::uint32_t fogColour;
};
