// Stand-in for the per-thread last-error value (GetLastError, SetLastError).
#pragma once
#include "wintypes.h"

DWORD GetLastError();
void SetLastError(DWORD error);
