// Stand-in for the per-thread last-error value (GetLastError, SetLastError).
#pragma once
#include "windef.h"

DWORD GetLastError();
void SetLastError(DWORD error);
