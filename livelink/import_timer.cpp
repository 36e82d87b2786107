#include "livelink/import_timer.h"

#include "common/module_state.h"

#include <acdocman.h>

void CALLBACK ImportTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    ModuleState& state = TheModuleState();
    // Cheap when idle: two tests and no call into the host.
    HANDLE running = state.importRunning;
    if (running && WaitForSingleObject(running, 0) == WAIT_OBJECT_0)
        return;
    if (state.changeQueue.Empty())
        return;
    AcApDocument* document = acDocManager->curDocument();
    if (!document || !document->isQuiescent())
        return;
    acDocManager->sendStringToExecute(document, "gwell\n_import2\n", /*activate=*/false, /*wrapUpInactiveDoc=*/true,
                                      /*echoString=*/true);
}
