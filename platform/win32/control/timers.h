// Host control of the thread timers (SetTimer, KillTimer of winuser.h): the
// host program's message loop runs the due ones; tests count the live ones.
#pragma once
#include <winuser.h>

// Runs the callback of every timer whose period has run out since it last
// fired (each at most once); with `all` set, of every timer. Returns how many ran.
int DispatchDueTimers(bool all = false);
int ActiveTimerCount();
