// The Range, Font and Comment members of the spreadsheet program that the
// module calls; the same rules as excel_ops.h.
#pragma once
#include "automation/automation_call.h"

#include <excel.tlh>

#include <string>

namespace automation {

// Range
IDispatchPtr GetCellItem(IDispatch* range, const _variant_t& row, const _variant_t& column); // 1-based
_variant_t GetValue(IDispatch* range);
void PutValue(IDispatch* range, const _variant_t& value);
_variant_t GetText(IDispatch* range);               // the displayed text
void PutNumberFormat(IDispatch* range, const _variant_t& format);
// The same call with the text format "@", whose argument is made once.
void PutTextFormat(IDispatch* range);
void AutoFit(IDispatch* range);
IDispatchPtr GetFont(IDispatch* range);
IDispatchPtr GetEntireRow(IDispatch* range);
IDispatchPtr AddComment(IDispatch* range, const _variant_t& text);
IDispatchPtr GetComment(IDispatch* range); // empty when the cell has none
long GetRow(IDispatch* range);
long GetColumn(IDispatch* range);
IDispatchPtr GetRows(IDispatch* range); // its rows, for Count
IDispatchPtr GetWorksheet(IDispatch* range);

// Font
void PutBold(IDispatch* font, const _variant_t& bold);

// Comment
std::string GetCommentText(IDispatch* comment);                   // all arguments missing
std::string SetCommentText(IDispatch* comment, const char* text); // replaces, start missing

} // namespace automation
