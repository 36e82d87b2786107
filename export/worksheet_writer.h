// Putting export rows into the spreadsheet: the rows themselves with their
// comments and bold headers, and the column widths (the workbook, the
// worksheet of each block and the blank-row scan have headers of their own,
// included here). Every step attaches afresh to the running spreadsheet
// program and writes to the worksheet active in it at that moment, so a
// program that was closed during the export makes the remaining steps skip.
#pragma once
#include "common/grid_limits.h"
#include "common/module_state.h"
#include "export/blank_row.h"
#include "export/block_worksheet.h"
#include "export/workbook_choice.h"
#include "settings/settings.h"

#include <comdef.h>

#include <cstddef>
#include <string>
#include <vector>

// The row the next row is written to is the module state's currentRow.

// Whether a spreadsheet program is running to export into.
bool SpreadsheetRunning();

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

