// The block names typed at the "Export2" prompt, turned into the list of
// blocks to export.
#pragma once
#include "export/block_name_table.h"

#include <string>
#include <vector>

// Cuts `typed` at every comma. A piece is kept, as typed, when the table
// holds a name equal to it under the user's collation without regard to
// case; blanks are part of a piece. An empty answer means every name of the
// table, in table order, layout blocks left out.
std::vector<std::string> NamesFromTypedText(const std::string& typed, const BlockNameTable& table);
