// What a user sees of a dialog or popup menu, as data: the control face's
// view of the framework stand-in's windows, for the dialog drivers (gwhost
// prints it, tests read it).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct FormItem {
    std::string text;
    bool selected = false;
    bool focused = false;
};

struct FormControl {
    int id = 0;
    std::string kind; // button, checkbox, radio, groupbox, edit, static, list, other
    bool enabled = true;
    bool visible = true;
    bool hasFocus = false;
    int check = -1;   // BST_ state of a check box or radio button; -1 for other kinds
    std::string text; // caption or contents
    std::string tip;  // the tooltip attached to the control, if any
    RECT rect{};      // pixels, in the parent's client area
    long repaints = 0; // repaints the control asked for (Invalidate)
    std::vector<std::string> columns;
    std::vector<FormItem> items; // a list's items; a tab control's pages
    int page = -1;               // the tab page the control is on; -1: the dialog itself
};

struct DialogForm {
    unsigned templateId = 0;
    std::string title;
    std::vector<FormControl> controls; // tab order
    long relayedToTooltips = 0;        // messages the dialog handed to its tooltips
    const FormControl* control(int id) const;
};

struct PopupItem {
    UINT id = 0;
    std::string text;
    bool checked = false;
    bool grayed = false;
    bool separator = false;
    bool popup = false;
    int depth = 0;
};

struct PopupForm {
    std::vector<PopupItem> items;
    const PopupItem* item(UINT id) const;
};

// The form as gwhost prints it: a title line, then one line per control
// ("  1030 checkbox [x] enabled visible  \"Layer filter\""), a list's items
// indented beneath it.
std::string FormatDialogForm(const DialogForm& form);
std::string FormatPopupForm(const PopupForm& popup);

// A common file dialog as the driver sees it.
struct FileForm {
    bool open = true;             // Open, else Save
    std::string defaultExtension; // added to a name typed without one
    std::string fileName;         // offered as the answer
    std::string filter;           // "Text (*.ini)|*.ini|All (*.*)|*.*||"
    bool overwritePrompt = false; // Save asks before replacing a file
};
