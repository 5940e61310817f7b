// The walk of a sphere down the world tree that the region queries and object linking share.
// Each walk keeps its own stack and its own record of the nodes it has reached, so that a walk
// started from another walk's callback leaves the outer one intact.
// Results: 0 or a negative R3X_ERR_ code.
#pragma once

#include <cstdint>

#include "engine/core/bsp.h"
#include "engine/core/error.h"
#include "engine/core/memory.h"
#include "engine/core/world.h"

// A node whose plane the sphere straddles: its back child is walked after its front side.
struct R3xBspPending {
  const R3xWorldNode* back;
  // The straddled node's depth below the root (the root is at 0).
  std::uint32_t depth;
};

// Room for trees of ordinary depth without allocation; deeper trees grow it on the heap.
class R3xBspWalkStack {
 public:
  R3xBspWalkStack() = default;
  ~R3xBspWalkStack() {
    if (entries_ != local_) {
      r3xFree(entries_);
    }
  }
  R3xBspWalkStack(const R3xBspWalkStack&) = delete;
  R3xBspWalkStack& operator=(const R3xBspWalkStack&) = delete;

  // False when the stack cannot grow.
  bool push(R3xBspPending entry);
  R3xBspPending pop() { return entries_[--count_]; }
  std::uint32_t count() const { return count_; }
  const R3xBspPending* entries() const { return entries_; }

 private:
  static constexpr std::uint32_t kLocalCapacity = 32;
  R3xBspPending local_[kLocalCapacity];
  R3xBspPending* entries_ = local_;
  std::uint32_t count_ = 0;
  std::uint32_t capacity_ = kLocalCapacity;
};

// The nodes one walk has reached. Two nodes of a world tree may share a child; what lies below a
// node does not depend on the path to it, so the walk enters each node once, however many
// paths lead there (without this a chain of shared children takes exponential time).
class R3xBspVisited {
 public:
  R3xBspVisited() = default;
  ~R3xBspVisited() {
    if (slots_ != local_) {
      r3xFree(slots_);
    }
  }
  R3xBspVisited(const R3xBspVisited&) = delete;
  R3xBspVisited& operator=(const R3xBspVisited&) = delete;

  // 1 when the node is reached for the first time (and is now marked), 0 when it was reached
  // before, -1 when the record cannot grow.
  int mark(const R3xWorldNode* node);

 private:
  // An open-addressed set of node addresses; a power of two, at most half full.
  static constexpr std::uint32_t kLocalCapacity = 64;
  bool grow();
  // Cleared at the first mark: a walk of a tree without shared nodes never marks.
  const R3xWorldNode* local_[kLocalCapacity];
  const R3xWorldNode** slots_ = local_;
  std::uint32_t count_ = 0;
  std::uint32_t capacity_ = 0;  // 0 until the first mark
};

// Walks the tree with the sphere and calls visit(leaf region index, pending nodes, their
// count) at every leaf reached; the pending nodes are the straddled nodes of the current path
// whose back side is still to come, shallowest first. Returns the first non-zero result of
// visit, 0 at the end of the walk, or R3X_ERR_FAILED when the stack or the record of reached
// nodes cannot grow. A node reached again along another path is not walked again.
template <typename Visit>
std::int32_t _r3xWalkSphere(const R3xWorld* world, const float* centre, float radius,
                            Visit&& visit) {
  R3xBspWalkStack stack;
  R3xBspVisited visited;
  const R3xWorldNode* node = world->bspRoot;
  std::uint32_t depth = 0;
  const bool shared = world->bspSharesNodes != 0;
  const auto reach = [&](const R3xWorldNode* next) {
    return next == nullptr ? 0 : shared ? visited.mark(next) : 1;
  };
  for (;;) {
    int fresh = reach(node);
    while (fresh == 1 && node->leaf == 0) {
      const float dist = node->a * centre[0] + node->b * centre[1] + node->c * centre[2] + node->d;
      if (dist >= -radius) {
        if (dist <= radius && node->back != nullptr && !stack.push({node->back, depth})) {
          return R3X_ERR_FAILED;
        }
        node = node->front;
      } else {
        node = node->back;
      }
      ++depth;
      fresh = reach(node);
    }
    if (fresh < 0) {
      return R3X_ERR_FAILED;
    }
    if (fresh == 1) {
      const std::int32_t result = visit(node->leaf - 1, stack.entries(), stack.count());
      if (result != 0) {
        return result;
      }
    }
    if (stack.count() == 0) {
      return 0;
    }
    const R3xBspPending next = stack.pop();
    node = next.back;
    depth = next.depth + 1;
  }
}
