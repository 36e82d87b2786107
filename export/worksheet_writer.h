// Putting export rows into the spreadsheet: the row counter, the worksheet of
// each block, the rows themselves with their comments and bold headers, and
// the column widths. Every step attaches afresh to the running spreadsheet
// program and writes to the worksheet active in it at that moment, so a
// program that was closed during the export makes the remaining steps skip.
#pragma once
#include "common/grid_limits.h"
#include "common/module_state.h"
#include "settings/settings.h"

#include <comdef.h>

#include <cstddef>
#include <string>
#include <vector>

// The row the next row is written to is the module state's currentRow.

// What FindBlankRow answers when its scan found no blank row: a row past the
// last writable one, so the rows go on in a new worksheet instead of landing
// on data.
inline constexpr int kNoBlankRow = kGridRows;

// Whether a spreadsheet program is running to export into.
bool SpreadsheetRunning();

// The first row at or below row 1 whose cells in columns 1 to 255 all show
// an empty text on the workbook's active sheet; kNoBlankRow when rows 1 to
// 65535 all hold something.
int FindBlankRow(IDispatch* workbook);

// Whether the program takes `name` as a worksheet name at all: 1 to 31
// characters, none of : \ / ? * [ ], no apostrophe at either end, and not
// "History" in any case (the name the program keeps for itself). Whether a
// sheet of that name exists already is a separate question.
bool SheetNameAllowed(const std::string& name);

// Adds a worksheet to the active workbook, names it `name` unless the
// program would refuse that name or a worksheet of that name exists already
// (the new sheet then keeps the program's default name), and activates it.
// Answers the name the sheet ended up with (empty when no program runs).
std::string OpenBlockWorksheet(const std::string& name);

// Whether `count` rows starting at the current row all lie within the rows
// that can be written.
inline bool RowsFit(int count) { return TheModuleState().currentRow <= kHighestWritableRow - count + 1; }

// Writes one row at the current row of the active worksheet and moves it
// on. A header row takes its texts from index 0 and `notes` as comments of
// its cells; a value row carries texts[0] (the handle) as the comment of its
// first cell and its values from index 1. A text longer than a cell holds is
// not written: its cell gets the error value #N/A instead, which the import
// passes over, and its column number is in the answer.
std::vector<int> WriteRow(bool header, const std::vector<std::string>& texts,
                          const std::vector<std::string>& notes, const Settings& settings);

// Fits the width of every column of the active worksheet to its contents.
void AutofitColumns();

// The workbook an export writes into, activated, and the row it starts at
// when all blocks share the active worksheet. Any WorkbookSettings value but
// 1 adds a new workbook; any WorksheetSettings value but 1 gives every block
// a new worksheet of its own.
void PrepareWorkbook(IDispatch* application, const Settings& settings);

// Whether all blocks share the active worksheet (else one new sheet each).
inline bool SharesActiveWorksheet(const Settings& settings) { return settings.WorksheetSettings == 1; }
