// The module loaded into a host exactly as gwhost loads it.
#include "support/host_fixture.h"

#include <acdocman.h>
#include <adslib.h>
#include <loader.h>
#include <rxregsvc.h>
#include <synch.h>
#include <timers.h>

#include <chrono>
#include <filesystem>

#include "com_object.h"
#include "com_runtime.h"
#include "excel_context.h"

namespace {

const std::string kModule = GW_BIN_DIR "/gwell16.arx";

class ModuleLifecycle : public HostFixture {
};

TEST_F(ModuleLifecycle, InitialisationRegistersCommandsTimerAndSignal)
{
    const int handlesBefore = OpenKernelHandleCount();
    const int timersBefore = ActiveTimerCount();
    std::string error;
    ASSERT_TRUE(host.loadApplication(kModule, error)) << error;
    EXPECT_TRUE(host.hasCommand("Gridwell", "gwell"));
    EXPECT_TRUE(host.hasCommand("Gridwell", "gwtest"));
    EXPECT_EQ(host.classHierarchyBuilds(), 1);
    EXPECT_EQ(ActiveTimerCount(), timersBefore + 1);
    EXPECT_EQ(OpenKernelHandleCount(), handlesBefore + 1) << "ImportRunning";
    EXPECT_EQ(host.resourceStackDepth(), 0);

    // Unloading without a Connect: timer killed, signal closed, no wait.
    host.unloadApplications();
    EXPECT_FALSE(host.hasCommand("Gridwell", "gwell"));
    EXPECT_FALSE(host.hasCommand("Gridwell", "gwtest"));
    EXPECT_EQ(ActiveTimerCount(), timersBefore);
    EXPECT_EQ(OpenKernelHandleCount(), handlesBefore);
    EXPECT_EQ(LoaderOpenModuleCount(), 0) << "module or resource module left loaded";
}

TEST_F(ModuleLifecycle, UnloadWithTheLiveLinkOnEndsTheWorkerWithin100Ms)
{
    const int handlesBefore = OpenKernelHandleCount();
    const LONG objectsBefore = ComLiveObjectCount();
    {
        ComRuntime runtime;
        ComRuntime::Install(&runtime);
        excelsim::ExcelContext excel(excelsim::ExcelInstall::Running);
        excel.Install(runtime);
        std::string error;
        ASSERT_TRUE(host.loadApplication(kModule, error)) << error;
        Type({"Connect"});
        ASSERT_TRUE(host.runCommand("gwell"));
        EXPECT_EQ(OpenKernelHandleCount(), handlesBefore + 4) << "ImportRunning, the worker and its two signals";
        const auto start = std::chrono::steady_clock::now();
        host.unloadApplications();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
        // The worker has ended and every handle of the live link is closed.
        EXPECT_EQ(OpenKernelHandleCount(), handlesBefore);
        ComRuntime::Install(nullptr);
    }
    EXPECT_EQ(ComLiveObjectCount(), objectsBefore);
}

TEST_F(ModuleLifecycle, ApplicationIsUnlockedSoTheHostMayUnloadIt)
{
    std::string error;
    ASSERT_TRUE(host.loadApplication(kModule, error)) << error;
    EXPECT_TRUE(acrxDynamicLinker->unloadModule(kModule.c_str(), false));
    EXPECT_FALSE(host.hasCommand("Gridwell", "gwell"));
}

TEST_F(ModuleLifecycle, EveryLoadedDocumentGetsItsOwnLispFunctionAndOneQueuedRun)
{
    std::string error;
    ASSERT_TRUE(host.loadApplication(kModule, error)) << error;
    AcApDocument* first = host.openDocument(nullptr, "first.dxf");
    EXPECT_TRUE(host.isLispFunctionDefined(first, "C:init_gwell"));
    EXPECT_EQ(host.queuedExpressions(), std::vector<std::string>{"(C:init_gwell)"});

    AcApDocument* second = host.openDocument(nullptr, "second.dxf");
    EXPECT_TRUE(host.isLispFunctionDefined(second, "C:init_gwell"));
    EXPECT_EQ(host.queuedExpressions().size(), 2u);

    host.runQueuedExpressions();
    EXPECT_TRUE(host.queuedExpressions().empty());
    EXPECT_TRUE(host.failures().empty());

    host.closeDocument(first);
    EXPECT_FALSE(host.isLispFunctionDefined(first, "C:init_gwell"));
    EXPECT_TRUE(host.isLispFunctionDefined(second, "C:init_gwell"));
    host.closeDocument(second);
}

TEST_F(ModuleLifecycle, DocumentsOpenBeforeTheLoadAreReportedToo)
{
    AcApDocument* document = host.openDocument(nullptr, "open.dxf");
    std::string error;
    ASSERT_TRUE(host.loadApplication(kModule, error)) << error;
    EXPECT_TRUE(host.isLispFunctionDefined(document, "C:init_gwell"));
    host.closeDocument(document);
}

TEST_F(ModuleLifecycle, UnknownFunctionCodeIsReportedAsAFailure)
{
    std::string error;
    ASSERT_TRUE(host.loadApplication(kModule, error)) << error;
    HMODULE module = LoadLibraryA(kModule.c_str()); // the same module, one more reference
    ASSERT_NE(module, nullptr);
    using EntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);
    auto entryPoint = reinterpret_cast<EntryPoint>(GetProcAddress(module, "acrxEntryPoint"));
    ASSERT_NE(entryPoint, nullptr);
    // Outside a LISP call the host has no function code to give (-1 or worse).
    EXPECT_EQ(entryPoint(AcRx::kInvkSubrMsg, nullptr), AcRx::kRetOK);
    EXPECT_EQ(host.failures(), std::vector<std::string>{"Received nonexistent function code."});
    EXPECT_EQ(entryPoint(AcRx::kCfgMsg, nullptr), AcRx::kRetOK);
    EXPECT_EQ(entryPoint(AcRx::kNullMsg, nullptr), AcRx::kRetOK);
    FreeLibrary(module);
}

TEST_F(ModuleLifecycle, ModuleWithoutItsResourceModuleRefusesToLoad)
{
    namespace fs = std::filesystem;
    const fs::path lonely = fs::temp_directory_path() / ("gwell-lonely-" + std::to_string(getpid()));
    fs::create_directories(lonely);
    fs::copy_file(kModule, lonely / "gwell16.arx", fs::copy_options::overwrite_existing);
    std::string error;
    EXPECT_FALSE(host.loadApplication((lonely / "gwell16.arx").string(), error));
    EXPECT_NE(error.find("resource"), std::string::npos) << error;
    EXPECT_FALSE(host.hasCommand("Gridwell", "gwell"));
    EXPECT_EQ(LoaderOpenModuleCount(), 0);
    fs::remove_all(lonely);

    LoaderFailLoadsOf("gwell16res.dll", 1);
    EXPECT_FALSE(host.loadApplication(kModule, error));
    EXPECT_TRUE(host.loadApplication(kModule, error)) << error;
}

} // namespace
