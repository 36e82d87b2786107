// Range: a block of cells of one worksheet.
#include "excel_dispatch.h"
#include "excel_objects.h"
#include "excel.tlh"
#include "stand_in_progress.h"

#include <optional>

namespace excelsim {
namespace {

// The program's cell limit; longer texts are refused.
constexpr std::size_t kMaxCellText = 32767;

class RangeObject final : public DispatchObject {
public:
    RangeObject(std::shared_ptr<ExcelApp> app, SheetRef ref, CellRect rect)
        : DispatchObject(std::move(app), IID_IDispatch), ref_(std::move(ref)), rect_(rect)
    {
    }

protected:
    bool Describe(DISPID member, MemberShape& shape) const override
    {
        switch (member) {
        case DISPID_VALUE: // the default member reads the value
        case Excel::dispidValue:
        case Excel::dispidNumberFormat:
            shape = {true, true, false, 0};
            return true;
        case Excel::dispidText:
        case Excel::dispidFont:
        case Excel::dispidEntireRow:
        case Excel::dispidComment:
        case Excel::dispidRow:
        case Excel::dispidColumn:
        case Excel::dispidWorksheet:
        case Excel::dispidRows:
        case Excel::dispidColumns:
        case Excel::dispidCount:
            shape = {true, false, false, 0};
            return true;
        case Excel::dispidItem:
            shape = {true, false, false, 2};
            return true;
        case Excel::dispidAutoFit:
            shape = {false, false, true, 0};
            return true;
        case Excel::dispidAddComment:
            shape = {false, false, true, 1};
            return true;
        default:
            return false;
        }
    }

    HRESULT Call(DISPID member, MemberKind kind, const Args& args, VARIANT* result, EXCEPINFO* excepInfo) override
    {
        switch (member) {
        case DISPID_VALUE:
        case Excel::dispidValue:
            return kind == MemberKind::Put ? PutValue(args.PutValue(), excepInfo) : GetValue(result);
        case Excel::dispidNumberFormat:
            return kind == MemberKind::Put ? PutNumberFormat(args.PutValue(), excepInfo) : GetNumberFormat(result);
        case Excel::dispidText:
            ReturnText(result, app_->With([&](AppData&) {
                auto cell = ref_.sheet->Find(rect_.top, rect_.left);
                return cell ? DisplayedText(*cell) : std::u16string();
            }));
            return S_OK;
        case Excel::dispidItem:
            return Item(args, result, excepInfo);
        case Excel::dispidFont:
            ReturnObject(result, NewFontObject(app_, ref_, rect_));
            return S_OK;
        case Excel::dispidEntireRow:
            ReturnObject(result, NewRangeObject(app_, ref_,
                                                CellRect{rect_.top, 1, rect_.bottom, kMaxColumns, RangeShape::EntireRows}));
            return S_OK;
        case Excel::dispidRow:
            ReturnLong(result, rect_.top);
            return S_OK;
        case Excel::dispidColumn:
            ReturnLong(result, rect_.left);
            return S_OK;
        case Excel::dispidWorksheet:
            ReturnObject(result, NewWorksheetObject(app_, ref_));
            return S_OK;
        case Excel::dispidRows:
        case Excel::dispidColumns: {
            CellRect counted = rect_;
            counted.countBy = member == Excel::dispidRows ? CountBy::Rows : CountBy::Columns;
            ReturnObject(result, NewRangeObject(app_, ref_, counted));
            return S_OK;
        }
        case Excel::dispidCount: {
            long long count = rect_.countBy == CountBy::Rows      ? rect_.bottom - rect_.top + 1
                              : rect_.countBy == CountBy::Columns ? rect_.right - rect_.left + 1
                                                                  : rect_.CellCount();
            if (count > 0x7FFFFFFF) // the whole sheet: Count overflows in the program too
                return ProgramError(excepInfo, u"Overflow");
            ReturnLong(result, static_cast<long>(count));
            return S_OK;
        }
        case Excel::dispidComment: {
            if (rect_.left == 1 && rect_.top > 1) // the key of an exported row: a host's progress polls this
                Progress().keyCellsRead.fetch_add(1, std::memory_order_relaxed);
            bool has = app_->With([&](AppData&) {
                auto cell = ref_.sheet->Find(rect_.top, rect_.left);
                return cell && cell->Comment().has_value();
            });
            // No comment: Nothing, an empty object.
            ReturnObject(result, has ? NewCommentObject(app_, ref_, rect_.top, rect_.left) : nullptr);
            return S_OK;
        }
        case Excel::dispidAddComment:
            return AddComment(args.At(0), result, excepInfo);
        case Excel::dispidAutoFit:
            return AutoFit(result, excepInfo);
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    template <class Change>
    HRESULT ForEachCell(EXCEPINFO* excepInfo, Change&& change)
    {
        if (rect_.CellCount() > kMaxCellsPerCall)
            return ProgramError(excepInfo, u"Not enough resources to complete this task.");
        app_->With([&](AppData&) {
            for (int r = rect_.top; r <= rect_.bottom; ++r)
                for (int c = rect_.left; c <= rect_.right; ++c)
                    ref_.sheet->Update(r, c, change);
        });
        return S_OK;
    }

    HRESULT GetValue(VARIANT* result)
    {
        // A block reads as its first cell (the program would give an array).
        CellValue value = app_->With([&](AppData&) {
            auto cell = ref_.sheet->Find(rect_.top, rect_.left);
            return cell ? cell->Value() : CellValue{};
        });
        if (!result)
            return S_OK;
        switch (value.kind) {
        case CellKind::Empty:
            break;
        case CellKind::Number:
            result->vt = VT_R8;
            result->dblVal = value.number;
            break;
        case CellKind::Text:
            ReturnText(result, value.text);
            break;
        case CellKind::Boolean:
            ReturnBool(result, value.boolean);
            break;
        case CellKind::Error:
            result->vt = VT_ERROR;
            result->scode = value.error;
            break;
        }
        return S_OK;
    }

    HRESULT PutValue(const VARIANT* source, EXCEPINFO* excepInfo)
    {
        CellValue value;
        bool entered = false; // text typed in: the cell's format decides its type
        switch (source->vt) {
        case VT_EMPTY:
        case VT_NULL:
            break;
        case VT_I2:
        case VT_I4:
        case VT_R4:
        case VT_R8: {
            VARIANT number;
            VariantInit(&number);
            VariantChangeType(&number, source, 0, VT_R8);
            value.kind = CellKind::Number;
            value.number = number.dblVal;
            break;
        }
        case VT_BOOL:
            value.kind = CellKind::Boolean;
            value.boolean = source->boolVal != VARIANT_FALSE;
            break;
        case VT_ERROR:
            value.kind = CellKind::Error;
            value.error = source->scode;
            break;
        case VT_BSTR:
            value.kind = CellKind::Text;
            value.text.assign(source->bstrVal ? source->bstrVal : u"", SysStringLen(source->bstrVal));
            entered = true;
            break;
        default:
            return DISP_E_TYPEMISMATCH;
        }
        if (value.text.size() > kMaxCellText)
            return ProgramError(excepInfo, u"Application-defined or object-defined error");
        // What the text becomes depends on each cell's format; each reading is
        // made once, and only when a cell needs it (parsing it as a number is
        // the dear one, and an export's cells are all formatted "@").
        std::optional<CellValue> general, asText;
        if (!entered)
            general = asText = value;
        HRESULT hr = ForEachCell(excepInfo, [&](CellEdit& cell) {
            std::optional<CellValue>& taken = cell.NumberFormat() == u"@" ? asText : general;
            if (!taken)
                taken = EnteredValue(value.text, &taken == &asText);
            cell.SetValue(*taken);
        });
        if (SUCCEEDED(hr))
            FireSheetChange(app_, ref_, rect_); // as the program does for changes made through automation
        return hr;
    }

    HRESULT PutNumberFormat(const VARIANT* source, EXCEPINFO* excepInfo)
    {
        std::u16string format;
        if (FAILED(ArgAsText(source, format)))
            return ProgramError(excepInfo, u"Unable to set the NumberFormat property of the Range class");
        if (format == u"General")
            format.clear();
        // The program refuses a format beyond the distinct ones a workbook
        // can hold; so does a sheet here.
        bool refused = false;
        HRESULT hr = ForEachCell(excepInfo, [&](CellEdit& cell) { refused |= !cell.SetNumberFormat(format); });
        if (SUCCEEDED(hr) && refused)
            return ProgramError(excepInfo, u"Unable to set the NumberFormat property of the Range class");
        return hr;
    }

    HRESULT GetNumberFormat(VARIANT* result)
    {
        std::u16string format = app_->With([&](AppData&) {
            auto cell = ref_.sheet->Find(rect_.top, rect_.left);
            return cell ? std::u16string(cell->NumberFormat()) : std::u16string();
        });
        ReturnText(result, format.empty() ? u"General" : format);
        return S_OK;
    }

    HRESULT Item(const Args& args, VARIANT* result, EXCEPINFO* excepInfo)
    {
        LONG rowIndex = 0, columnIndex = 1;
        if (!args.At(0))
            return DISP_E_PARAMNOTOPTIONAL;
        if (FAILED(ArgAsLong(args.At(0), rowIndex)) || (args.At(1) && FAILED(ArgAsLong(args.At(1), columnIndex))))
            return DISP_E_TYPEMISMATCH;
        long long row, column;
        if (args.At(1)) {
            row = rect_.top + static_cast<long long>(rowIndex) - 1;
            column = rect_.left + static_cast<long long>(columnIndex) - 1;
        } else {
            // One index counts the cells of the block row by row.
            long long width = rect_.right - rect_.left + 1;
            long long n = static_cast<long long>(rowIndex) - 1;
            if (n < 0)
                return ProgramError(excepInfo, u"Application-defined or object-defined error");
            row = rect_.top + n / width;
            column = rect_.left + n % width;
        }
        if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
            return ProgramError(excepInfo, u"Application-defined or object-defined error");
        int r = static_cast<int>(row), c = static_cast<int>(column);
        ReturnObject(result, NewRangeObject(app_, ref_, CellRect{r, c, r, c, RangeShape::Cells}));
        return S_OK;
    }

    HRESULT AddComment(const VARIANT* textArg, VARIANT* result, EXCEPINFO* excepInfo)
    {
        std::u16string text;
        if (textArg && FAILED(ArgAsText(textArg, text)))
            return DISP_E_TYPEMISMATCH;
        bool added = app_->With([&](AppData&) {
            auto cell = ref_.sheet->Find(rect_.top, rect_.left);
            if (cell && cell->Comment())
                return false; // native behaviour: a commented cell refuses a second comment
            ref_.sheet->Update(rect_.top, rect_.left, [&](CellEdit& c) { c.SetComment(text); });
            return true;
        });
        if (!added)
            return ProgramError(excepInfo, u"Application-defined or object-defined error");
        ReturnObject(result, NewCommentObject(app_, ref_, rect_.top, rect_.left));
        return S_OK;
    }

    HRESULT AutoFit(VARIANT* result, EXCEPINFO* excepInfo)
    {
        // Only whole rows or whole columns can be autofitted.
        if (rect_.shape == RangeShape::Cells)
            return ProgramError(excepInfo, u"AutoFit method of Range class failed");
        if (rect_.shape == RangeShape::EntireColumns)
            app_->With([&](AppData&) { ref_.sheet->AutoFit(rect_.left, rect_.right); });
        ReturnBool(result, true);
        return S_OK;
    }

    SheetRef ref_;
    CellRect rect_;
};

} // namespace

IDispatch* NewRangeObject(std::shared_ptr<ExcelApp> app, SheetRef ref, CellRect rect)
{
    return new RangeObject(std::move(app), std::move(ref), rect);
}

} // namespace excelsim
