// All references of one block definition into the worksheet.
#pragma once
#include "settings/settings.h"

#include <string>

// Exports the references of the named block that pass the layer and
// selection filters, in the drawing's order. False only when the block table
// cannot be opened or holds no such name.
bool ExportBlock(const std::string& blockName, const Settings& settings);
