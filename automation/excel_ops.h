// The spreadsheet program's automation members that the module calls, each a
// thin typed wrapper around one call by fixed member id (excel_typelib.h).
// Every failure raises _com_error; none returns a status. Names in and out
// are narrow strings in the system ANSI code page.
#pragma once
#include "automation/automation_call.h"

#include <excel_typelib.h>

#include <string>

namespace automation {

// Application
void PutVisible(IDispatch* application, bool visible);
void PutInteractive(IDispatch* application, bool interactive);
IDispatchPtr GetActiveWorkbook(IDispatch* application); // empty when none is open
IDispatchPtr GetWorkbooks(IDispatch* application);
// Application or Workbook
IDispatchPtr GetActiveSheet(IDispatch* applicationOrWorkbook);

// Workbooks
IDispatchPtr AddWorkbook(IDispatch* workbooks); // no template
// Workbooks or Worksheets
long GetCount(IDispatch* collection);
IDispatchPtr GetItem(IDispatch* collection, const _variant_t& index); // number or name

// Workbook or Worksheet
void Activate(IDispatch* workbookOrSheet);
std::string GetName(IDispatch* workbookOrSheet);
// Workbook
IDispatchPtr GetWorksheets(IDispatch* workbook);

// Worksheets
IDispatchPtr AddWorksheet(IDispatch* worksheets); // before the active sheet

// Worksheet
void PutName(IDispatch* worksheet, const char* name);
IDispatchPtr GetParent(IDispatch* worksheet);
IDispatchPtr GetCells(IDispatch* worksheet);
IDispatchPtr GetColumns(IDispatch* worksheetOrRange); // of a range: its columns, for Count
IDispatchPtr GetUsedRange(IDispatch* worksheet);
IDispatchPtr GetRange(IDispatch* worksheet, const _variant_t& firstCell, const _variant_t& lastCell);

// Range
IDispatchPtr GetCellItem(IDispatch* range, const _variant_t& row, const _variant_t& column); // 1-based
_variant_t GetValue(IDispatch* range);
void PutValue(IDispatch* range, const _variant_t& value);
void PutValue(IDispatch* range, const char* text); // passed as text: the program converts it
_variant_t GetText(IDispatch* range);               // the displayed text
void PutNumberFormat(IDispatch* range, const _variant_t& format);
void AutoFit(IDispatch* range);
IDispatchPtr GetFont(IDispatch* range);
IDispatchPtr GetEntireRow(IDispatch* range);
IDispatchPtr AddComment(IDispatch* range, const _variant_t& text);
IDispatchPtr GetComment(IDispatch* range); // empty when the cell has none
long GetRow(IDispatch* range);
IDispatchPtr GetRows(IDispatch* range); // its rows, for Count
long GetColumn(IDispatch* range);
IDispatchPtr GetWorksheet(IDispatch* range);

// Font
void PutBold(IDispatch* font, const _variant_t& bold);

// Comment
std::string GetCommentText(IDispatch* comment);                   // all arguments missing
std::string SetCommentText(IDispatch* comment, const char* text); // replaces, start missing

} // namespace automation
