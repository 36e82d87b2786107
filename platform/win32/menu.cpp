// Menus and the menu bars of windows (winuser.h). A menu is a list of items;
// a window's menu bar is looked up by the window, since the windows of this
// platform (the host's main window) are not objects of the win32 stand-in.
#include "errhandlingapi.h"
#include "winerror.h"
#include "winuser.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

struct HMENU__ {
    struct Item {
        std::string text;
        UINT flags = 0;
        UINT_PTR id = 0;
        HMENU popup = nullptr;
    };
    bool popupMenu = false;
    std::vector<Item> items;
};

namespace {

struct MenuTable {
    std::mutex lock;
    std::set<HMENU> menus;
    std::map<HWND, HMENU> menuBars;
};

MenuTable& Menus()
{
    static MenuTable table;
    return table;
}

// The menu, or null with ERROR_INVALID_MENU_HANDLE; the caller holds the lock.
HMENU Valid(MenuTable& table, HMENU menu)
{
    if (!menu || !table.menus.count(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    return menu;
}

HMENU NewMenu(bool popup)
{
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    HMENU menu = new HMENU__;
    menu->popupMenu = popup;
    table.menus.insert(menu);
    return menu;
}

void DestroyLocked(MenuTable& table, HMENU menu)
{
    if (!table.menus.erase(menu))
        return;
    for (const HMENU__::Item& item : menu->items)
        if (item.popup)
            DestroyLocked(table, item.popup);
    for (auto bar = table.menuBars.begin(); bar != table.menuBars.end();)
        bar = bar->second == menu ? table.menuBars.erase(bar) : std::next(bar);
    delete menu;
}

// The item `item` names: a position, or the first command id found
// depth-first (Windows searches pop-ups too).
const HMENU__::Item* FindItem(HMENU menu, UINT item, UINT flags)
{
    if (flags & MF_BYPOSITION)
        return item < menu->items.size() ? &menu->items[item] : nullptr;
    for (const HMENU__::Item& candidate : menu->items) {
        if (candidate.popup) {
            if (const HMENU__::Item* inner = FindItem(candidate.popup, item, flags))
                return inner;
        } else if (candidate.id == item) {
            return &candidate;
        }
    }
    return nullptr;
}

} // namespace

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU menu)
{
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!Valid(table, menu))
        return FALSE;
    DestroyLocked(table, menu);
    return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text)
{
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!Valid(table, menu))
        return FALSE;
    HMENU__::Item item;
    item.flags = flags;
    if (!(flags & MF_SEPARATOR))
        item.text = text ? text : "";
    if (flags & MF_POPUP) {
        item.popup = Valid(table, reinterpret_cast<HMENU>(idOrPopup));
        if (!item.popup)
            return FALSE;
    } else {
        item.id = idOrPopup;
    }
    menu->items.push_back(std::move(item));
    return TRUE;
}

HMENU GetMenu(HWND window)
{
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.menuBars.find(window);
    return found == table.menuBars.end() ? nullptr : found->second;
}

BOOL SetMenu(HWND window, HMENU menu)
{
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!menu) {
        table.menuBars.erase(window);
        return TRUE;
    }
    if (!Valid(table, menu))
        return FALSE;
    table.menuBars[window] = menu;
    return TRUE;
}

int GetMenuItemCount(HMENU menu)
{
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!Valid(table, menu))
        return -1;
    return static_cast<int>(menu->items.size());
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int max, UINT flags)
{
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!Valid(table, menu))
        return 0;
    const HMENU__::Item* found = FindItem(menu, item, flags);
    if (!found)
        return 0;
    // Without a buffer the answer is the text's length.
    if (!text || max <= 0)
        return static_cast<int>(found->text.size());
    const std::size_t length = std::min(found->text.size(), static_cast<std::size_t>(max - 1));
    std::memcpy(text, found->text.data(), length);
    text[length] = '\0';
    return static_cast<int>(length);
}

HMENU GetSubMenu(HMENU menu, int position)
{
    MenuTable& table = Menus();
    std::lock_guard<std::mutex> guard(table.lock);
    if (!Valid(table, menu) || position < 0 || static_cast<std::size_t>(position) >= menu->items.size())
        return nullptr;
    return menu->items[static_cast<std::size_t>(position)].popup;
}
