#include "engine/core/render_work_arrays.h"

#include <cstddef>

#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/render_work_arrays_internal.h"

namespace {

constexpr std::uint32_t kRowBlockBytes = 640;
constexpr std::uint32_t kRowBlockCapacity = 32;
constexpr std::uint32_t kList16Step = 16;

template <typename Record>
Record* allocArray(std::uint32_t count) {
  return static_cast<Record*>(r3xMalloc(std::size_t{count} * sizeof(Record)));
}

void freeSpanLists(R3xRenderWorkArrays* work) {
  for (std::uint32_t i = 0; work->spanLists != nullptr && i < work->spanListCount; ++i) {
    r3xFree(work->spanLists[i].records);
  }
  r3xFree(work->spanLists);
  r3xFree(work->spanWords);
  work->spanLists = nullptr;
  work->spanWords = nullptr;
  work->spanListCount = 0;
}

void freeScanlineLists(R3xRenderWorkArrays* work) {
  for (std::uint32_t i = 0; work->scanlines != nullptr && i < work->scanlineCount; ++i) {
    r3xFree(work->scanlines[i].pairs);
  }
  r3xFree(work->scanlines);
  work->scanlines = nullptr;
  work->scanlineCount = 0;
}

}  // namespace

void _r3xFreeVertexArrays(R3xRenderWorkArrays* work) {
  r3xFree(work->transformed);
  work->transformed = nullptr;
  for (R3xClipVertex*& array : work->clip) {
    r3xFree(array);
    array = nullptr;
  }
  work->vertexCapacity = 0;
}

std::int32_t _r3xAllocVertexArrays(R3xRenderWorkArrays* work, std::uint32_t capacity) {
  work->vertexCapacity = 0;
  work->transformed = allocArray<R3xTransformedVertex>(capacity);
  if (work->transformed == nullptr) {
    return R3X_WORK_NO_TRANSFORMED;
  }
  std::int32_t failed = R3X_WORK_NO_CLIP_0;
  for (R3xClipVertex*& array : work->clip) {
    array = allocArray<R3xClipVertex>(capacity);
    if (array == nullptr) {
      _r3xFreeVertexArrays(work);
      return failed;
    }
    --failed;
  }
  work->vertexCapacity = capacity;
  return R3X_DONE;
}

std::int32_t _r3xAllocRenderVertexList(R3xRenderWorkArrays* work, std::uint32_t capacity) {
  work->renderVertices = allocArray<R3xRenderVertex>(capacity);
  if (work->renderVertices == nullptr) {
    return R3X_WORK_NO_MEMORY;
  }
  work->renderVertexCapacity = capacity;
  return R3X_DONE;
}

std::int32_t _r3xAllocSpanLists(R3xRenderWorkArrays* work, std::uint32_t lists,
                                std::uint32_t entries) {
  work->spanLists = allocArray<R3xList16>(lists);
  work->spanWords = allocArray<std::uint32_t>(lists);
  if (work->spanLists == nullptr || work->spanWords == nullptr) {
    freeSpanLists(work);
    return R3X_WORK_NO_MEMORY;
  }
  work->spanListCount = lists;
  for (std::uint32_t i = 0; i < lists; ++i) {
    work->spanLists[i].records = allocArray<R3xCoveredRun>(entries);
    if (work->spanLists[i].records == nullptr) {
      freeSpanLists(work);
      return R3X_WORK_NO_MEMORY;
    }
    work->spanLists[i].capacity = entries;
  }
  return 0;
}

std::int32_t _r3xAllocEdgeRecords(R3xRenderWorkArrays* work, std::uint32_t capacity) {
  work->edges = allocArray<R3xLineSegment>(capacity);
  if (work->edges == nullptr) {
    return R3X_WORK_NO_MEMORY;
  }
  work->edgeCapacity = capacity;
  return R3X_DONE;
}

std::int32_t _r3xAllocScanlineLists(R3xRenderWorkArrays* work, std::uint32_t lines,
                                    std::uint32_t pairs) {
  work->scanlines = allocArray<R3xScanlineList>(lines);
  if (work->scanlines == nullptr) {
    return R3X_WORK_NO_MEMORY;
  }
  work->scanlineCount = lines;
  for (std::uint32_t i = 0; i < lines; ++i) {
    work->scanlines[i].pairs = allocArray<R3xScanPair>(pairs);
    if (work->scanlines[i].pairs == nullptr) {
      freeScanlineLists(work);
      return R3X_WORK_NO_MEMORY;
    }
    work->scanlines[i].capacity = pairs;
  }
  return R3X_DONE;
}

std::int32_t _r3xAllocSmallBlocks(R3xRenderWorkArrays* work) {
  work->rowBlock = allocArray<std::uint8_t>(kRowBlockBytes);
  work->smallBlock12 = allocArray<std::uint8_t>(12);
  work->smallBlock4 = allocArray<std::uint8_t>(4);
  if (work->rowBlock == nullptr || work->smallBlock12 == nullptr || work->smallBlock4 == nullptr) {
    r3xFree(work->rowBlock);
    r3xFree(work->smallBlock12);
    r3xFree(work->smallBlock4);
    work->rowBlock = nullptr;
    work->smallBlock12 = nullptr;
    work->smallBlock4 = nullptr;
    return R3X_WORK_NO_MEMORY;
  }
  work->rowBlockCapacity = kRowBlockCapacity;
  work->smallBlockCount = 1;
  return R3X_DONE;
}

void _r3xFreeWorkArrays(R3xRenderWorkArrays* work) {
  _r3xFreeVertexArrays(work);
  freeSpanLists(work);
  freeScanlineLists(work);
  r3xFree(work->renderVertices);
  r3xFree(work->edges);
  r3xFree(work->rowBlock);
  r3xFree(work->smallBlock12);
  r3xFree(work->smallBlock4);
  *work = R3xRenderWorkArrays{};
}

std::int32_t _r3xGrowList16(R3xList16* list) {
  const std::uint32_t capacity = list->capacity + kList16Step;
  auto* records = allocArray<R3xCoveredRun>(capacity);
  if (records == nullptr) {
    return R3X_ERR_LIST_GROW;
  }
  for (std::uint32_t i = 0; i < list->capacity; ++i) {
    records[i] = list->records[i];
  }
  r3xFree(list->records);
  list->records = records;
  list->capacity = capacity;
  return R3X_DONE;
}
