#include "engine/core/bsp.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "engine/core/bsp_internal.h"
#include "engine/core/bsp_walk.h"
#include "engine/core/memory.h"
#include "engine/core/region.h"
#include "engine/core/tree_links.h"

bool R3xBspWalkStack::push(R3xBspPending entry) {
  if (count_ == capacity_) {
    const std::uint32_t capacity = capacity_ + capacity_ / 4 + 1;
    void* grown = entries_ == local_
                      ? r3xMalloc(std::size_t{capacity} * sizeof(R3xBspPending))
                      : r3xRealloc(entries_, std::size_t{capacity} * sizeof(R3xBspPending));
    if (grown == nullptr) {
      return false;
    }
    auto* entries = static_cast<R3xBspPending*>(grown);
    if (entries_ == local_) {
      for (std::uint32_t i = 0; i < count_; ++i) {
        entries[i] = local_[i];
      }
    }
    entries_ = entries;
    capacity_ = capacity;
  }
  entries_[count_++] = entry;
  return true;
}

namespace {

// A free slot for node, or the slot that holds it, in an open-addressed set of `capacity` (a
// power of two) slots.
std::uint32_t slotFor(const R3xWorldNode* const* slots, std::uint32_t capacity,
                      const R3xWorldNode* node) {
  const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(node));
  auto slot = static_cast<std::uint32_t>((bits >> 3) * 0x9E3779B97F4A7C15u >> 40) & (capacity - 1);
  while (slots[slot] != nullptr && slots[slot] != node) {
    slot = (slot + 1) & (capacity - 1);
  }
  return slot;
}

}  // namespace

int R3xBspVisited::mark(const R3xWorldNode* node) {
  if (capacity_ == 0) {
    std::fill(local_, local_ + kLocalCapacity, nullptr);
    capacity_ = kLocalCapacity;
  }
  std::uint32_t slot = slotFor(slots_, capacity_, node);
  if (slots_[slot] == node) {
    return 0;
  }
  if ((count_ + 1) * 2 > capacity_) {
    if (!grow()) {
      return -1;
    }
    slot = slotFor(slots_, capacity_, node);
  }
  slots_[slot] = node;
  ++count_;
  return 1;
}

bool R3xBspVisited::grow() {
  const std::uint32_t capacity = capacity_ * 2;
  auto* slots = static_cast<const R3xWorldNode**>(
      r3xMalloc(std::size_t{capacity} * sizeof(const R3xWorldNode*)));
  if (slots == nullptr) {
    return false;
  }
  std::fill(slots, slots + capacity, nullptr);
  for (std::uint32_t i = 0; i < capacity_; ++i) {
    if (slots_[i] != nullptr) {
      slots[slotFor(slots, capacity, slots_[i])] = slots_[i];
    }
  }
  if (slots_ != local_) {
    r3xFree(slots_);
  }
  slots_ = slots;
  capacity_ = capacity;
  return true;
}

std::int32_t _r3xCheckWorldTree(const R3xWorldNode* nodes, std::uint32_t nodeCount,
                                std::uint32_t regionCount) {
  if (nodes == nullptr || nodeCount == 0) {
    return R3X_ERR_FAILED;
  }
  // A child outside the array, a parent of the root or a cycle could make a walk leave the
  // array or never end; two nodes sharing a child cannot, since walks mark what they visit.
  const auto indexOf = [&](const R3xWorldNode* child) -> std::int64_t {
    return child == nullptr ? -1 : child - nodes;
  };
  for (std::uint32_t i = 0; i < nodeCount; ++i) {
    const R3xWorldNode& node = nodes[i];
    for (const R3xWorldNode* child : {node.front, node.back}) {
      if (child != nullptr && (child <= nodes || child >= nodes + nodeCount)) {
        return R3X_ERR_FAILED;
      }
    }
    if (node.leaf > regionCount) {
      return R3X_ERR_FAILED;
    }
  }
  const bool acyclic = _r3xTreeIsAcyclic(nodeCount, [&](std::uint32_t i, int side) {
    return indexOf(side == 0 ? nodes[i].front : nodes[i].back);
  });
  return acyclic ? 0 : R3X_ERR_FAILED;
}

std::int32_t r3xFindRegionIndexAt(const R3xWorld* world, const float* point) {
  const R3xWorldNode* node = world->bspRoot;
  const double x = point[0];
  const double y = point[1];
  const double z = point[2];
  while (node != nullptr && node->leaf == 0) {
    const double dist =
        double{node->a} * x + double{node->b} * y + double{node->c} * z + double{node->d};
    node = dist >= 0.0 ? node->front : node->back;
  }
  if (node == nullptr) {
    return R3X_NO_REGION;
  }
  const auto index = static_cast<std::int32_t>(node->leaf - 1);
  return r3xGetRegion(world, index) == nullptr ? -1 : index;
}

R3xRegion* r3xFindRegionAt(const R3xWorld* world, const float* point) {
  return r3xGetRegion(world, r3xFindRegionIndexAt(world, point));
}

std::int32_t r3xQueryRegionsInSphere(R3xWorld* world, const float* centre, float radius,
                                     R3xRegionCallback callback, void* user) {
  return _r3xWalkSphere(world, centre, radius,
                        [&](std::uint32_t index, const R3xBspPending*, std::uint32_t) {
                          R3xRegion* region = r3xGetRegion(world, static_cast<std::int32_t>(index));
                          return region == nullptr ? 0 : callback(world, region, user);
                        });
}

bool _r3xWorldTreeSharesNodes(const R3xWorldNode* nodes, std::uint32_t nodeCount) {
  // r3xMalloc hands out zeroed memory.
  auto* linked = static_cast<std::uint8_t*>(r3xMalloc(nodeCount));
  if (linked == nullptr) {
    return true;
  }
  bool shared = false;
  for (std::uint32_t i = 0; i < nodeCount && !shared; ++i) {
    for (const R3xWorldNode* child : {nodes[i].front, nodes[i].back}) {
      if (child != nullptr && linked[child - nodes]++ != 0) {
        shared = true;
      }
    }
  }
  r3xFree(linked);
  return shared;
}
