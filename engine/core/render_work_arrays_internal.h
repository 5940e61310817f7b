// The engine's own functions of render_work_arrays.h, which the public header leaves out.
// Results: R3X_DONE (the span lists: 0), or R3X_WORK_NO_ codes or R3X_ERR_LIST_GROW.
#pragma once

#include "engine/core/error.h"
#include "engine/core/render_work_arrays.h"

// A group of work arrays that could not be made: nothing of the group is left.
inline constexpr std::int32_t R3X_WORK_NO_MEMORY = -1;
// The vertex arrays name the first that could not be made: the transformed vertices, then the
// clip-vertex arrays 0, 1 and 2.
inline constexpr std::int32_t R3X_WORK_NO_TRANSFORMED = -1;
inline constexpr std::int32_t R3X_WORK_NO_CLIP_0 = -2;
inline constexpr std::int32_t R3X_WORK_NO_CLIP_1 = -3;
inline constexpr std::int32_t R3X_WORK_NO_CLIP_2 = -4;

// The transformed vertices and the three clip-vertex arrays, into an empty group: R3X_DONE, or
// the R3X_WORK_NO_ code of the first array that could not be made, with the capacity 0.
std::int32_t _r3xAllocVertexArrays(R3xRenderWorkArrays* work, std::uint32_t capacity);
// Frees the transformed vertices and the clip-vertex arrays, leaving the capacity 0.
void _r3xFreeVertexArrays(R3xRenderWorkArrays* work);

// Each makes one group of arrays into an empty group: R3X_DONE (the span lists: 0), or
// R3X_WORK_NO_MEMORY.
std::int32_t _r3xAllocRenderVertexList(R3xRenderWorkArrays* work, std::uint32_t capacity);
std::int32_t _r3xAllocSpanLists(R3xRenderWorkArrays* work, std::uint32_t lists,
                                std::uint32_t entries);
std::int32_t _r3xAllocEdgeRecords(R3xRenderWorkArrays* work, std::uint32_t capacity);
std::int32_t _r3xAllocScanlineLists(R3xRenderWorkArrays* work, std::uint32_t lines,
                                    std::uint32_t pairs);

// The 640-byte, 12-byte and 4-byte blocks.
std::int32_t _r3xAllocSmallBlocks(R3xRenderWorkArrays* work);

// Frees every array and empties the record.
void _r3xFreeWorkArrays(R3xRenderWorkArrays* work);

// Adds 16 records to the list, keeping the old ones. R3X_DONE, or R3X_ERR_LIST_GROW with the list
// unchanged when out of memory.
std::int32_t _r3xGrowList16(R3xList16* list);
