// Workbooks (the collection) and Workbook.
#include "excel_dispatch.h"
#include "excel_objects.h"
#include "excel.tlh"

namespace excelsim {
namespace {

class WorkbooksObject final : public DispatchObject {
public:
    explicit WorkbooksObject(std::shared_ptr<ExcelApp> app) : DispatchObject(std::move(app), IID_IDispatch) {}

protected:
    bool Describe(DISPID member, MemberShape& shape) const override
    {
        return DescribeCollection(member, shape, 1);
    }

    HRESULT Call(DISPID member, MemberKind, const Args& args, VARIANT* result, EXCEPINFO* excepInfo) override
    {
        switch (member) {
        case Excel::dispidCount:
            ReturnLong(result, app_->With([](AppData& data) { return static_cast<LONG>(data.workbooks.size()); }));
            return S_OK;
        case Excel::dispidAdd: {
            if (args.At(0))
                return ProgramError(excepInfo, u"Templates are not available.");
            auto book = app_->With([](AppData& data) { return data.AddWorkbook(); });
            ReturnObject(result, NewWorkbookObject(app_, book));
            return S_OK;
        }
        case Excel::dispidItem: {
            ItemIndex index;
            if (HRESULT hr = index.Read(args.At(0)); FAILED(hr))
                return hr;
            auto book = app_->With([&](AppData& data) -> std::shared_ptr<Workbook> {
                for (std::size_t i = 0; i < data.workbooks.size(); ++i)
                    if (index.Matches(i, data.workbooks[i]->name))
                        return data.workbooks[i];
                return nullptr;
            });
            if (!book)
                return DISP_E_BADINDEX; // "Subscript out of range"
            ReturnObject(result, NewWorkbookObject(app_, book));
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }
};

class WorkbookObject final : public DispatchObject {
public:
    WorkbookObject(std::shared_ptr<ExcelApp> app, std::shared_ptr<Workbook> book)
        : DispatchObject(std::move(app), __uuidof(Excel::_Workbook)), book_(std::move(book))
    {
    }

protected:
    bool Describe(DISPID member, MemberShape& shape) const override
    {
        switch (member) {
        case Excel::dispidName:
        case Excel::dispidWorksheets:
        case Excel::dispidActiveSheet:
            shape = {true, false, false, 0};
            return true;
        case Excel::dispidActivate:
            shape = {false, false, true, 0};
            return true;
        default:
            return false;
        }
    }

    HRESULT Call(DISPID member, MemberKind, const Args&, VARIANT* result, EXCEPINFO*) override
    {
        switch (member) {
        case Excel::dispidName:
            ReturnText(result, app_->With([&](AppData&) { return book_->name; }));
            return S_OK;
        case Excel::dispidWorksheets:
            ReturnObject(result, NewWorksheetsObject(app_, book_));
            return S_OK;
        case Excel::dispidActivate:
            app_->With([&](AppData& data) { data.activeWorkbook = book_; });
            return S_OK;
        case Excel::dispidActiveSheet: {
            auto sheet = app_->With([&](AppData&) {
                return book_->sheets.empty() ? nullptr : book_->sheets[book_->activeSheet];
            });
            ReturnObject(result, sheet ? NewWorksheetObject(app_, SheetRef{book_, sheet}) : nullptr);
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    std::shared_ptr<Workbook> book_;
};

} // namespace

IDispatch* NewWorkbooksObject(std::shared_ptr<ExcelApp> app) { return new WorkbooksObject(std::move(app)); }
IDispatch* NewWorkbookObject(std::shared_ptr<ExcelApp> app, std::shared_ptr<Workbook> book)
{
    return new WorkbookObject(std::move(app), std::move(book));
}

} // namespace excelsim
