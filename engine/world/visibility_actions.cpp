#include <cstddef>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/region.h"
#include "engine/core/tree_links.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"
#include "engine/world/region_actions.h"
#include "engine/world/region_work.h"

namespace {

// The entry with that 1-based number, or null outside 1 to count: files may name entries that
// do not exist to mean none.
template <typename Entry>
Entry* entryAt(Entry* entries, std::uint32_t count, std::int32_t number) {
  if (number < 1 || static_cast<std::uint32_t>(number) > count) {
    return nullptr;
  }
  return entries + (number - 1);
}

// Entries are stored as number - 1 in 16 bits.
constexpr std::int32_t kMaxListEntry = 65536;

}  // namespace

bool _parTreeLinksAreSound(const R3xParseList* nodes) {
  const std::uint32_t count = parListCount(nodes);
  const auto numberOf = [&](std::uint32_t i, int side) {
    const auto* node = static_cast<const R3xParsedTreeNode*>(parListAt(nodes, i));
    return side == 0 ? node->front : node->back;
  };
  for (std::uint32_t i = 0; i < count; ++i) {
    if (numberOf(i, 0) == 1 || numberOf(i, 1) == 1) {
      return false;
    }
  }
  return _r3xTreeIsAcyclic(
      count, [&](std::uint32_t i, int side) { return std::int64_t{numberOf(i, side)} - 1; });
}

std::int32_t parBeginVisTree(R3xParseContext* context, std::int32_t nodeCount,
                             std::int32_t listCount) {
  R3xRegionWork* work = context->regionWork;
  if (nodeCount < 0) {
    parError(context, "NUMVISNODE is invalid");
    return PAR_STOP;
  }
  if (listCount < 0) {
    parError(context, "NUMVISLIST is invalid");
    return PAR_STOP;
  }
  if (parListInit(&work->visNodes, sizeof(R3xParsedTreeNode),
                  static_cast<std::uint32_t>(nodeCount)) != 0 ||
      parListInit(&work->visLists, sizeof(R3xVisibleList), static_cast<std::uint32_t>(listCount)) !=
          0) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parAddVisNode(R3xParseContext* context, const float plane[4], std::int32_t listIndex,
                           std::int32_t front, std::int32_t back) {
  R3xParsedTreeNode node{};
  std::memcpy(node.plane, plane, sizeof node.plane);
  node.value = listIndex;
  node.front = front;
  node.back = back;
  if (parListAppend(&context->regionWork->visNodes, &node) != 0) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parAddVisibleList(R3xParseContext* context, std::int32_t range,
                               R3xParseList* regionNumbers) {
  R3xRegionWork* work = context->regionWork;
  R3xParseList none{};
  if (regionNumbers == nullptr) {
    regionNumbers = &none;
  }
  const std::uint32_t count = parListCount(regionNumbers);
  if (range < 0 || static_cast<std::uint32_t>(range) != count) {
    parListFree(regionNumbers);
    parError(context, "RANGE is invalid");
    return PAR_STOP;
  }
  R3xVisibleList list{count, nullptr};
  if (count >= 1) {
    list.regions =
        static_cast<std::uint16_t*>(r3xMalloc(std::size_t{count} * sizeof(std::uint16_t)));
    if (list.regions == nullptr) {
      parListFree(regionNumbers);
      parError(context, "out of memory");
      return PAR_STOP;
    }
  }
  // A coded list's entries are run codes, not regions: ENCODEDVISIBILITY comes after the tree,
  // so the regions are checked at the region's end, here only that each entry has 16 bits.
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int32_t number = *static_cast<const std::int32_t*>(parListAt(regionNumbers, i));
    if (number < 1 || number > kMaxListEntry) {
      r3xFree(list.regions);
      parListFree(regionNumbers);
      parError(context, "VISIBLELIST region %d is out of range", number);
      return PAR_STOP;
    }
    list.regions[i] = static_cast<std::uint16_t>(number - 1);
  }
  parListFree(regionNumbers);
  if (parListAppend(&work->visLists, &list) != 0) {
    r3xFree(list.regions);
    parError(context, "out of memory");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parEndVisTree(R3xParseContext* context) {
  R3xRegionWork* work = context->regionWork;
  if (!parListMatchesDeclared(&work->visNodes)) {
    parError(context, "NUMVISNODE is invalid");
    return PAR_STOP;
  }
  if (!parListMatchesDeclared(&work->visLists)) {
    parError(context, "NUMVISLIST is invalid");
    return PAR_STOP;
  }
  if (!_parTreeLinksAreSound(&work->visNodes)) {
    parError(context, "invalid visibility tree");
    return PAR_STOP;
  }
  const std::uint32_t nodeCount = parListCount(&work->visNodes);
  const std::uint32_t listCount = parListCount(&work->visLists);
  auto* nodes = static_cast<R3xVisNode*>(r3xMalloc(std::size_t{nodeCount} * sizeof(R3xVisNode)));
  if (nodes == nullptr) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  auto* lists = static_cast<R3xVisibleList*>(work->visLists.data);
  for (std::uint32_t i = 0; i < nodeCount; ++i) {
    const auto* parsed = static_cast<const R3xParsedTreeNode*>(parListAt(&work->visNodes, i));
    R3xVisNode& node = nodes[i];
    std::memcpy(node.plane, parsed->plane, sizeof node.plane);
    node.front = entryAt(nodes, nodeCount, parsed->front);
    node.back = entryAt(nodes, nodeCount, parsed->back);
    node.list = entryAt(lists, listCount, parsed->value);
  }
  parListFree(&work->visNodes);
  auto* geometry = static_cast<R3xMeshGeometry*>(work->open->geometry);
  geometry->visNodeCount = nodeCount;
  geometry->visNodes = nodes;
  geometry->visListCount = listCount;
  geometry->visLists = static_cast<R3xVisibleList*>(parListDetach(&work->visLists));
  return 0;
}

std::int32_t parCheckVisibleRegions(R3xParseContext* context, const R3xMeshGeometry* geometry) {
  if (geometry->encodedVisibility != 0) {
    return 0;
  }
  const std::uint32_t regionCount = context->regionWork->regionCount;
  for (std::uint32_t i = 0; i < geometry->visListCount; ++i) {
    const R3xVisibleList& list = geometry->visLists[i];
    for (std::uint32_t k = 0; k < list.count; ++k) {
      if (list.regions[k] >= regionCount) {
        parError(context, "VISIBLELIST region %d is out of range", list.regions[k] + 1);
        return PAR_STOP;
      }
    }
  }
  return 0;
}
