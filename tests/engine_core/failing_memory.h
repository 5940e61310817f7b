// Makes the engine's allocations fail on demand. The test program is linked so that every call
// of r3xMalloc and r3xRealloc outside the wrappers' own file comes here first.
#pragma once

// While it lives, the engine's allocation number `after` + 1 and every later one fail.
class FailingMemory {
 public:
  explicit FailingMemory(long after);
  ~FailingMemory();
  FailingMemory(const FailingMemory&) = delete;
  FailingMemory& operator=(const FailingMemory&) = delete;
  // Allocations asked for since the object was made.
  long asked() const;
};
