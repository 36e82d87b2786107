// The export subsystem: block references of the drawing into worksheet rows.
#pragma once
#include "settings/settings.h"

#include <string>
#include <vector>

// "Export" (selection first when the Selection option is on) and
// "Selection+export" (selection always first), through the block choice.
bool RunDialogExport(bool alwaysSelectFirst);
// "Export2" and "Export3": block names typed at the command line.
bool ExportByNames();

// The export keywords' common ending: reach the spreadsheet program, prepare
// the workbook and export the listed blocks one after the other. With
// `mayConnect`, the live link is switched on afterwards when the settings
// ask for it. False when the spreadsheet program could not be reached or
// started (the user is told).
bool RunExport(const std::vector<std::string>& names, const Settings& settings, bool mayConnect);
