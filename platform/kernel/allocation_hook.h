// The allocation hook: the engine's memory wrappers and the mailboxes ask it before they take
// memory, so that a test can make any chosen allocation fail. Set the way the process clock is.
#pragma once

#include <cstddef>

namespace platform {

class AllocationHook {
 public:
  virtual ~AllocationHook() = default;
  // False makes the allocation of `size` bytes fail as if memory had run out. May be called
  // from any thread.
  virtual bool Allows(std::size_t size) = 0;
};

// Installs a hook; null removes it. Returns the previous one.
AllocationHook* SetAllocationHook(AllocationHook* hook);
// True when no hook is installed or the installed one allows the allocation.
bool AllocationAllowed(std::size_t size);

// Installs a hook for the lifetime of a scope (tests).
class ScopedAllocationHook {
 public:
  explicit ScopedAllocationHook(AllocationHook& hook) : previous_(SetAllocationHook(&hook)) {}
  ~ScopedAllocationHook() { SetAllocationHook(previous_); }
  ScopedAllocationHook(const ScopedAllocationHook&) = delete;
  ScopedAllocationHook& operator=(const ScopedAllocationHook&) = delete;

 private:
  AllocationHook* previous_;
};

}  // namespace platform
