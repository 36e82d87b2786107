// One block reference into the worksheet.
#pragma once
#include "settings/settings.h"

#include <string>
#include <vector>

class AcDbBlockReference;

// What the references of one block share while they are written.
struct BlockExport {
    // Columns after the definitions' ones, for attributes whose tags no
    // definition of the block has (see ExtraAttributeTags).
    std::vector<std::string> extraTags;
    // How many worksheets the block's rows have filled so far beyond the
    // first: a block with more rows than a worksheet takes goes on to a
    // further sheet.
    int continuations = 0;
};

// Writes the rows of one reference: before the first reference of a block
// (`first`) its worksheet, header and prompt rows as the settings ask, then
// its value row; after every later reference the columns are fitted. When
// the rows would pass the last writable row, they go on to a new worksheet
// that gets the header rows again, and the command line says so. A value
// longer than a cell holds is reported with its block and tag. False when no
// spreadsheet program runs or the reference's block cannot be named.
bool ExportReference(AcDbBlockReference* reference, const Settings& settings, bool first, BlockExport& block);
