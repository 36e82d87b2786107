// The workbook and worksheet an export writes into.
#pragma once
#include "settings/settings.h"

#include <comdef.h>

// The workbook an export writes into, activated, and the row it starts at
// when all blocks share the active worksheet. Any WorkbookSettings value but
// 1 adds a new workbook; any WorksheetSettings value but 1 gives every block
// a new worksheet of its own.
void PrepareWorkbook(IDispatch* application, const Settings& settings);

// Whether all blocks share the active worksheet (else one new sheet each).
inline bool SharesActiveWorksheet(const Settings& settings) { return settings.WorksheetSettings == 1; }
