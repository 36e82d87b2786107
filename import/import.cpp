#include "import/import.h"

#include "import/worksheet_import.h"
#include "settings/settings_registry.h"

// The options are read afresh for every run, so a change made in the options
// dialog applies to the next import without anything kept in between.
bool RunImport()
{
    Settings settings;
    LoadSettings(settings);
    return ImportFromExcel(ImportOptions::From(settings));
}
