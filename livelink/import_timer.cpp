#include "livelink/change_queue.h"

#include <acdocman.h>

void CALLBACK ImportTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    // Cheap when idle: two tests and no call into the host.
    HANDLE running = ImportRunning();
    if (running && WaitForSingleObject(running, 0) == WAIT_OBJECT_0)
        return;
    if (TheChangeQueue().Empty())
        return;
    AcApDocument* document = acDocManager->curDocument();
    if (!document || !document->isQuiescent())
        return;
    acDocManager->sendStringToExecute(document, "gwell\n_import2\n", false, true, true);
}
