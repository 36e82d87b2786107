#include "export/choose_blocks.h"

bool ChooseBlocks(const BlockNameTable& table, std::vector<std::string>& names)
{
    // Until the module has its block choice dialog, the choice is what that
    // dialog offers preselected: every block with attribute definitions, in
    // table order, confirmed.
    names.clear();
    for (const BlockNameTable::Entry& entry : table.entries())
        if (entry.hasAttributes)
            names.push_back(entry.name);
    return true;
}
