// Application: the program's top object.
#include "excel_dispatch.h"
#include "excel_objects.h"
#include "excel.tlh"

namespace excelsim {
namespace {

class ApplicationObject final : public DispatchObject, public IConnectionPointContainer {
public:
    explicit ApplicationObject(std::shared_ptr<ExcelApp> app)
        : DispatchObject(std::move(app), __uuidof(Excel::_Application))
    {
    }

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (object && riid == IID_IConnectionPointContainer)
            return ComAnswer<IConnectionPointContainer>(this, object);
        return DispatchObject::QueryInterface(riid, object);
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** point) override
    {
        if (!point)
            return E_POINTER;
        *point = nullptr;
        if (!(riid == __uuidof(Excel::AppEvents)))
            return CONNECT_E_NOCONNECTION;
        if (app_->HasQuit())
            return RPC_E_DISCONNECTED;
        *point = NewAppEventsConnectionPoint(app_, this);
        return S_OK;
    }

protected:
    bool Describe(DISPID member, MemberShape& shape) const override
    {
        switch (member) {
        case Excel::dispidVisible:
        case Excel::dispidInteractive:
            shape = {true, true, false, 0};
            return true;
        case Excel::dispidActiveWorkbook:
        case Excel::dispidWorkbooks:
        case Excel::dispidActiveSheet:
            shape = {true, false, false, 0};
            return true;
        default:
            return false;
        }
    }

    HRESULT Call(DISPID member, MemberKind kind, const Args& args, VARIANT* result, EXCEPINFO*) override
    {
        if (kind == MemberKind::Put) {
            bool on = false;
            if (HRESULT hr = ArgAsBool(args.PutValue(), on); FAILED(hr))
                return hr;
            app_->With([&](AppData& data) { (member == Excel::dispidVisible ? data.visible : data.interactive) = on; });
            return S_OK;
        }
        switch (member) {
        case Excel::dispidVisible:
        case Excel::dispidInteractive:
            ReturnBool(result, app_->With([&](AppData& data) {
                return member == Excel::dispidVisible ? data.visible : data.interactive;
            }));
            return S_OK;
        case Excel::dispidWorkbooks:
            ReturnObject(result, NewWorkbooksObject(app_));
            return S_OK;
        case Excel::dispidActiveWorkbook: {
            // No open workbook: the program answers Nothing, an empty object.
            auto book = app_->With([](AppData& data) { return data.activeWorkbook; });
            ReturnObject(result, book ? NewWorkbookObject(app_, book) : nullptr);
            return S_OK;
        }
        case Excel::dispidActiveSheet: {
            SheetRef ref = app_->With([](AppData& data) {
                SheetRef r;
                if (data.activeWorkbook && !data.activeWorkbook->sheets.empty()) {
                    r.book = data.activeWorkbook;
                    r.sheet = r.book->sheets[r.book->activeSheet];
                }
                return r;
            });
            ReturnObject(result, ref.sheet ? NewWorksheetObject(app_, ref) : nullptr);
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }
};

} // namespace

IDispatch* NewApplicationObject(std::shared_ptr<ExcelApp> app) { return new ApplicationObject(std::move(app)); }

} // namespace excelsim
