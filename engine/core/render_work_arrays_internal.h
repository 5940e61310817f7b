// The engine's own functions of render_work_arrays.h, which the public header leaves out.
#pragma once

#include "engine/core/render_work_arrays.h"

// The transformed vertices and the three clip-vertex arrays, into an empty group: 1, or -1 to
// -4 naming the first of them that could not be made, with nothing of the group left and the
// capacity 0.
std::int32_t _r3xAllocVertexArrays(R3xRenderWorkArrays* work, std::uint32_t capacity);

// Each makes one group of arrays into an empty group: 1 (the span lists: 0), or -1 with nothing
// of the group left.
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

// Adds 16 records to the list, keeping the old ones. 1, or R3X_ERR_LIST_GROW with the list
// unchanged when out of memory.
std::int32_t _r3xGrowList16(R3xList16* list);
