// Stand-in for synchapi.h: event objects and waits (CreateEventA, SetEvent,
// ResetEvent, WaitForSingleObject, WaitForMultipleObjects, Sleep; CloseHandle
// is in handleapi.h, threads in processthreadsapi.h), with real threads
// behind them.
// Simplifications: named events are not shared; security attributes are
// ignored; WaitForMultipleObjects waits for any one object (waitAll is
// refused); closing the last handle frees the object even if a thread waits on it.
#pragma once
#include "windef.h"

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// An auto-reset event is cleared by the wait that it releases; a thread is
// signalled once it has ended.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// WAIT_OBJECT_0 + index of the first signalled object.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
void Sleep(DWORD milliseconds);
