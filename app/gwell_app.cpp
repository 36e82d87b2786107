#include "app/gwell_app.h"

#include "app/lisp_functions.h"
#include "app/module_paths.h"
#include "cmd/command_gwell.h"
#include "cmd/command_gwtest.h"
#include "common/module_state.h"
#include "common/resource_strings.h"
#include "livelink/import_timer.h"
#include "livelink/com_server.h"
#include "livelink/live_link.h"

#include <accmd.h>
#include <adslib.h>
#include <afxwin.h>

#include <clocale>
#include <mbctype.h>

namespace {

const char kCommandGroup[] = "Gridwell";
const char kResourceModuleName[] = "gwell16res.dll";
// How often the live link's timer looks for queued cell changes.
constexpr UINT kImportTimerPeriodMs = 1000;

// The module's record with the host's user-interface framework.
CAcExtensionModule g_extensionModule;

} // namespace

GwellApp& TheGwellApp()
{
    static GwellApp application;
    return application;
}

bool GwellApp::AttachProcess(HINSTANCE moduleInstance)
{
    m_moduleInstance = moduleInstance;
    const std::string resourcePath = ModuleDirectoryOf(moduleInstance) + "\\" + kResourceModuleName;
    HINSTANCE resources = LoadLibraryA(resourcePath.c_str());
    if (!resources)
        return false;
    m_resourceInstance = resources;
    SetResourceModule(resources);
    g_extensionModule.AttachInstance(moduleInstance, resources);
    // The class is registered on every load; a failure does not stop the load.
    InitComServerModule();
    RegisterComServer(ModulePathOf(m_moduleInstance));
    return true;
}

void GwellApp::DetachProcess()
{
    // The help library goes with the module, not before: a viewer it opened
    // may still be showing when the host unloads the application.
    if (m_helpLibrary) {
        FreeLibrary(m_helpLibrary);
        m_helpLibrary = nullptr;
    }
    if (g_extensionModule.Attached())
        g_extensionModule.DetachInstance();
    if (m_resourceInstance) {
        SetResourceModule(nullptr);
        FreeLibrary(m_resourceInstance);
        m_resourceInstance = nullptr;
    }
    TermComServerModule();
}

AcRx::AppRetCode GwellApp::Dispatch(AcRx::AppMsgCode message, void* packet)
{
    m_appId = packet;
    switch (message) {
    case AcRx::kInitAppMsg:
        return InitialisationSequence();
    case AcRx::kUnloadAppMsg:
        return UnloadSequence();
    case AcRx::kLoadDwgMsg:
        OnLoadDocument();
        return AcRx::kRetOK;
    case AcRx::kUnloadDwgMsg:
        OnUnloadDocument();
        return AcRx::kRetOK;
    case AcRx::kInvkSubrMsg:
        OnInvokeSubroutine();
        return AcRx::kRetOK;
    default:
        return AcRx::kRetOK;
    }
}

AcRx::AppRetCode GwellApp::InitialisationSequence()
{
    // The runtime's own number conversions must use a point whatever the
    // user's regional settings say; variant coercion still follows them.
    setlocale(LC_ALL, ".ACP");
    setlocale(LC_NUMERIC, "ENU");
    acrxUnlockApplication(m_appId);
    if (AcRxDynamicLinker* linker = acrxDynamicLinker)
        linker->registerAppMDIAware(m_appId);
    acrxBuildClassHierarchy();
    RegisterCommands();
    InitApplication();
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::UnloadSequence()
{
    RemoveCommands();
    TeardownApplication();
    return AcRx::kRetOK;
}

void GwellApp::InitApplication()
{
    ResourceSourceScope resources;
    m_timerId = SetTimer(nullptr, 0, kImportTimerPeriodMs, ImportTimerProc);
    TheModuleState().importRunning = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

void GwellApp::TeardownApplication()
{
    if (m_timerId) {
        KillTimer(nullptr, m_timerId);
        m_timerId = 0;
    }
    StopLiveLink();
    HANDLE& importRunning = TheModuleState().importRunning;
    if (importRunning) {
        CloseHandle(importRunning);
        importRunning = nullptr;
    }
}

void GwellApp::RegisterCommands()
{
    AcEdCommandStack* commands = acedRegCmds;
    if (!commands)
        return;
    commands->addCommand(kCommandGroup, "gwell", "gwell", ACRX_CMD_MODAL, CommandGwell);
    commands->addCommand(kCommandGroup, "gwtest", "gwtest", ACRX_CMD_MODAL, CommandGwtest);
}

void GwellApp::RemoveCommands()
{
    if (AcEdCommandStack* commands = acedRegCmds)
        commands->removeGroup(kCommandGroup);
}

void GwellApp::OnLoadDocument()
{
    for (std::size_t code = 0; code < LispFunctionCount; ++code) {
        const LispFunctionEntry& entry = LispFunctionTable[code];
        if (acedDefun(entry.name, static_cast<short>(code)) != RTNORM)
            break;
        if (entry.registerForInvocation && acedRegFunc(entry.function, static_cast<int>(code)) != RTNORM)
            break;
    }
    // The menu is set up once the document is ready to evaluate LISP.
    ads_queueexpr("(C:init_gwell)");
}

void GwellApp::OnUnloadDocument() { acedUndef("C:init_gwell", 0); }

void GwellApp::OnInvokeSubroutine()
{
    const int code = acedGetFunCode();
    if (code >= 0 && static_cast<std::size_t>(code) < LispFunctionCount)
        LispFunctionTable[code].function();
    else
        acdbFail("Received nonexistent function code.");
}
