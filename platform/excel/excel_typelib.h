// The spreadsheet program's automation identity, as its type library gives it:
// the class id, the interface ids a client asks for, and the member ids
// (DISPIDs) of the members that are called by id.
#pragma once
#include "comdef.h"

namespace Excel {

struct _Application : IDispatch {};
struct _Workbook : IDispatch {};
struct _Worksheet : IDispatch {};
struct AppEvents : IDispatch {};

inline constexpr CLSID CLSID_Application = {0x00024500, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr const char16_t* kProgId = u"Excel.Application";

// Member ids.
inline constexpr DISPID dispidValue = 0x06;
inline constexpr DISPID dispidBold = 0x60;
inline constexpr DISPID dispidName = 0x6E;
inline constexpr DISPID dispidCount = 0x76;
inline constexpr DISPID dispidText = 0x8A;         // Range.Text (get) and Comment.Text (method)
inline constexpr DISPID dispidFont = 0x92;
inline constexpr DISPID dispidParent = 0x96;
inline constexpr DISPID dispidItem = 0xAA;
inline constexpr DISPID dispidAdd = 0xB5;
inline constexpr DISPID dispidNumberFormat = 0xC1;
inline constexpr DISPID dispidRange = 0xC5;
inline constexpr DISPID dispidAutoFit = 0xED;
inline constexpr DISPID dispidCells = 0xEE;
inline constexpr DISPID dispidColumn = 0xF0;
inline constexpr DISPID dispidColumns = 0xF1;
inline constexpr DISPID dispidEntireRow = 0xF7;
inline constexpr DISPID dispidRow = 0x101;
inline constexpr DISPID dispidRows = 0x102;
inline constexpr DISPID dispidUsedRange = 0x19C;
inline constexpr DISPID dispidActivate = 0x130;
inline constexpr DISPID dispidActiveSheet = 0x133;
inline constexpr DISPID dispidActiveWorkbook = 0x134;
inline constexpr DISPID dispidWorksheet = 0x15C;
inline constexpr DISPID dispidInteractive = 0x169;
inline constexpr DISPID dispidVisible = 0x22E;
inline constexpr DISPID dispidWorkbooks = 0x23C;
inline constexpr DISPID dispidComment = 0x38E;
inline constexpr DISPID dispidWorksheets = 0x1EE;
inline constexpr DISPID dispidAddComment = 0x56D;
inline constexpr DISPID dispidSheetChange = 0x61C; // AppEvents

} // namespace Excel

GW_INTERFACE_ID(Excel::_Application, 0x000208D5, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
GW_INTERFACE_ID(Excel::_Workbook, 0x000208DA, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
GW_INTERFACE_ID(Excel::_Worksheet, 0x000208D8, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
GW_INTERFACE_ID(Excel::AppEvents, 0x00024413, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

namespace Excel {
using _ApplicationPtr = _com_ptr_t<_Application>;
using _WorkbookPtr = _com_ptr_t<_Workbook>;
using _WorksheetPtr = _com_ptr_t<_Worksheet>;
} // namespace Excel
