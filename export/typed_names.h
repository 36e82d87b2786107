// The block names typed at the "Export2" prompt, turned into the list of
// blocks to export.
#pragma once
#include "export/block_name_table.h"

#include <string>
#include <vector>

// Cuts `typed` at every comma. A piece names a block when the table holds a
// name equal to it without regard to case (the user's collation, so also
// for letters beyond ASCII); the list then gets the name as the drawing
// gives it. Blanks are part of a piece; pieces that name nothing are dropped. An empty answer means every name of the
// table, in table order, layout blocks left out.
std::vector<std::string> NamesFromTypedText(const std::string& typed, const BlockNameTable& table);
