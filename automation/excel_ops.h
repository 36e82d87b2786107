// The spreadsheet program's automation members that the module calls (those
// of Range, Font and Comment in range_ops.h, included here), each a
// thin typed wrapper around one call by fixed member id (excel.tlh).
// Every failure raises _com_error; none returns a status. Names in and out
// are narrow strings in the system ANSI code page.
#pragma once
#include "automation/automation_call.h"
#include "automation/range_ops.h"

#include <excel.tlh>

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
IDispatchPtr GetParent(IDispatch* worksheet); // its workbook
IDispatchPtr GetCells(IDispatch* worksheet);
IDispatchPtr GetColumns(IDispatch* worksheetOrRange); // of a range: its columns, for Count
IDispatchPtr GetUsedRange(IDispatch* worksheet);
IDispatchPtr GetRange(IDispatch* worksheet, const _variant_t& firstCell, const _variant_t& lastCell);

} // namespace automation
