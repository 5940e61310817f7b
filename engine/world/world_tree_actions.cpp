#include <cstddef>
#include <cstdint>

#include "engine/core/bsp.h"
#include "engine/core/bsp_internal.h"
#include "engine/core/memory.h"
#include "engine/core/world.h"
#include "engine/world/parse_context.h"
#include "engine/world/parse_result.h"
#include "engine/world/region_actions.h"
#include "engine/world/region_work.h"

std::int32_t _parCheckWorldTreeLeaves(R3xParseContext* context, const R3xRegionWork* work) {
  const R3xWorldNode* nodes = context->world->bspRoot;
  if (!work->blockEnded || nodes == nullptr) {
    return 0;
  }
  for (std::uint32_t i = 0; i < work->worldNodeCount; ++i) {
    if (nodes[i].leaf > work->regionCount) {
      parError(context, "WORLDREGIONTAG %d is out of range",
               static_cast<std::int32_t>(nodes[i].leaf));
      return PAR_STOP;
    }
  }
  return 0;
}

std::int32_t parBeginWorldTree(R3xParseContext* context, std::int32_t count) {
  R3xRegionWork* work = _parRegionWork(context);
  if (work == nullptr) {
    return PAR_STOP;
  }
  // The world frees the nodes of its one tree.
  if (context->world->bspRoot != nullptr || work->worldTreeOpen) {
    parError(context, "only one world tree is allowed in a world");
    return PAR_STOP;
  }
  if (count < 0) {
    parError(context, "NUMWORLDNODES is invalid");
    return PAR_STOP;
  }
  if (parListInit(&work->worldNodes, sizeof(R3xParsedTreeNode),
                  static_cast<std::uint32_t>(count)) != 0) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  work->worldTreeOpen = true;
  return 0;
}

std::int32_t parAddWorldNode(R3xParseContext* context, const float plane[4], std::int32_t regionTag,
                             std::int32_t front, std::int32_t back) {
  const R3xParsedTreeNode node{{plane[0], plane[1], plane[2], plane[3]}, regionTag, front, back};
  if (parListAppend(&context->regionWork->worldNodes, &node) != 0) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  return 0;
}

std::int32_t parEndWorldTree(R3xParseContext* context) {
  R3xRegionWork* work = context->regionWork;
  R3xParseList* parsed = &work->worldNodes;
  if (!parListMatchesDeclared(parsed)) {
    parError(context, "NUMWORLDNODES is invalid");
    return PAR_STOP;
  }
  const std::uint32_t count = parListCount(parsed);
  if (count == 0 || !_parTreeLinksAreSound(parsed)) {
    parError(context, "invalid world tree");
    return PAR_STOP;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int32_t leaf = static_cast<const R3xParsedTreeNode*>(parListAt(parsed, i))->value;
    if (leaf < 0) {
      parError(context, "WORLDREGIONTAG %d is out of range", leaf);
      return PAR_STOP;
    }
  }
  auto* nodes = static_cast<R3xWorldNode*>(r3xMalloc(std::size_t{count} * sizeof(R3xWorldNode)));
  if (nodes == nullptr) {
    parError(context, "out of memory");
    return PAR_STOP;
  }
  const auto child = [&](std::int32_t number) {
    return number >= 1 && static_cast<std::uint32_t>(number) <= count ? nodes + (number - 1)
                                                                      : nullptr;
  };
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto* node = static_cast<const R3xParsedTreeNode*>(parListAt(parsed, i));
    nodes[i] = {node->plane[0],
                node->plane[1],
                node->plane[2],
                node->plane[3],
                child(node->front),
                child(node->back),
                static_cast<std::uint32_t>(node->value)};
  }
  parListFree(parsed);
  R3xWorld* world = context->world;
  world->bspRoot = nodes;
  world->bspOffset = 0;
  world->bspSharesNodes = _r3xWorldTreeSharesNodes(nodes, count) ? 1 : 0;
  work->worldNodeCount = count;
  return _parCheckWorldTreeLeaves(context, work);
}
