// The module's single application object: what the module keeps from load to
// unload, and one hook per host message. The host's messages reach it
// through acrxEntryPoint (app/entry_point.cpp).
#pragma once
#include <windows.h>
#include <rxregsvc.h>

#include <string>

class GwellApp {
public:
    GwellApp() = default;
    GwellApp(const GwellApp&) = delete;
    GwellApp& operator=(const GwellApp&) = delete;

    virtual ~GwellApp();
    virtual std::string ModuleFileName() const;
    virtual std::string ModuleDirectory() const;
    virtual void* CurrentAppId() const { return m_appId; }
    virtual AcRx::AppRetCode InitApplication();
    virtual AcRx::AppRetCode TeardownApplication();
    virtual AcRx::AppRetCode OnLoadDocument();
    virtual AcRx::AppRetCode OnUnloadDocument();
    virtual AcRx::AppRetCode OnSave() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnEnd() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnQuit() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnConfiguration() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnInvokeSubroutine();
    virtual AcRx::AppRetCode OnDependency() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnNoDependency() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnOleUnload() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnPreQuit() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnDialogStart(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode OnDialogEnd(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode AfterLinkerDeclaration() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode BeforeTeardown() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode RegisterCommands();
    virtual AcRx::AppRetCode RemoveCommands();
    virtual AcRx::AppRetCode AfterCommandRegistration() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode BeforeUnload() { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode AfterInitialisation() { return AcRx::kRetOK; }

    // The host's entry: stores the packet as the application id, then runs
    // the message's hook or sequence.
    AcRx::AppRetCode Dispatch(AcRx::AppMsgCode message, void* packet);

    // Process attach and detach work; false when the module must not load.
    bool AttachProcess(HINSTANCE moduleInstance);
    void DetachProcess();

    HINSTANCE ModuleInstance() const { return m_moduleInstance; }
    HINSTANCE ResourceInstance() const { return m_resourceInstance; }
    UINT_PTR TimerId() const { return m_timerId; }

    // The live link's worker state lives in livelink/ (live_link.h).
    HMODULE helpLibrary = nullptr;

private:
    AcRx::AppRetCode InitialisationSequence();
    AcRx::AppRetCode UnloadSequence();

    HINSTANCE m_moduleInstance = nullptr;
    HINSTANCE m_resourceInstance = nullptr;
    void* m_appId = nullptr;
    UINT_PTR m_timerId = 0;
};

// The application object of this module.
GwellApp& TheGwellApp();
