// The user's choice of blocks for the dialog export.
#pragma once
#include "export/block_name_table.h"

#include <string>
#include <vector>

// The names chosen, in the order offered; false when the user cancels.
bool ChooseBlocks(const BlockNameTable& table, std::vector<std::string>& names);
