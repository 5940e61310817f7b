// Critical sections: recursive locks that live in a caller-owned record, as the game expects.
#pragma once

#include "platform/kernel/types.h"

struct CRITICAL_SECTION {
  void* lock = nullptr;  // the lock object, created by InitializeCriticalSection
};

void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
