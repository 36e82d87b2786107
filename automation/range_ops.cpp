#include "automation/range_ops.h"

#include "automation/ansi_text.h"
#include "automation/value_conversion.h"

namespace automation {

namespace {
constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kMethod = DISPATCH_METHOD;
} // namespace

IDispatchPtr GetCellItem(IDispatch* range, const _variant_t& row, const _variant_t& column)
{
    return VariantToObject(InvokeAutomation(range, Excel::dispidItem, kGet, {&row, &column}));
}

_variant_t GetValue(IDispatch* range) { return InvokeAutomation(range, Excel::dispidValue, kGet); }

void PutValue(IDispatch* range, const _variant_t& value) { InvokeAutomation(range, Excel::dispidValue, kPut, {&value}); }

_variant_t GetText(IDispatch* range) { return InvokeAutomation(range, Excel::dispidText, kGet); }

void PutNumberFormat(IDispatch* range, const _variant_t& format)
{
    InvokeAutomation(range, Excel::dispidNumberFormat, kPut, {&format});
}

void PutTextFormat(IDispatch* range)
{
    // "@" is the same in every code page; an export puts it on every cell.
    static const _variant_t textFormat(_bstr_t(u"@"));
    PutNumberFormat(range, textFormat);
}

void AutoFit(IDispatch* range) { InvokeAutomation(range, Excel::dispidAutoFit, kMethod); }

IDispatchPtr GetFont(IDispatch* range) { return VariantToObject(InvokeAutomation(range, Excel::dispidFont, kGet)); }

IDispatchPtr GetEntireRow(IDispatch* range)
{
    return VariantToObject(InvokeAutomation(range, Excel::dispidEntireRow, kGet));
}

IDispatchPtr AddComment(IDispatch* range, const _variant_t& text)
{
    return VariantToObject(InvokeAutomation(range, Excel::dispidAddComment, kMethod, {&text}));
}

IDispatchPtr GetComment(IDispatch* range)
{
    return VariantToObject(InvokeAutomation(range, Excel::dispidComment, kGet));
}

long GetRow(IDispatch* range) { return VariantToLong(InvokeAutomation(range, Excel::dispidRow, kGet)); }
long GetColumn(IDispatch* range) { return VariantToLong(InvokeAutomation(range, Excel::dispidColumn, kGet)); }

IDispatchPtr GetRows(IDispatch* range) { return VariantToObject(InvokeAutomation(range, Excel::dispidRows, kGet)); }

IDispatchPtr GetUsedRange(IDispatch* worksheet)
{
    return VariantToObject(InvokeAutomation(worksheet, Excel::dispidUsedRange, kGet));
}

IDispatchPtr GetWorksheet(IDispatch* range)
{
    return VariantToObject(InvokeAutomation(range, Excel::dispidWorksheet, kGet));
}

void PutBold(IDispatch* font, const _variant_t& bold) { InvokeAutomation(font, Excel::dispidBold, kPut, {&bold}); }

std::string GetCommentText(IDispatch* comment)
{
    return VariantToText(InvokeAutomation(comment, Excel::dispidText, kMethod, {Missing(), Missing(), Missing()}));
}

std::string SetCommentText(IDispatch* comment, const char* text)
{
    if (!comment)
        _com_issue_error(E_POINTER);
    _variant_t value(AnsiToBstr(text));
    return VariantToText(InvokeAutomation(comment, Excel::dispidText, kMethod, {&value, Missing(), Missing()}));
}

} // namespace automation
