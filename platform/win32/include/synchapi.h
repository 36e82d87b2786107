// Stand-in for synchapi.h: event objects and waits (CreateEventA, SetEvent,
// ResetEvent, WaitForSingleObject; CloseHandle is in handleapi.h), with real threads behind them.
// Simplifications: named events are not shared; security attributes are
// ignored; closing the last handle frees the object even if a thread waits on it.
#pragma once
#include "windef.h"

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// An auto-reset event is cleared by the wait that it releases.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
