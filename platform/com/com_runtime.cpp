#include "com_runtime.h"

#include <atomic>

namespace {
std::atomic<ComRuntime*> g_current{nullptr};
}

ComRuntime::ComRuntime() = default;

ComRuntime::~ComRuntime()
{
    if (g_current.load() == this)
        g_current.store(nullptr);
    std::map<DWORD, ActiveEntry> active;
    {
        std::lock_guard<std::mutex> guard(lock_);
        active.swap(active_);
    }
    for (auto& [cookie, entry] : active)
        entry.object->Release();
}

ComRuntime* ComRuntime::Current() { return g_current.load(); }
void ComRuntime::Install(ComRuntime* runtime) { g_current.store(runtime); }

void ComRuntime::RegisterClass(REFCLSID clsid, const std::u16string& progId, DWORD contexts, Factory factory)
{
    std::lock_guard<std::mutex> guard(lock_);
    classes_[clsid] = ClassEntry{progId, contexts, std::move(factory)};
}

void ComRuntime::UnregisterClass(REFCLSID clsid)
{
    Factory doomed; // destroyed outside the lock: it may own objects
    std::lock_guard<std::mutex> guard(lock_);
    auto it = classes_.find(clsid);
    if (it != classes_.end()) {
        doomed = std::move(it->second.factory);
        classes_.erase(it);
    }
}

namespace {
bool SameProgId(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}
} // namespace

bool ComRuntime::FindProgId(const std::u16string& progId, CLSID& clsid) const
{
    std::lock_guard<std::mutex> guard(lock_);
    // ProgIDs are registry key names: case does not matter.
    for (const auto& [id, entry] : classes_) {
        if (SameProgId(entry.progId, progId)) {
            clsid = id;
            return true;
        }
    }
    return false;
}

HRESULT ComRuntime::Create(REFCLSID clsid, DWORD contexts, REFIID riid, void** object) const
{
    Factory factory;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = classes_.find(clsid);
        if (it == classes_.end())
            return REGDB_E_CLASSNOTREG;
        if ((it->second.contexts & contexts) == 0)
            return REGDB_E_CLASSNOTREG;
        factory = it->second.factory;
    }
    return factory(riid, object);
}

HRESULT ComRuntime::RegisterActive(IUnknown* object, REFCLSID clsid, DWORD& cookie)
{
    if (!object)
        return E_INVALIDARG;
    object->AddRef();
    std::lock_guard<std::mutex> guard(lock_);
    cookie = nextCookie_++;
    active_[cookie] = ActiveEntry{clsid, object};
    return S_OK;
}

HRESULT ComRuntime::RevokeActive(DWORD cookie)
{
    IUnknown* object = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = active_.find(cookie);
        if (it == active_.end())
            return E_INVALIDARG;
        object = it->second.object;
        active_.erase(it);
    }
    object->Release();
    return S_OK;
}

HRESULT ComRuntime::FindActive(REFCLSID clsid, IUnknown** object) const
{
    std::lock_guard<std::mutex> guard(lock_);
    // The first registration of a class is the one GetActiveObject finds.
    for (const auto& [cookie, entry] : active_) {
        if (entry.clsid == clsid) {
            entry.object->AddRef();
            *object = entry.object;
            return S_OK;
        }
    }
    return MK_E_UNAVAILABLE;
}

void ComRuntime::FailCall(ComCall call, int nth, HRESULT hr)
{
    std::lock_guard<std::mutex> guard(lock_);
    callFaults_.push_back(CallFault{call, nth, hr});
}

HRESULT ComRuntime::TakeCallFault(ComCall call)
{
    std::lock_guard<std::mutex> guard(lock_);
    HRESULT result = S_OK;
    for (auto it = callFaults_.begin(); it != callFaults_.end();) {
        if (it->call == call && --it->countdown == 0) {
            if (result == S_OK)
                result = it->hr;
            it = callFaults_.erase(it);
        } else {
            ++it;
        }
    }
    return result;
}

void ComRuntime::FailDispatch(DISPID dispid, int nth, HRESULT hr, std::u16string source, std::u16string description)
{
    std::lock_guard<std::mutex> guard(lock_);
    dispatchFaults_.push_back(DispatchFault{dispid, nth, hr, std::move(source), std::move(description)});
    armedDispatchFaults_.store(dispatchFaults_.size(), std::memory_order_release);
}

HRESULT ComRuntime::TakeDispatchFault(DISPID dispid, EXCEPINFO* excepInfo)
{
    if (armedDispatchFaults_.load(std::memory_order_acquire) == 0)
        return S_OK;
    DispatchFault fired{0, 0, S_OK, {}, {}};
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (auto it = dispatchFaults_.begin(); it != dispatchFaults_.end();) {
            if (it->dispid == dispid && --it->countdown == 0) {
                if (fired.hr == S_OK)
                    fired = *it;
                it = dispatchFaults_.erase(it);
            } else {
                ++it;
            }
        }
        armedDispatchFaults_.store(dispatchFaults_.size(), std::memory_order_release);
    }
    if (fired.hr == S_OK)
        return S_OK;
    if (fired.source.empty() && fired.description.empty())
        return fired.hr;
    return ReportDispatchFailure(excepInfo, fired.hr, fired.source, fired.description);
}

HRESULT ReportDispatchFailure(EXCEPINFO* excepInfo, HRESULT scode, const std::u16string& source,
                              const std::u16string& description)
{
    auto alloc = [](const std::u16string& text) {
        return text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    };
    if (excepInfo) {
        *excepInfo = EXCEPINFO{};
        excepInfo->bstrSource = alloc(source);
        excepInfo->bstrDescription = alloc(description);
        excepInfo->scode = scode;
        return DISP_E_EXCEPTION;
    }
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        std::u16string s = source, d = description;
        create->SetSource(s.data());
        create->SetDescription(d.data());
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return scode;
}
