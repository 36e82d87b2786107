// The import subsystem: worksheets an export wrote, read back into the
// drawing. What a run does in detail is in worksheet_import.h.
#pragma once

// "Import": the whole active worksheet or workbook, with fresh settings.
bool RunImport();
// "Import2": the cells the live link queued, each into its attribute.
bool ImportChanges();
