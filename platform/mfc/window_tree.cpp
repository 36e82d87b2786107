#include "window_tree.h"

#include "afxwin.h"
#include "leak_tally.h"
#include "resource_table.h"

#include <strings.h>

#include <unordered_map>

namespace mfcwin {
namespace {

struct Tree {
    std::unordered_map<HWND, std::unique_ptr<Window>> windows;
    std::uintptr_t next = 0x10000;
};

Tree& TheTree()
{
    static Tree tree;
    return tree;
}

} // namespace

Window& Create(Kind kind, const std::string& className, HWND parent)
{
    Tree& tree = TheTree();
    auto window = std::make_unique<Window>();
    // Handles are never reused, so a stale one stays invalid.
    tree.next += 4;
    window->handle = reinterpret_cast<HWND>(tree.next);
    window->kind = kind;
    window->className = className;
    window->parent = parent;
    Window& made = *window;
    tree.windows.emplace(made.handle, std::move(window));
    if (Window* p = Find(parent))
        p->children.push_back(made.handle);
    AddToTally(Tally::Windows, 1);
    return made;
}

Window* Find(HWND handle)
{
    if (!handle)
        return nullptr;
    Tree& tree = TheTree();
    auto it = tree.windows.find(handle);
    return it == tree.windows.end() ? nullptr : it->second.get();
}

void Destroy(HWND handle)
{
    Window* window = Find(handle);
    if (!window)
        return;
    const std::vector<HWND> children = window->children;
    for (HWND child : children)
        Destroy(child);
    if (Window* parent = Find(window->parent))
        std::erase(parent->children, handle);
    // As on Windows, a window that goes lets go of the mouse.
    if (GetCapture() == handle)
        ReleaseCapture();
    if (window->permanent)
        window->permanent->m_hWnd = nullptr;
    if (window->temporary)
        window->temporary->m_hWnd = nullptr;
    // The record goes last: a temporary wrapper's destructor finds no window.
    std::unique_ptr<Window> gone = std::move(TheTree().windows[handle]);
    TheTree().windows.erase(handle);
    AddToTally(Tally::Windows, -1);
}

Window* Child(HWND parent, int id)
{
    Window* p = Find(parent);
    if (!p)
        return nullptr;
    for (HWND child : p->children)
        if (Window* c = Find(child); c && c->id == id && c->kind != Kind::ToolTip)
            return c;
    return nullptr;
}

Window* DialogOf(HWND handle)
{
    Window* window = Find(handle);
    while (window && window->kind != Kind::Dialog)
        window = Find(window->parent);
    return window;
}

Kind KindOf(const std::string& className, DWORD style)
{
    if (strcasecmp(className.c_str(), "Button") == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return Kind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return Kind::Radio;
        case BS_GROUPBOX:
            return Kind::GroupBox;
        default:
            return Kind::Button;
        }
    }
    if (strcasecmp(className.c_str(), "Edit") == 0)
        return Kind::Edit;
    if (strcasecmp(className.c_str(), "Static") == 0)
        return Kind::Static;
    if (strcasecmp(className.c_str(), "SysListView32") == 0)
        return Kind::List;
    if (strcasecmp(className.c_str(), "tooltips_class32") == 0)
        return Kind::ToolTip;
    if (strcasecmp(className.c_str(), "SysTabControl32") == 0)
        return Kind::Tab;
    if (strcasecmp(className.c_str(), "msctls_updown32") == 0)
        return Kind::UpDown;
    return Kind::Other;
}

const char* KindName(Kind kind)
{
    switch (kind) {
    case Kind::Dialog:
        return "dialog";
    case Kind::Button:
        return "button";
    case Kind::CheckBox:
        return "checkbox";
    case Kind::Radio:
        return "radio";
    case Kind::GroupBox:
        return "groupbox";
    case Kind::Edit:
        return "edit";
    case Kind::Static:
        return "static";
    case Kind::List:
        return "list";
    case Kind::ToolTip:
        return "tooltip";
    case Kind::Tab:
        return "tab";
    case Kind::UpDown:
        return "updown";
    case Kind::Other:
        break;
    }
    return "other";
}

RECT DialogUnitsToPixels(int x, int y, int cx, int cy)
{
    // The 8-point shell font: 6 x 13 pixels a character, 4 x 8 dialog units.
    constexpr int baseX = 6;
    constexpr int baseY = 13;
    return {x * baseX / 4, y * baseY / 8, (x + cx) * baseX / 4, (y + cy) * baseY / 8};
}

Window* Reachable(HWND dialog, int id)
{
    Window* window = Find(dialog);
    if (!window)
        return nullptr;
    for (HWND child : window->children) {
        Window* tab = Find(child);
        if (tab && tab->kind == Kind::Tab && tab->activeTab >= 0 &&
            tab->activeTab < static_cast<int>(tab->pages.size()))
            if (Window* onPage = Child(tab->pages[static_cast<std::size_t>(tab->activeTab)], id))
                return onPage;
    }
    return Child(dialog, id);
}

Window& BuildFromTemplate(const GwDialogTemplate& dialogTemplate, HWND parent)
{
    Window& dialog = Create(Kind::Dialog, "#32770", parent);
    dialog.templateId = dialogTemplate.id;
    dialog.text = dialogTemplate.caption ? dialogTemplate.caption : "";
    dialog.style = dialogTemplate.style;
    dialog.visible = parent == nullptr;
    dialog.rect = DialogUnitsToPixels(dialogTemplate.x, dialogTemplate.y, dialogTemplate.cx, dialogTemplate.cy);
    HWND previous = nullptr;
    for (int i = 0; i < dialogTemplate.controlCount; ++i) {
        const GwDialogControl& source = dialogTemplate.controls[i];
        const std::string className = source.className ? source.className : "";
        const DWORD style = static_cast<DWORD>(source.style);
        Window& control = Create(KindOf(className, style), className, dialog.handle);
        control.id = source.id;
        control.text = source.text ? source.text : "";
        control.style = style;
        control.enabled = (style & WS_DISABLED) == 0;
        control.visible = (style & WS_VISIBLE) != 0;
        control.rect = DialogUnitsToPixels(source.x, source.y, source.cx, source.cy);
        // An up-down control with UDS_AUTOBUDDY steps the control before it.
        if (control.kind == Kind::UpDown && (style & UDS_AUTOBUDDY))
            control.buddy = previous;
        previous = control.handle;
    }
    return dialog;
}

} // namespace mfcwin
