#include "app/gwell_app.h"

#include "app/lisp_functions.h"
#include "app/module_paths.h"
#include "app/resource_strings.h"
#include "cmd/operations.h"
#include "livelink/change_queue.h"
#include "livelink/com_server.h"
#include "livelink/live_link.h"

#include <accmd.h>
#include <adslib.h>
#include <afxwin.h>

#include <clocale>
#include <msvcrt_locale.h>

namespace {

const char kCommandGroup[] = "Gridwell";
const char kResourceModuleName[] = "gwell16res.dll";

// The module's record with the host's user-interface framework.
CAcExtensionModule g_extensionModule;

} // namespace

GwellApp& TheGwellApp()
{
    static GwellApp application;
    return application;
}

GwellApp::~GwellApp() = default;

std::string GwellApp::ModuleFileName() const { return ModuleFileNameOf(m_moduleInstance); }
std::string GwellApp::ModuleDirectory() const { return ModuleDirectoryOf(m_moduleInstance); }

bool GwellApp::AttachProcess(HINSTANCE moduleInstance)
{
    m_moduleInstance = moduleInstance;
    const std::string resourcePath = ModuleDirectory() + "\\" + kResourceModuleName;
    HINSTANCE resources = LoadLibraryA(resourcePath.c_str());
    if (!resources)
        return false;
    m_resourceInstance = resources;
    g_extensionModule.AttachInstance(moduleInstance, resources);
    // The class is registered on every load; a failure does not stop the load.
    InitComServerModule();
    RegisterComServer(ModuleFileName());
    return true;
}

void GwellApp::DetachProcess()
{
    if (g_extensionModule.Attached())
        g_extensionModule.DetachInstance();
    if (m_resourceInstance) {
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
        return OnLoadDocument();
    case AcRx::kUnloadDwgMsg:
        return OnUnloadDocument();
    case AcRx::kInvkSubrMsg:
        return OnInvokeSubroutine();
    case AcRx::kCfgMsg:
        return OnConfiguration();
    case AcRx::kEndMsg:
        return OnEnd();
    case AcRx::kQuitMsg:
        return OnQuit();
    case AcRx::kSaveMsg:
        return OnSave();
    case AcRx::kDependencyMsg:
        return OnDependency();
    case AcRx::kNoDependencyMsg:
        return OnNoDependency();
    case AcRx::kOleUnloadAppMsg:
        return OnOleUnload();
    case AcRx::kPreQuitMsg:
        return OnPreQuit();
    case AcRx::kInitDialogMsg:
        return OnDialogStart(packet);
    case AcRx::kEndDialogMsg:
        return OnDialogEnd(packet);
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
    AfterLinkerDeclaration();
    acrxBuildClassHierarchy();
    RegisterCommands();
    AfterCommandRegistration();
    InitApplication();
    AfterInitialisation();
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::UnloadSequence()
{
    BeforeUnload();
    RemoveCommands();
    BeforeTeardown();
    TeardownApplication();
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::InitApplication()
{
    ResourceSourceScope resources;
    m_timerId = SetTimer(nullptr, 0, 1000, ImportTimerProc);
    ImportRunning() = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::TeardownApplication()
{
    if (m_timerId) {
        KillTimer(nullptr, m_timerId);
        m_timerId = 0;
    }
    StopLiveLink();
    if (ImportRunning()) {
        CloseHandle(ImportRunning());
        ImportRunning() = nullptr;
    }
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::RegisterCommands()
{
    AcEdCommandStack* commands = acedRegCmds;
    if (!commands)
        return AcRx::kRetError;
    commands->addCommand(kCommandGroup, "gwell", "gwell", ACRX_CMD_MODAL, CommandGwell);
    commands->addCommand(kCommandGroup, "gwtest", "gwtest", ACRX_CMD_MODAL, CommandGwtest);
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::RemoveCommands()
{
    if (AcEdCommandStack* commands = acedRegCmds)
        commands->removeGroup(kCommandGroup);
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::OnLoadDocument()
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
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::OnUnloadDocument()
{
    acedUndef("C:init_gwell", 0);
    return AcRx::kRetOK;
}

AcRx::AppRetCode GwellApp::OnInvokeSubroutine()
{
    const int code = acedGetFunCode();
    if (code >= 0 && static_cast<std::size_t>(code) < LispFunctionCount)
        LispFunctionTable[code].function();
    else
        acdbFail("Received nonexistent function code.");
    return AcRx::kRetOK;
}
