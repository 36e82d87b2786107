// The export keywords' common ending: reach the spreadsheet program, prepare
// the workbook and export the listed blocks one after the other.
#pragma once
#include "settings/settings.h"

#include <string>
#include <vector>

// With `mayConnect`, the live link is switched on afterwards when the
// settings ask for it. False when the spreadsheet program could not be
// reached or started (the user is told).
bool RunExport(const std::vector<std::string>& names, const Settings& settings, bool mayConnect);
