// Stand-in for event objects, thread objects and waits (synchapi.h,
// processthreadsapi.h: CreateEventA, SetEvent, ResetEvent, CreateThread,
// ResumeThread, GetExitCodeThread, WaitForSingleObject,
// WaitForMultipleObjects, CloseHandle), with real threads behind them.
// Simplifications: named events are not shared; security attributes and
// stack sizes are ignored; WaitForMultipleObjects waits for any one object
// (waitAll is refused); a thread whose last handle is closed before it ends
// runs on detached.
#pragma once
#include "wintypes.h"

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64
#define STILL_ACTIVE 259u
#define CREATE_SUSPENDED 0x00000004u

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// An auto-reset event is cleared by the wait that it releases; a thread is
// signalled once it has ended.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// WAIT_OBJECT_0 + index of the first signalled object.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
BOOL CloseHandle(HANDLE handle);

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId);
// The previous suspend count (1 for a thread created suspended), or (DWORD)-1.
DWORD ResumeThread(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
DWORD GetCurrentThreadId();
void Sleep(DWORD milliseconds);

// Kernel objects not yet closed, for leak checks.
int OpenKernelHandleCount();
