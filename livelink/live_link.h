// The live link's worker: the thread that hosts the event sink in its own
// apartment, and the interface through which the main thread switches the
// sink on and off. ConnectLiveLink and DisconnectLiveLink (livelink/livelink.h)
// are the keywords' side; the module's unload calls StopLiveLink.
#pragma once
#include <windows.h>

// The worker's routine; `streamSlot` is an IStream** that receives the
// sink's marshalled interface. 0 after a stop, 1 after a failure or WM_QUIT.
DWORD EventThreadProc(LPVOID streamSlot);

// Stops and joins the worker if one was started, releases the sink's
// interface and closes the worker's handles. Safe to call when none exists.
void StopLiveLink();

// For diagnostics and tests: whether a worker has been started, and whether
// the main thread holds the sink's interface.
bool LiveLinkWorkerStarted();
bool LiveLinkSinkHeld();
