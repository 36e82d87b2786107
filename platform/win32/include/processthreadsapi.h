// Stand-in for processthreadsapi.h: threads as kernel objects (CreateThread,
// ResumeThread, GetExitCodeThread, GetCurrentThreadId), waited on with
// synchapi.h and closed with handleapi.h.
// Simplifications: security attributes and stack sizes are ignored; a thread
// whose last handle is closed before it ends runs on detached.
#pragma once
#include "synchapi.h"

#include <cstddef>

#define STILL_ACTIVE 259u
#define CREATE_SUSPENDED 0x00000004u

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId);
// The previous suspend count (1 for a thread created suspended), or (DWORD)-1.
DWORD ResumeThread(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
DWORD GetCurrentThreadId();
