#include "platform/kernel/sync.h"

#include <mutex>

namespace {
std::recursive_mutex* LockOf(CRITICAL_SECTION* section) {
  return static_cast<std::recursive_mutex*>(section->lock);
}
}  // namespace

void InitializeCriticalSection(CRITICAL_SECTION* section) {
  section->lock = new std::recursive_mutex;
}

void DeleteCriticalSection(CRITICAL_SECTION* section) {
  delete LockOf(section);
  section->lock = nullptr;
}

void EnterCriticalSection(CRITICAL_SECTION* section) { LockOf(section)->lock(); }

void LeaveCriticalSection(CRITICAL_SECTION* section) { LockOf(section)->unlock(); }
