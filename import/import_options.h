// What a full import reads and how: the import group of the Settings record,
// and the one export option that changes how export wrote the coordinates.
#pragma once
#include "settings/settings.h"

struct ImportOptions {
    int ImportSettings = 0; // 1: every worksheet of the active workbook; else the active sheet
    bool IgnoreProps = true; // attribute texts only
    int StartCol = 1;        // first column scanned in a data row
    int StartRow = 2;        // first row scanned as a data row; the header stays in row 1
    // Export wrote coordinates without their sign; an unedited coordinate
    // cell is recognised by that same text.
    bool JTSK = false;

    static ImportOptions From(const Settings& settings)
    {
        return {.ImportSettings = settings.ImportSettings,
                .IgnoreProps = settings.IgnoreProps,
                .StartCol = settings.StartCol,
                .StartRow = settings.ImportStartRow,
                .JTSK = settings.JTSK};
    }
};
