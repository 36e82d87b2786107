// The options of export and import. Every export and import command and the
// options dialog fill a fresh record with LoadSettings when they start; only
// the options dialog writes the record back.
//
// Each field is named after the registry value that stores it; the value
// StartRow exists under both keys, so its two fields are ExportStartRow and
// ImportStartRow. The initialisers are the defaults SetDefaults restores.
#pragma once

struct Settings {
    // Export (the Export key)
    int WorkbookSettings = 0;   // 1: the active workbook; 0: a new one
    int WorksheetSettings = 0;  // 1: the active worksheet; 0: one new worksheet per block
    int ExportStartRow = 1;     // first row written into the active worksheet
    bool AddHeader = false;     // header row also in the active worksheet
    bool BlockNames = true;
    bool XCoord = true;
    bool YCoord = true;
    bool ZCoord = true;
    bool OddLine = false;       // an empty row before every value row
    bool Rotation = true;
    bool LayerNames = true;
    bool AutoConnect = false;   // connect the live link after the dialog export
    // Off: a constant attribute has no attribute of its own on a reference, so
    // its column could never be imported back or edited through the live link.
    bool IncludeConstant = false;
    bool Scale = true;
    bool Sort = false;          // attribute columns sorted by tag
    bool LayoutNames = false;
    bool NoAutofit = false;
    bool JTSK = false;          // coordinates written without their sign
    bool AsText = true;         // cells formatted as text before writing
    bool FindNextBlankLine = false;
    bool ExportAttPrompts = false;
    bool Selection = false;     // pick references before exporting

    // Import (the Import key)
    int ImportSettings = 0;     // 1: every worksheet of the active workbook; else the active worksheet
    bool IgnoreProps = true;    // attribute values only, no property columns
    int StartCol = 1;
    int ImportStartRow = 2;

    bool operator==(const Settings&) const = default;
};

// Puts every field to its default.
void SetDefaults(Settings& settings);
