#include "export/choose_blocks.h"

#include "ui/block_name_dialog.h"

#include <acdocman.h>

bool ChooseBlocks(const BlockNameTable& table, std::vector<std::string>& names)
{
    names.clear();
    CBlockNameDialog dialog(CWnd::FromHandle(adsw_acadMainWnd()));
    dialog.SetBlockNameTable(&table);
    if (dialog.DoModal() != IDOK)
        return false;
    names = dialog.Result();
    return true;
}
