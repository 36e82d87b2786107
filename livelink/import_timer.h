// The live link's timer: it turns queued cell changes into an incremental
// import once the user's document is idle.
#pragma once
#include <windows.h>

// The one-second timer callback: asks the current document to run the
// incremental import when changes wait and nothing else runs.
void CALLBACK ImportTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
