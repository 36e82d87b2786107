// The windows of the framework stand-in: each dialog and control is a state
// record behind an HWND, owned here from creation to DestroyWindow. The
// wrappers (CWnd and kin) and the dialog driver both work on these records,
// so what the module sets is what the driver shows and the reverse.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

class CWnd;
struct GwDialogTemplate;

namespace mfcwin {

enum class Kind { Dialog, Button, CheckBox, Radio, GroupBox, Edit, Static, List, ToolTip, Tab, UpDown, Other };

struct ListColumn {
    std::string heading;
    int width = 0;
    int format = 0;
};

struct ListItem {
    std::string text;
    UINT state = 0; // LVIS_SELECTED, LVIS_FOCUSED
};

struct Window {
    HWND handle = nullptr;
    Kind kind = Kind::Other;
    std::string className;
    int id = 0;
    DWORD style = 0;
    std::string text;
    bool enabled = true;
    bool visible = true;
    int check = BST_UNCHECKED;
    UINT textLimit = 30000; // what an edit box takes without EM_LIMITTEXT
    RECT rect{};            // pixels, in the parent's client area
    HWND parent = nullptr;
    HFONT font = nullptr; // null: the dialog's shell font
    long repaints = 0;    // Invalidate calls
    std::vector<HWND> children; // template order: the tab order

    // List view.
    std::vector<ListColumn> columns;
    std::vector<ListItem> items;
    DWORD extendedStyle = 0;

    // Tooltip.
    bool active = false;
    int maxTipWidth = -1;
    std::vector<std::pair<HWND, std::string>> tools;
    long relayed = 0;

    // Tab control: the page titles, the page windows and the page shown.
    std::vector<std::string> tabs;
    std::vector<HWND> pages;
    int activeTab = -1;

    // Up-down control: range, position and the edit box it steps.
    int lower = 0;
    int upper = 100;
    int position = 0;
    int base = 10;
    HWND buddy = nullptr;

    // Dialog (a tab page is a dialog whose parent is another dialog).
    unsigned templateId = 0;
    bool ended = false;
    int result = 0;
    HWND focus = nullptr;

    // The wrapper that owns the window in the module (CDialog, a DDX_Control
    // member), or a temporary one made by FromHandle.
    CWnd* permanent = nullptr;
    std::unique_ptr<CWnd> temporary;
};

// Makes a window; its parent, when given, lists it as its last child.
Window& Create(Kind kind, const std::string& className, HWND parent);
// The window behind a handle; null for a handle that is not (or no longer) one.
Window* Find(HWND handle);
// Destroys the window and its children: their wrappers are detached.
void Destroy(HWND handle);
// The child of `parent` with control id `id`, or null.
Window* Child(HWND parent, int id);
// The dialog a window belongs to (itself for a dialog).
Window* DialogOf(HWND handle);
// The control `id` as the user of `dialog` reaches it: on the page its tab
// control shows first, then on the dialog itself.
Window* Reachable(HWND dialog, int id);
// Builds a dialog and its controls from a template: top-level when `parent`
// is null, else a page inside it (not yet shown).
Window& BuildFromTemplate(const GwDialogTemplate& dialogTemplate, HWND parent);
// The kind a template control has, from its class and style.
Kind KindOf(const std::string& className, DWORD style);
const char* KindName(Kind kind);
// A template box in dialog units as pixels (base units of the shell font).
RECT DialogUnitsToPixels(int x, int y, int cx, int cy);

} // namespace mfcwin
