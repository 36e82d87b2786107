#include "excel_context.h"

#include "excel_objects.h"
#include "excel.tlh"

namespace excelsim {

ExcelContext::ExcelContext(ExcelInstall install) : install_(install) {}

ExcelContext::~ExcelContext()
{
    // A watcher fires events into the instances: it ends first.
    StopWatching();
    std::vector<Instance> instances;
    {
        std::lock_guard<std::mutex> guard(lock_);
        instances.swap(instances_);
    }
    for (auto& instance : instances) {
        instance.app->MarkQuit();
        instance.app->DropSinks();
        if (runtime_)
            runtime_->RevokeActive(instance.cookie);
    }
    if (runtime_ && install_ != ExcelInstall::Absent)
        runtime_->UnregisterClass(Excel::CLSID_Application);
}

void ExcelContext::Install(ComRuntime& runtime)
{
    runtime_ = &runtime;
    if (install_ == ExcelInstall::Absent)
        return;
    runtime.RegisterClass(Excel::CLSID_Application, Excel::kProgId, CLSCTX_LOCAL_SERVER,
                          [this](REFIID riid, void** object) { return CreateForClient(riid, object); });
    if (install_ == ExcelInstall::Running)
        Start();
}

std::shared_ptr<ExcelApp> ExcelContext::Start()
{
    if (install_ == ExcelInstall::Absent || !runtime_)
        return nullptr;
    auto app = std::make_shared<ExcelApp>(counter_);
    IDispatch* object = NewApplicationObject(app);
    DWORD cookie = 0;
    runtime_->RegisterActive(object, Excel::CLSID_Application, cookie);
    object->Release(); // the running object table keeps it
    std::lock_guard<std::mutex> guard(lock_);
    instances_.push_back(Instance{app, cookie});
    return app;
}

HRESULT ExcelContext::CreateForClient(REFIID riid, void** object)
{
    auto app = Start();
    if (!app)
        return REGDB_E_CLASSNOTREG;
    // Hand out the instance just started, not an older one.
    IDispatch* application = NewApplicationObject(app);
    HRESULT hr = application->QueryInterface(riid, object);
    application->Release();
    return hr;
}

std::shared_ptr<ExcelApp> ExcelContext::Running() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return instances_.empty() ? nullptr : instances_.front().app;
}

std::vector<std::shared_ptr<ExcelApp>> ExcelContext::Instances() const
{
    std::vector<std::shared_ptr<ExcelApp>> out;
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& instance : instances_)
        out.push_back(instance.app);
    return out;
}

void ExcelContext::Quit(const std::shared_ptr<ExcelApp>& app)
{
    DWORD cookie = 0;
    bool found = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (auto it = instances_.begin(); it != instances_.end(); ++it) {
            if (it->app == app) {
                cookie = it->cookie;
                instances_.erase(it);
                found = true;
                break;
            }
        }
    }
    if (!found)
        return;
    app->MarkQuit();
    app->DropSinks();
    if (runtime_)
        runtime_->RevokeActive(cookie);
}

} // namespace excelsim

namespace excelsim {

bool ExcelContext::WatchWorkbookFile(const std::shared_ptr<ExcelApp>& app, const std::u16string& workbook,
                                     const std::string& path, WorkbookWatcher::Warning warning, std::string& error,
                                     WatchOptions options)
{
    auto watcher = std::make_unique<WorkbookWatcher>(app, workbook, path, std::move(warning), options);
    if (!watcher->Start(error))
        return false;
    std::lock_guard<std::mutex> guard(lock_);
    watchers_.push_back(std::move(watcher));
    return true;
}

void ExcelContext::StopWatching()
{
    std::vector<std::unique_ptr<WorkbookWatcher>> watchers;
    {
        std::lock_guard<std::mutex> guard(lock_);
        watchers.swap(watchers_);
    }
    watchers.clear(); // each joins its thread, no lock held
}

bool ExcelContext::SaveInFlight(std::chrono::milliseconds grace) const
{
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& watcher : watchers_)
        if (watcher->SaveInFlight(grace))
            return true;
    return false;
}

int ExcelContext::SavesApplied() const
{
    std::lock_guard<std::mutex> guard(lock_);
    int total = 0;
    for (const auto& watcher : watchers_)
        total += watcher->SavesApplied();
    return total;
}

} // namespace excelsim
