// The module's single application object: what the module keeps from load to
// unload (its instance, its resource module, the import timer) and the work
// of the host's messages. The host's messages reach it through
// acrxEntryPoint (app/entry_point.cpp); the state commands share lives in
// common/module_state.h.
#pragma once
#include <windows.h>
#include <rxregsvc.h>

class GwellApp {
public:
    GwellApp() = default;
    GwellApp(const GwellApp&) = delete;
    GwellApp& operator=(const GwellApp&) = delete;

    // The host's entry: stores the packet as the application id, then runs
    // the message's work. Messages the module has no work for answer OK.
    AcRx::AppRetCode Dispatch(AcRx::AppMsgCode message, void* packet);

    // Process attach and detach work; false when the module must not load.
    bool AttachProcess(HINSTANCE moduleInstance);
    void DetachProcess();

    HINSTANCE ModuleInstance() const { return m_moduleInstance; }
    // The HTML Help library, loaded by the first Help and kept while the
    // module is loaded (the viewer's window may outlive the call).
    HMODULE HelpLibrary() const { return m_helpLibrary; }
    void SetHelpLibrary(HMODULE library) { m_helpLibrary = library; }

private:
    AcRx::AppRetCode InitialisationSequence();
    AcRx::AppRetCode UnloadSequence();
    void InitApplication();
    void TeardownApplication();
    void RegisterCommands();
    void RemoveCommands();
    void OnLoadDocument();
    void OnUnloadDocument();
    void OnInvokeSubroutine();

    HINSTANCE m_moduleInstance = nullptr;
    HINSTANCE m_resourceInstance = nullptr;
    void* m_appId = nullptr;
    UINT_PTR m_timerId = 0;
    HMODULE m_helpLibrary = nullptr;
};

// The application object of this module.
GwellApp& TheGwellApp();
