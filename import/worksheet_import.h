// The "Import" keyword: worksheets that an export wrote (and the user may
// have edited) are read row by row, and each row is written into the block
// reference whose handle its first cell carries as a comment.
#pragma once
#include "import/import_options.h"
#include "import/import_report.h"

#include <oaidl.h>

// Reads the active sheet, or every worksheet of the active workbook, of the
// running spreadsheet program, and tells on the command line what it did.
// Without a running program nothing is read, changed or shown, and the
// result is false. Automation failures leave as
// _com_error; rows applied before the failure stay applied.
bool ImportFromExcel(const ImportOptions& options);

// Scans one worksheet from the options' start row until 21 rows without a
// handle comment have been met, or through row 65535; what it read, changed
// and could not read goes to `report`.
void ImportWorksheet(IDispatch* worksheet, const ImportOptions& options, ImportReport& report);
