#include "platform/kernel/thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/kernel/sync.h"

namespace {

DWORD CountTo(LPVOID parameter) {
  auto* counter = static_cast<std::atomic<int>*>(parameter);
  for (int i = 0; i < 1000; ++i) {
    ++*counter;
  }
  return 42;
}

TEST(Threads, CreateWaitAndExitCode) {
  std::atomic<int> counter{0};
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, CountTo, &counter, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(counter.load(), 1000);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(CloseHandle(thread));
}

TEST(Threads, PriorityCallsSucceedWithoutEffect) {
  HANDLE self = GetCurrentThread();
  EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_NORMAL);
  EXPECT_TRUE(SetThreadPriority(self, THREAD_PRIORITY_TIME_CRITICAL));
  EXPECT_EQ(GetThreadPriority(self), THREAD_PRIORITY_NORMAL);
  EXPECT_TRUE(CloseHandle(self));
}

TEST(Threads, WaitOnSomethingElseFails) {
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

struct SharedCount {
  CRITICAL_SECTION section;
  long value = 0;
};

DWORD AddUnderLock(LPVOID parameter) {
  auto* shared = static_cast<SharedCount*>(parameter);
  for (int i = 0; i < 10000; ++i) {
    EnterCriticalSection(&shared->section);
    EnterCriticalSection(&shared->section);  // recursive, as on the original platform
    ++shared->value;
    LeaveCriticalSection(&shared->section);
    LeaveCriticalSection(&shared->section);
  }
  return 0;
}

TEST(CriticalSection, SerialisesAndIsRecursive) {
  SharedCount shared;
  InitializeCriticalSection(&shared.section);
  HANDLE a = CreateThread(nullptr, 0, AddUnderLock, &shared, 0, nullptr);
  HANDLE b = CreateThread(nullptr, 0, AddUnderLock, &shared, 0, nullptr);
  WaitForSingleObject(a, INFINITE);
  WaitForSingleObject(b, INFINITE);
  CloseHandle(a);
  CloseHandle(b);
  EXPECT_EQ(shared.value, 20000);
  DeleteCriticalSection(&shared.section);
  EXPECT_EQ(shared.section.lock, nullptr);
}

}  // namespace
