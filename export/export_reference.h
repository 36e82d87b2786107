// One block reference into the worksheet.
#pragma once
#include "settings/settings.h"

class AcDbBlockReference;

// Writes the rows of one reference: before the first reference of a block
// (`first`) its worksheet, header and prompt rows as the settings ask, then
// its value row; after every later reference the columns are fitted. False
// when no spreadsheet program runs or the reference's block cannot be named.
bool ExportReference(AcDbBlockReference* reference, const Settings& settings, bool first);
