#include "tests/support/failing_memory.h"

namespace test_support {

bool FailingMemory::Allows(std::size_t /*size*/) {
  if (asked_.fetch_add(1) < after_) {
    return true;
  }
  refused_.fetch_add(1);
  return false;
}

}  // namespace test_support
