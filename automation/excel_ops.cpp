#include "automation/excel_ops.h"

#include "automation/ansi_text.h"
#include "automation/value_conversion.h"

namespace automation {

namespace {

constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kMethod = DISPATCH_METHOD;

IDispatchPtr GetObject(IDispatch* object, DISPID member) { return VariantToObject(InvokeAutomation(object, member, kGet)); }

void PutBool(IDispatch* object, DISPID member, bool value)
{
    _variant_t flag(value);
    InvokeAutomation(object, member, kPut, {&flag});
}

} // namespace

void PutVisible(IDispatch* application, bool visible) { PutBool(application, Excel::dispidVisible, visible); }
void PutInteractive(IDispatch* application, bool interactive)
{
    PutBool(application, Excel::dispidInteractive, interactive);
}
IDispatchPtr GetActiveWorkbook(IDispatch* application) { return GetObject(application, Excel::dispidActiveWorkbook); }
IDispatchPtr GetWorkbooks(IDispatch* application) { return GetObject(application, Excel::dispidWorkbooks); }
IDispatchPtr GetActiveSheet(IDispatch* applicationOrWorkbook)
{
    return GetObject(applicationOrWorkbook, Excel::dispidActiveSheet);
}

IDispatchPtr AddWorkbook(IDispatch* workbooks)
{
    return VariantToObject(InvokeAutomation(workbooks, Excel::dispidAdd, kMethod, {Missing()}));
}

long GetCount(IDispatch* collection) { return VariantToLong(InvokeAutomation(collection, Excel::dispidCount, kGet)); }

IDispatchPtr GetItem(IDispatch* collection, const _variant_t& index)
{
    return VariantToObject(InvokeAutomation(collection, Excel::dispidItem, kGet, {&index}));
}

void Activate(IDispatch* workbookOrSheet) { InvokeAutomation(workbookOrSheet, Excel::dispidActivate, kMethod); }

std::string GetName(IDispatch* workbookOrSheet)
{
    return VariantToText(InvokeAutomation(workbookOrSheet, Excel::dispidName, kGet));
}

IDispatchPtr GetWorksheets(IDispatch* workbook) { return GetObject(workbook, Excel::dispidWorksheets); }

IDispatchPtr AddWorksheet(IDispatch* worksheets)
{
    return VariantToObject(
        InvokeAutomation(worksheets, Excel::dispidAdd, kMethod, {Missing(), Missing(), Missing(), Missing()}));
}

void PutName(IDispatch* worksheet, const char* name)
{
    if (!worksheet)
        _com_issue_error(E_POINTER);
    _variant_t text(AnsiToBstr(name));
    InvokeAutomation(worksheet, Excel::dispidName, kPut, {&text});
}

IDispatchPtr GetParent(IDispatch* worksheet) { return GetObject(worksheet, Excel::dispidParent); }
IDispatchPtr GetCells(IDispatch* worksheet) { return GetObject(worksheet, Excel::dispidCells); }
IDispatchPtr GetColumns(IDispatch* worksheet) { return GetObject(worksheet, Excel::dispidColumns); }

IDispatchPtr GetRange(IDispatch* worksheet, const _variant_t& firstCell, const _variant_t& lastCell)
{
    return VariantToObject(InvokeAutomation(worksheet, Excel::dispidRange, kGet, {&firstCell, &lastCell}));
}

} // namespace automation
