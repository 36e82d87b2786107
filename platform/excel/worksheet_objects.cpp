// Worksheets (the collection of one workbook) and Worksheet.
#include "excel_dispatch.h"
#include "excel_objects.h"
#include "excel.tlh"

#include <algorithm>

namespace excelsim {
namespace {

class WorksheetsObject final : public DispatchObject {
public:
    WorksheetsObject(std::shared_ptr<ExcelApp> app, std::shared_ptr<Workbook> book)
        : DispatchObject(std::move(app), IID_IDispatch), book_(std::move(book))
    {
    }

protected:
    bool Describe(DISPID member, MemberShape& shape) const override
    {
        return DescribeCollection(member, shape, 4);
    }

    HRESULT Call(DISPID member, MemberKind, const Args& args, VARIANT* result, EXCEPINFO* excepInfo) override
    {
        switch (member) {
        case Excel::dispidCount:
            ReturnLong(result, app_->With([&](AppData&) { return static_cast<LONG>(book_->sheets.size()); }));
            return S_OK;
        case Excel::dispidAdd: {
            for (UINT i = 0; i < 4; ++i)
                if (args.At(i))
                    return ProgramError(excepInfo, u"Add method of Sheets class failed");
            // The new sheet goes before the active one and becomes active.
            auto sheet = app_->With([&](AppData&) {
                auto added = std::make_shared<Sheet>(book_->NextSheetName());
                std::size_t at = book_->sheets.empty() ? 0 : book_->activeSheet;
                book_->sheets.insert(book_->sheets.begin() + static_cast<std::ptrdiff_t>(at), added);
                book_->activeSheet = at;
                book_->sheetsChanged = true;
                return added;
            });
            ReturnObject(result, NewWorksheetObject(app_, SheetRef{book_, sheet}));
            return S_OK;
        }
        case Excel::dispidItem: {
            ItemIndex index;
            if (HRESULT hr = index.Read(args.At(0)); FAILED(hr))
                return hr;
            auto sheet = app_->With([&](AppData&) -> std::shared_ptr<Sheet> {
                for (std::size_t i = 0; i < book_->sheets.size(); ++i)
                    if (index.Matches(i, book_->sheets[i]->Name()))
                        return book_->sheets[i];
                return nullptr;
            });
            if (!sheet)
                return DISP_E_BADINDEX; // "Subscript out of range"
            ReturnObject(result, NewWorksheetObject(app_, SheetRef{book_, sheet}));
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    std::shared_ptr<Workbook> book_;
};

std::u16string RefusedNameText(SheetNameProblem problem)
{
    // The texts the program shows for a refused sheet name.
    if (problem == SheetNameProblem::Taken)
        return u"Cannot rename a sheet to the same name as another sheet, a referenced object library or a "
               u"workbook referenced by Visual Basic.";
    return u"You typed an invalid name for a sheet or chart. Make sure that:\n\n"
           u"- The name that you type does not exceed 31 characters.\n"
           u"- The name does not contain any of the following characters:  :  \\  /  ?  *  [  or  ]\n"
           u"- You did not leave the name blank.";
}

class WorksheetObject final : public DispatchObject {
public:
    WorksheetObject(std::shared_ptr<ExcelApp> app, SheetRef ref)
        : DispatchObject(std::move(app), __uuidof(Excel::_Worksheet)), ref_(std::move(ref))
    {
    }

protected:
    bool Describe(DISPID member, MemberShape& shape) const override
    {
        switch (member) {
        case Excel::dispidName:
            shape = {true, true, false, 0};
            return true;
        case Excel::dispidParent:
        case Excel::dispidCells:
        case Excel::dispidColumns:
        case Excel::dispidUsedRange:
            shape = {true, false, false, 0};
            return true;
        case Excel::dispidRange:
            shape = {true, false, false, 2};
            return true;
        case Excel::dispidActivate:
            shape = {false, false, true, 0};
            return true;
        default:
            return false;
        }
    }

    HRESULT Call(DISPID member, MemberKind kind, const Args& args, VARIANT* result, EXCEPINFO* excepInfo) override
    {
        switch (member) {
        case Excel::dispidName:
            return kind == MemberKind::Put ? Rename(args.PutValue(), excepInfo) : GetName(result);
        case Excel::dispidParent:
            ReturnObject(result, NewWorkbookObject(app_, ref_.book));
            return S_OK;
        case Excel::dispidCells:
            ReturnObject(result, NewRangeObject(app_, ref_, CellRect{1, 1, kMaxRows, kMaxColumns, RangeShape::Cells}));
            return S_OK;
        case Excel::dispidColumns:
            ReturnObject(result, NewRangeObject(app_, ref_,
                                                CellRect{1, 1, kMaxRows, kMaxColumns, RangeShape::EntireColumns}));
            return S_OK;
        case Excel::dispidRange:
            return GetRange(args, result, excepInfo);
        case Excel::dispidUsedRange: {
            // The smallest block holding every non-blank cell; A1 on an empty sheet.
            std::array<int, 4> extent = app_->With([&](AppData&) { return ref_.sheet->UsedExtent(); });
            CellRect used{extent[0], extent[1], extent[2], extent[3], RangeShape::Cells};
            ReturnObject(result, NewRangeObject(app_, ref_, used));
            return S_OK;
        }
        case Excel::dispidActivate:
            app_->With([&](AppData&) {
                auto& sheets = ref_.book->sheets;
                auto it = std::find(sheets.begin(), sheets.end(), ref_.sheet);
                if (it != sheets.end())
                    ref_.book->activeSheet = static_cast<std::size_t>(it - sheets.begin());
            });
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    HRESULT GetName(VARIANT* result)
    {
        ReturnText(result, app_->With([&](AppData&) { return ref_.sheet->Name(); }));
        return S_OK;
    }

    HRESULT Rename(const VARIANT* value, EXCEPINFO* excepInfo)
    {
        std::u16string name;
        if (HRESULT hr = ArgAsText(value, name); FAILED(hr))
            return hr;
        SheetNameProblem problem = app_->With([&](AppData&) {
            SheetNameProblem p = ref_.book->CheckSheetName(name, ref_.sheet.get());
            if (p == SheetNameProblem::Ok)
                ref_.sheet->SetName(name);
            return p;
        });
        return problem == SheetNameProblem::Ok ? S_OK : ProgramError(excepInfo, RefusedNameText(problem));
    }

    HRESULT GetRange(const Args& args, VARIANT* result, EXCEPINFO* excepInfo)
    {
        std::u16string first, last;
        if (FAILED(ArgAsText(args.At(0), first)))
            return ProgramError(excepInfo, u"Method 'Range' of object '_Worksheet' failed");
        if (args.At(1) && FAILED(ArgAsText(args.At(1), last)))
            return ProgramError(excepInfo, u"Method 'Range' of object '_Worksheet' failed");
        if (last.empty()) {
            // One argument may name a block itself: "A1:C3".
            std::size_t colon = first.find(u':');
            if (colon != std::u16string::npos) {
                last = first.substr(colon + 1);
                first.resize(colon);
            } else {
                last = first;
            }
        }
        int r1, c1, r2, c2;
        if (!ParseCellAddress(first, r1, c1) || !ParseCellAddress(last, r2, c2))
            return ProgramError(excepInfo, u"Method 'Range' of object '_Worksheet' failed");
        CellRect rect{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2), RangeShape::Cells};
        ReturnObject(result, NewRangeObject(app_, ref_, rect));
        return S_OK;
    }

    SheetRef ref_;
};

} // namespace

IDispatch* NewWorksheetsObject(std::shared_ptr<ExcelApp> app, std::shared_ptr<Workbook> book)
{
    return new WorksheetsObject(std::move(app), std::move(book));
}

IDispatch* NewWorksheetObject(std::shared_ptr<ExcelApp> app, SheetRef ref)
{
    return new WorksheetObject(std::move(app), std::move(ref));
}

bool ParseCellAddress(const std::u16string& address, int& row, int& column)
{
    std::size_t i = 0;
    auto skipDollar = [&] {
        if (i < address.size() && address[i] == u'$')
            ++i;
    };
    skipDollar();
    long col = 0;
    std::size_t letters = 0;
    for (; i < address.size(); ++i, ++letters) {
        char16_t c = address[i];
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
        if (c < u'A' || c > u'Z' || letters >= 3)
            break;
        col = col * 26 + (c - u'A' + 1);
    }
    if (letters == 0 || col > kMaxColumns)
        return false;
    skipDollar();
    long r = 0;
    std::size_t digits = 0;
    for (; i < address.size(); ++i, ++digits) {
        char16_t c = address[i];
        if (c < u'0' || c > u'9' || digits >= 6)
            return false;
        r = r * 10 + (c - u'0');
    }
    if (digits == 0 || r < 1 || r > kMaxRows)
        return false;
    row = static_cast<int>(r);
    column = static_cast<int>(col);
    return true;
}

} // namespace excelsim
