// The layout of a resource module as the resource compiler stand-in
// (tools/rc2cpp.cmake) emits it: a shared object exporting its string table.
// LoadStringA reads it; nothing in the module includes this header.
#pragma once

struct GwResourceString {
    unsigned id;
    const char* text;
};

#define GW_RESOURCE_STRINGS_SYMBOL "gwResourceStrings"
#define GW_RESOURCE_STRING_COUNT_SYMBOL "gwResourceStringCount"

// Dialog templates and menus (tools/rc2cpp_dialogs.cmake). Each table ends
// in an all-zero entry that the count leaves out.
struct GwDialogControl {
    const char* className; // "Button", "Edit", "Static", "SysListView32", ...
    int id;
    const char* text;
    unsigned long style;
    short x, y, cx, cy; // dialog units
};

struct GwDialogTemplate {
    unsigned id;
    const char* caption;
    unsigned long style;
    short x, y, cx, cy;
    const GwDialogControl* controls; // in tab order, as the script lists them
    int controlCount;
};

// A menu flattened in script order: an item of depth d after an MF_POPUP
// item of depth d-1 belongs to that popup.
struct GwMenuItem {
    unsigned id;
    const char* text;
    unsigned flags; // MF_POPUP, MF_SEPARATOR, MF_CHECKED, MF_GRAYED, MF_DISABLED
    int depth;
};

struct GwMenuTemplate {
    unsigned id;
    const GwMenuItem* items;
    int itemCount;
};

#define GW_RESOURCE_DIALOGS_SYMBOL "gwResourceDialogs"
#define GW_RESOURCE_DIALOG_COUNT_SYMBOL "gwResourceDialogCount"
#define GW_RESOURCE_MENUS_SYMBOL "gwResourceMenus"
#define GW_RESOURCE_MENU_COUNT_SYMBOL "gwResourceMenuCount"
