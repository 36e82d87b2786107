// Font (of a range) and Comment (of a cell).
#include "excel_dispatch.h"
#include "excel_objects.h"
#include "excel.tlh"

namespace excelsim {
namespace {

class FontObject final : public DispatchObject {
public:
    FontObject(std::shared_ptr<ExcelApp> app, SheetRef ref, CellRect rect)
        : DispatchObject(std::move(app), IID_IDispatch), ref_(std::move(ref)), rect_(rect)
    {
    }

protected:
    bool Describe(DISPID member, MemberShape& shape) const override
    {
        if (member != Excel::dispidBold)
            return false;
        shape = {true, true, false, 0};
        return true;
    }

    HRESULT Call(DISPID, MemberKind kind, const Args& args, VARIANT* result, EXCEPINFO* excepInfo) override
    {
        if (kind != MemberKind::Put) {
            ReturnBool(result, app_->With([&](AppData&) {
                auto cell = ref_.sheet->Find(rect_.top, rect_.left);
                return ref_.sheet->RowBold(rect_.top) || (cell && cell->Bold());
            }));
            return S_OK;
        }
        bool bold = false;
        if (FAILED(ArgAsBool(args.PutValue(), bold)))
            return ProgramError(excepInfo, u"Unable to set the Bold property of the Font class");
        if (rect_.shape == RangeShape::Cells && rect_.CellCount() > kMaxCellsPerCall)
            return ProgramError(excepInfo, u"Not enough resources to complete this task.");
        if (rect_.shape == RangeShape::EntireColumns)
            return ProgramError(excepInfo, u"Unable to set the Bold property of the Font class");
        app_->With([&](AppData&) {
            if (rect_.shape == RangeShape::EntireRows) {
                // Whole rows carry the format themselves, for cells filled later too.
                for (int r = rect_.top; r <= rect_.bottom; ++r)
                    ref_.sheet->SetRowBold(r, bold);
                return;
            }
            for (int r = rect_.top; r <= rect_.bottom; ++r)
                for (int c = rect_.left; c <= rect_.right; ++c)
                    ref_.sheet->Update(r, c, [&](CellEdit& cell) { cell.SetBold(bold); });
        });
        return S_OK;
    }

private:
    SheetRef ref_;
    CellRect rect_;
};

class CommentObject final : public DispatchObject {
public:
    CommentObject(std::shared_ptr<ExcelApp> app, SheetRef ref, int row, int column)
        : DispatchObject(std::move(app), IID_IDispatch), ref_(std::move(ref)), row_(row), column_(column)
    {
    }

protected:
    bool Describe(DISPID member, MemberShape& shape) const override
    {
        if (member != Excel::dispidText)
            return false;
        shape = {false, false, true, 3};
        return true;
    }

    // Text(Text, Start, Overwrite): with no text it reads; with a text and no
    // start it replaces; with a start it inserts there, or overwrites from
    // there when Overwrite is true. Answers the comment's text.
    HRESULT Call(DISPID, MemberKind, const Args& args, VARIANT* result, EXCEPINFO* excepInfo) override
    {
        std::u16string text;
        LONG start = 0;
        bool overwrite = false;
        bool writing = args.At(0) != nullptr;
        if (writing && FAILED(ArgAsText(args.At(0), text)))
            return DISP_E_TYPEMISMATCH;
        if (args.At(1) && (FAILED(ArgAsLong(args.At(1), start)) || start < 1))
            return ProgramError(excepInfo, u"Text method of Comment class failed");
        if (args.At(2) && FAILED(ArgAsBool(args.At(2), overwrite)))
            return DISP_E_TYPEMISMATCH;
        bool found = true;
        std::u16string now = app_->With([&](AppData&) {
            auto cell = ref_.sheet->Find(row_, column_);
            if (!cell || !cell->Comment()) {
                found = false;
                return std::u16string();
            }
            if (!writing)
                return std::u16string(*cell->Comment());
            std::u16string updated(*cell->Comment());
            if (!args.At(1)) {
                updated = text;
            } else {
                std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(start - 1), updated.size());
                if (overwrite)
                    updated.replace(at, std::min(text.size(), updated.size() - at), text);
                else
                    updated.insert(at, text);
            }
            ref_.sheet->Update(row_, column_, [&](CellEdit& c) { c.SetComment(updated); });
            return updated;
        });
        if (!found) // the comment went away under this object
            return ProgramError(excepInfo, u"Application-defined or object-defined error");
        ReturnText(result, now);
        return S_OK;
    }

private:
    SheetRef ref_;
    int row_;
    int column_;
};

} // namespace

IDispatch* NewFontObject(std::shared_ptr<ExcelApp> app, SheetRef ref, CellRect rect)
{
    return new FontObject(std::move(app), std::move(ref), rect);
}

IDispatch* NewCommentObject(std::shared_ptr<ExcelApp> app, SheetRef ref, int row, int column)
{
    return new CommentObject(std::move(app), std::move(ref), row, column);
}

} // namespace excelsim
