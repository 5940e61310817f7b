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
struct R3xRecord16 {
  std::uint32_t words[4];
};
struct R3xEdgeRecord {
  std::uint32_t words[24];
};
struct R3xScanPair {
  std::uint32_t words[2];
};

// A list that the drawers grow by 16 records at a time.
struct R3xList16 {
  std::uint32_t capacity;
  R3xRecord16* records;
};

// The covered pairs of one scanline.
struct R3xScanlineList {
  std::uint32_t capacity;
  std::uint32_t count;
  R3xScanPair* pairs;
  std::uint32_t cursor;
  std::uint32_t frameStamp;
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
  R3xEdgeRecord* edges;
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
