// The module's exports: the operating system's attach and detach
// notification and the host's application entry point.
#include "app/gwell_app.h"

namespace {
// The host generation whose SDK the module is built against.
constexpr int kHostApiVersion = 16;
} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        return TheGwellApp().AttachProcess(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        TheGwellApp().DetachProcess();
        return TRUE;
    default:
        return TRUE;
    }
}

AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message, void* packet)
{
    return TheGwellApp().Dispatch(message, packet);
}

// The version handshake the host's SDK adds to every application module.
int acrxGetApiVersion() { return kHostApiVersion; }

} // extern "C"
