// Threads. Priorities are accepted and reported but have no effect: a Linux user process cannot
// raise its own threads, and nothing here depends on them.
#pragma once

#include "platform/kernel/handle.h"
#include "platform/kernel/types.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

inline constexpr int THREAD_PRIORITY_IDLE = -15;
inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_HIGHEST = 2;
inline constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
inline constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

// Starts routine(parameter) on a new thread. The handle must be closed; closing it before the
// thread ends detaches the thread. Security attributes and creation flags are not supported.
HANDLE CreateThread(void* security, SIZE_T stackSize, LPTHREAD_START_ROUTINE routine,
                    LPVOID parameter, DWORD creationFlags, DWORD* threadId);
// Waits at most the given time (or INFINITE) for a thread to end. These two fail (WAIT_FAILED,
// FALSE) with ERROR_INVALID_HANDLE for a handle that is no open thread; only threads are waited
// for.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
// A pseudo-handle for the calling thread; closing it does nothing.
HANDLE GetCurrentThread();
int GetThreadPriority(HANDLE thread);
BOOL SetThreadPriority(HANDLE thread, int priority);

// The C runtime's thread start: the thread runs detached. Returns 0 on success, -1 on failure.
std::intptr_t _beginthread(void (*routine)(void*), unsigned stackSize, void* argument);
