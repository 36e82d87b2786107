#include "excel_context.h"

#include "excel_objects.h"
#include "excel.tlh"

namespace excelsim {

ExcelContext::ExcelContext(ExcelInstall install) : install_(install) {}

ExcelContext::~ExcelContext()
{
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
