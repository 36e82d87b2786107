// The spreadsheet program stand-in: one context per host process or test,
// created by gwhost or a fixture and installed into the COM runtime.
//
// The program is registered as "Excel.Application" (a local server) unless it
// is absent; when it runs, each instance stands in the running object table.
// CoCreateInstance starts a new instance, as the real local server does.
//
// Simplifications: no separate process (calls run on the caller's thread,
// under the instance's lock); an instance lives until Quit or the end of the
// context, whoever holds references; a block of cells reads as its first cell;
// no formulas, dates or number formats other than General and "@"; AutoFit
// widths are the longest displayed text in characters plus a fixed margin.
// The runtime the context is installed into must outlive it.
#pragma once
#include "com_runtime.h"
#include "excel_app.h"
#include "workbook_watcher.h"

#include <memory>
#include <mutex>
#include <vector>

namespace excelsim {

enum class ExcelInstall { Absent, Installed, Running };

class ExcelContext {
public:
    explicit ExcelContext(ExcelInstall install = ExcelInstall::Installed);
    ~ExcelContext();
    ExcelContext(const ExcelContext&) = delete;
    ExcelContext& operator=(const ExcelContext&) = delete;

    // Registers the program's class with `runtime` (unless absent) and, when
    // it is to be running, starts one instance without workbooks.
    void Install(ComRuntime& runtime);
    ExcelInstall State() const { return install_; }

    // Starts a new instance and puts it in the running object table, as
    // CoCreateInstance does. Null when the program is absent.
    std::shared_ptr<ExcelApp> Start();
    // The instance GetActiveObject would find; null when none runs.
    std::shared_ptr<ExcelApp> Running() const;
    // Every instance started that has not quit.
    std::vector<std::shared_ptr<ExcelApp>> Instances() const;
    // The user closes the program: it leaves the running object table and
    // every object of it answers RPC_E_DISCONNECTED from then on.
    void Quit(const std::shared_ptr<ExcelApp>& app);

    // Binds the open workbook `workbook` of `app` to its file at `path` and
    // follows the saves other programs make of it (workbook_watcher.h). The
    // watchers end with StopWatching or with the context, before any
    // instance does.
    bool WatchWorkbookFile(const std::shared_ptr<ExcelApp>& app, const std::u16string& workbook,
                           const std::string& path, WorkbookWatcher::Warning warning, std::string& error,
                           WatchOptions options = {});
    void StopWatching();
    // Saves taken in by every watcher so far.
    int SavesApplied() const;
    // Whether any watcher has a save in flight (WorkbookWatcher::SaveInFlight).
    bool SaveInFlight(std::chrono::milliseconds grace) const;

    // Automation calls by member id over all instances, for tests and benchmarks.
    std::uint64_t CallCount(DISPID member) const { return counter_->Of(member); }
    std::uint64_t TotalCalls() const { return counter_->Total(); }
    void ResetCallCounts() { counter_->Reset(); }

private:
    struct Instance {
        std::shared_ptr<ExcelApp> app;
        DWORD cookie;
    };
    HRESULT CreateForClient(REFIID riid, void** object);

    ExcelInstall install_;
    ComRuntime* runtime_ = nullptr;
    std::shared_ptr<CallCounter> counter_ = std::make_shared<CallCounter>();
    mutable std::mutex lock_;
    std::vector<Instance> instances_;
    std::vector<std::unique_ptr<WorkbookWatcher>> watchers_;
};

} // namespace excelsim
