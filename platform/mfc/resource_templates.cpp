#include "resource_templates.h"

#include "loader_symbols.h"

const GwDialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id)
{
    auto dialogs = static_cast<const GwDialogTemplate*>(LoaderFindData(module, GW_RESOURCE_DIALOGS_SYMBOL));
    auto count = static_cast<const int*>(LoaderFindData(module, GW_RESOURCE_DIALOG_COUNT_SYMBOL));
    if (!dialogs || !count)
        return nullptr;
    for (int i = 0; i < *count; ++i)
        if (dialogs[i].id == id)
            return &dialogs[i];
    return nullptr;
}

const GwMenuTemplate* FindMenuTemplate(HINSTANCE module, UINT id)
{
    auto menus = static_cast<const GwMenuTemplate*>(LoaderFindData(module, GW_RESOURCE_MENUS_SYMBOL));
    auto count = static_cast<const int*>(LoaderFindData(module, GW_RESOURCE_MENU_COUNT_SYMBOL));
    if (!menus || !count)
        return nullptr;
    for (int i = 0; i < *count; ++i)
        if (menus[i].id == id)
            return &menus[i];
    return nullptr;
}
