// The work arrays that a render context keeps for the software polygon drawers: fixed-size
// records that only the drawers interpret, made with the context and freed with it.
// Results: records only.
#pragma once

#include <cstdint>

// The drawers' record shapes, by size.
struct R3xTransformedVertex {
  float words[6];
};
// A vertex of the lighting and clipping routines; light channels run from 0 to 1.99999.
struct R3xClipVertex {
  float x;
  float y;
  float z;
  float red;
  float fog;
  float u;
  float v;
  float normal[3];
  float green;
  float blue;
};
struct R3xRenderVertex {
  std::uint32_t words[2];
};
// A run of pixels of one image row that a polygon of the image has covered: start x, end x
// (exclusive), and the drawer's depth at the start and per pixel (1e30 for a run that no later
// polygon may overdraw).
struct R3xCoveredRun {
  std::int32_t start;
  std::int32_t end;
  float depth;
  float depthSlope;
};
// A group of neighbouring lines of constant depth: the position of its first line (12.20 or
// 16.16), its length in lines in that format and as a pixel count, u and v on its first line with
// their first and second forward differences and quadratic coefficients, and what those ten
// values change by per row (per column).
struct R3xLineSegment {
  std::int32_t rowPosition;
  std::int32_t columnPosition;
  std::int32_t length;
  std::int32_t pixelCount;
  float u;
  float v;
  float du;
  float dv;
  float ddu;
  float ddv;
  float bu;
  float cu;
  float bv;
  float cv;
  float rowChanges[10];
};
// Rows start to end (exclusive) of one image column.
struct R3xScanPair {
  std::int32_t start;
  std::int32_t end;
};

// A list that the drawers grow by 16 records at a time.
struct R3xList16 {
  std::uint32_t capacity;
  R3xCoveredRun* records;
};

// The runs of one image column that a polygon covers: a dummy run first, the cursor at the
// last run (an index), and the stamp, the row after the last row recorded.
struct R3xScanlineList {
  std::uint32_t capacity;
  std::uint32_t count;
  R3xScanPair* pairs;
  std::uint32_t cursor;
  std::int32_t stamp;
};

struct R3xRenderWorkArrays {
  std::uint32_t vertexCapacity;
  R3xTransformedVertex* transformed;
  R3xClipVertex* clip[3];
  std::uint32_t renderVertexCapacity;
  R3xRenderVertex* renderVertices;
  std::uint32_t spanListCount;
  // One list per row, and a word per list.
  R3xList16* spanLists;
  std::uint32_t* spanWords;
  std::uint32_t edgeCapacity;
  R3xLineSegment* edges;
  std::uint32_t scanlineCount;
  R3xScanlineList* scanlines;
  // The 640-byte block with its capacity word, and the 12-byte and 4-byte blocks with their
  // count word.
  std::uint32_t rowBlockCapacity;
  std::uint8_t* rowBlock;
  std::uint32_t smallBlockCount;
  std::uint8_t* smallBlock12;
  std::uint8_t* smallBlock4;
};

inline constexpr std::uint32_t R3X_WORK_VERTICES = 32;
inline constexpr std::uint32_t R3X_WORK_RENDER_VERTICES = 512;
inline constexpr std::uint32_t R3X_WORK_SPAN_LISTS = 400;
inline constexpr std::uint32_t R3X_WORK_SPAN_ENTRIES = 31;
inline constexpr std::uint32_t R3X_WORK_EDGES = 64;
inline constexpr std::uint32_t R3X_WORK_SCANLINES = 640;
inline constexpr std::uint32_t R3X_WORK_SCAN_PAIRS = 32;
