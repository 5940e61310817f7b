// Makes allocations fail on demand through the platform's allocation hook, which the engine's
// memory wrappers and the mailboxes ask before they take memory.
#pragma once

#include <atomic>
#include <cstddef>

#include "platform/kernel/allocation_hook.h"

namespace test_support {

// While it lives, allocation number `after` + 1 from now and every later one fail.
class FailingMemory : public platform::AllocationHook {
 public:
  explicit FailingMemory(long after) : after_(after) {}
  FailingMemory(const FailingMemory&) = delete;
  FailingMemory& operator=(const FailingMemory&) = delete;

  bool Allows(std::size_t size) override;
  // Allocations asked for since the object was made, and how many of them failed.
  long Asked() const { return asked_.load(); }
  long Refused() const { return refused_.load(); }

 private:
  const long after_;
  std::atomic<long> asked_{0};
  std::atomic<long> refused_{0};
  // Last, so that the hook is installed once the counters are ready.
  platform::ScopedAllocationHook installed_{*this};
};

}  // namespace test_support
