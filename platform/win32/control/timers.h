// Stand-in for thread timers (SetTimer without a window, KillTimer). As on
// Windows, a timer fires only when the thread that set it runs its message
// loop: the host program calls DispatchDueTimers from its main loop.
#pragma once
#include "windef.h"

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
#define WM_TIMER 0x0113

// With no window the id argument is ignored and a new nonzero id returned;
// 0 on failure (no callback).
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMilliseconds, TIMERPROC callback);
BOOL KillTimer(HWND window, UINT_PTR id);

// Runs the callback of every timer whose period has run out since it last
// fired (each at most once); with `all` set, of every timer. Returns how many ran.
int DispatchDueTimers(bool all = false);
int ActiveTimerCount();
