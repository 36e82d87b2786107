// The application's AppEvents connection point and the SheetChange event.
#include "com_apartment.h"
#include "com_object.h"
#include "excel_dispatch.h"
#include "excel_objects.h"
#include "excel.tlh"

namespace excelsim {
namespace {

class AppEventsConnectionPoint final : public IConnectionPoint, private ComObjectBase {
public:
    AppEventsConnectionPoint(std::shared_ptr<ExcelApp> app, IConnectionPointContainer* container)
        : app_(std::move(app)), container_(container)
    {
        container_->AddRef();
    }
    ~AppEventsConnectionPoint() override { container_->Release(); }

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IConnectionPoint)
            return ComAnswer<IConnectionPoint>(this, object);
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT GetConnectionInterface(IID* iid) override
    {
        if (!iid)
            return E_POINTER;
        *iid = __uuidof(Excel::AppEvents);
        return S_OK;
    }
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override
    {
        if (!container)
            return E_POINTER;
        container_->AddRef();
        *container = container_;
        return S_OK;
    }
    // The sink must answer for AppEvents, as the program asks it for that.
    // The program is another process: its event calls reach a sink that lives
    // in a single-threaded apartment through that apartment's message queue.
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override
    {
        if (!sink || !cookie)
            return E_POINTER;
        if (app_->HasQuit())
            return RPC_E_DISCONNECTED;
        void* events = nullptr;
        if (FAILED(sink->QueryInterface(__uuidof(Excel::AppEvents), &events)))
            return CONNECT_E_CANNOTCONNECT;
        IDispatch* reachable = DispatchForOtherThreads(static_cast<IDispatch*>(events));
        static_cast<IDispatch*>(events)->Release();
        *cookie = app_->AddSink(reachable);
        return S_OK;
    }
    HRESULT Unadvise(DWORD cookie) override
    {
        if (app_->HasQuit())
            return RPC_E_DISCONNECTED;
        IDispatch* sink = app_->RemoveSink(cookie);
        if (!sink)
            return CONNECT_E_NOCONNECTION;
        sink->Release();
        return S_OK;
    }
    HRESULT EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    std::shared_ptr<ExcelApp> app_;
    IConnectionPointContainer* container_;
};

} // namespace

IConnectionPoint* NewAppEventsConnectionPoint(std::shared_ptr<ExcelApp> app, IConnectionPointContainer* container)
{
    return new AppEventsConnectionPoint(std::move(app), container);
}

void FireSheetChange(const std::shared_ptr<ExcelApp>& app, const SheetRef& ref, const CellRect& rect)
{
    std::vector<IDispatch*> sinks = app->SinkSnapshot();
    if (sinks.empty())
        return;
    // SheetChange(Sh, Target): arguments last first.
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[0].vt = VT_DISPATCH;
    args[0].pdispVal = NewRangeObject(app, ref, CellRect{rect.top, rect.left, rect.bottom, rect.right, RangeShape::Cells});
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = NewWorksheetObject(app, ref);
    DISPPARAMS params{args, nullptr, 2, 0};
    for (IDispatch* sink : sinks) {
        // What a sink answers does not concern the program.
        sink->Invoke(Excel::dispidSheetChange, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
        sink->Release();
    }
    VariantClear(&args[0]);
    VariantClear(&args[1]);
}

} // namespace excelsim
