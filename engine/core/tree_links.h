// The check that the trees which the world loaders build (world tree, visibility trees, 3D
// sprite face trees) can be walked to an end. Their nodes lie in one array and name their two
// children by number; two nodes may share a child, but no chain of children may come back to
// where it started.
// Results: true or false.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/memory.h"

// child(i, side) gives node i's first (side 0) or second (side 1) child as an index into the
// array; a value outside 0 to count - 1 names no child. True when no node can be reached from
// itself; false also when out of memory.
template <typename Child>
bool _r3xTreeIsAcyclic(std::uint32_t count, Child child) {
  if (count == 0) {
    return true;
  }
  // Kahn's order: a node is taken once every link to it has been taken; a cycle never is.
  auto* parents =
      static_cast<std::uint32_t*>(r3xMalloc(std::size_t{count} * 2 * sizeof(std::uint32_t)));
  if (parents == nullptr) {
    return false;
  }
  std::uint32_t* ready = parents + count;
  const auto linked = [&](std::uint32_t node, int side, std::uint32_t& to) {
    const std::int64_t index = child(node, side);
    if (index < 0 || index >= std::int64_t{count}) {
      return false;
    }
    to = static_cast<std::uint32_t>(index);
    return true;
  };
  for (std::uint32_t i = 0; i < count; ++i) {
    for (int side = 0; side < 2; ++side) {
      std::uint32_t to = 0;
      if (linked(i, side, to)) {
        ++parents[to];
      }
    }
  }
  std::uint32_t readyCount = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (parents[i] == 0) {
      ready[readyCount++] = i;
    }
  }
  std::uint32_t taken = 0;
  while (readyCount != 0) {
    const std::uint32_t node = ready[--readyCount];
    ++taken;
    for (int side = 0; side < 2; ++side) {
      std::uint32_t to = 0;
      if (linked(node, side, to) && --parents[to] == 0) {
        ready[readyCount++] = to;
      }
    }
  }
  r3xFree(parents);
  return taken == count;
}
