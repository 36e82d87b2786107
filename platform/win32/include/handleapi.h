// Stand-in for handleapi.h: closing a kernel object handle (the events of
// synchapi.h).
#pragma once
#include "windef.h"

BOOL CloseHandle(HANDLE handle);
