#include "afxwin.h"

#include "leak_tally.h"
#include "modal_state.h"
#include "menu_store.h"
#include "resource_templates.h"

#include <memory>
#include <unordered_map>

namespace mfcwin {
namespace {

struct MenuItemState {
    UINT id = 0;
    std::string text;
    UINT flags = 0;
    HMENU sub = nullptr;
};

struct MenuState {
    std::vector<MenuItemState> items;
    CMenu* permanent = nullptr;
    std::unique_ptr<CMenu> temporary;
};

struct MenuStore {
    std::unordered_map<HMENU, std::unique_ptr<MenuState>> menus;
    std::uintptr_t next = 0x20000;
};

MenuStore& Store()
{
    static MenuStore store;
    return store;
}

MenuState* FindMenu(HMENU menu)
{
    auto it = Store().menus.find(menu);
    return it == Store().menus.end() ? nullptr : it->second.get();
}

HMENU NewMenu()
{
    Store().next += 4;
    HMENU handle = reinterpret_cast<HMENU>(Store().next);
    Store().menus.emplace(handle, std::make_unique<MenuState>());
    return handle;
}

// The items of one level, from `index` on, while they are `depth` deep.
HMENU Build(const GwMenuItem* items, int count, int& index, int depth)
{
    HMENU handle = NewMenu();
    while (index < count && items[index].depth == depth) {
        const GwMenuItem& source = items[index++];
        MenuItemState item{source.id, source.text ? source.text : "", source.flags, nullptr};
        if (source.flags & MF_POPUP)
            item.sub = Build(items, count, index, depth + 1);
        FindMenu(handle)->items.push_back(std::move(item));
    }
    return handle;
}

void DestroyTree(HMENU menu)
{
    MenuState* state = FindMenu(menu);
    if (!state)
        return;
    for (const MenuItemState& item : state->items)
        if (item.sub)
            DestroyTree(item.sub);
    if (state->permanent)
        state->permanent->m_hMenu = nullptr;
    if (state->temporary)
        state->temporary->m_hMenu = nullptr;
    std::unique_ptr<MenuState> gone = std::move(Store().menus[menu]);
    Store().menus.erase(menu);
}

// The item with command `id`, in the menu or its popups.
MenuItemState* FindCommand(HMENU menu, UINT id)
{
    MenuState* state = FindMenu(menu);
    if (!state)
        return nullptr;
    for (MenuItemState& item : state->items) {
        if (!item.sub && !(item.flags & MF_SEPARATOR) && item.id == id)
            return &item;
        if (item.sub)
            if (MenuItemState* found = FindCommand(item.sub, id))
                return found;
    }
    return nullptr;
}

MenuItemState* FindItem(HMENU menu, UINT idOrPosition, UINT flags)
{
    if (!(flags & MF_BYPOSITION))
        return FindCommand(menu, idOrPosition);
    MenuState* state = FindMenu(menu);
    if (!state || idOrPosition >= state->items.size())
        return nullptr;
    return &state->items[idOrPosition];
}

void AddToForm(HMENU menu, int depth, PopupForm& form)
{
    MenuState* state = FindMenu(menu);
    if (!state)
        return;
    for (const MenuItemState& item : state->items) {
        PopupItem shown;
        shown.id = item.id;
        shown.text = item.text;
        shown.checked = (item.flags & MF_CHECKED) != 0;
        shown.grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
        shown.separator = (item.flags & MF_SEPARATOR) != 0;
        shown.popup = item.sub != nullptr;
        shown.depth = depth;
        form.items.push_back(shown);
        if (item.sub)
            AddToForm(item.sub, depth + 1, form);
    }
}

} // namespace

PopupForm FormOfMenu(HMENU menu)
{
    PopupForm form;
    AddToForm(menu, 0, form);
    return form;
}

} // namespace mfcwin

using namespace mfcwin;

CMenu::~CMenu()
{
    MenuState* state = FindMenu(m_hMenu);
    if (state && state->permanent == this)
        DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU menu)
{
    MenuState* state = FindMenu(menu);
    if (!state)
        return nullptr;
    if (state->permanent)
        return state->permanent;
    if (!state->temporary) {
        state->temporary = std::make_unique<CMenu>();
        state->temporary->m_hMenu = menu;
    }
    return state->temporary.get();
}

BOOL CMenu::LoadMenu(UINT id)
{
    if (m_hMenu)
        return FALSE;
    const GwMenuTemplate* menu = FindMenuTemplate(AfxGetResourceHandle(), id);
    if (!menu)
        return FALSE;
    int index = 0;
    const int topDepth = menu->itemCount > 0 ? menu->items[0].depth : 1;
    m_hMenu = Build(menu->items, menu->itemCount, index, topDepth);
    FindMenu(m_hMenu)->permanent = this;
    AddToTally(Tally::Menus, 1);
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    MenuState* state = FindMenu(m_hMenu);
    if (!state)
        return FALSE;
    // Only a loaded menu counts; its popups go with it.
    const bool loaded = state->permanent == this;
    DestroyTree(m_hMenu);
    m_hMenu = nullptr;
    if (loaded)
        AddToTally(Tally::Menus, -1);
    return TRUE;
}

CMenu* CMenu::GetSubMenu(int position) const
{
    MenuState* state = FindMenu(m_hMenu);
    if (!state || position < 0 || position >= static_cast<int>(state->items.size()))
        return nullptr;
    return FromHandle(state->items[static_cast<std::size_t>(position)].sub);
}

UINT CMenu::CheckMenuItem(UINT id, UINT check)
{
    MenuItemState* item = FindItem(m_hMenu, id, check);
    if (!item)
        return 0xFFFFFFFFu;
    const UINT previous = item->flags & MF_CHECKED;
    item->flags = (item->flags & ~static_cast<UINT>(MF_CHECKED)) | (check & MF_CHECKED);
    return previous;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int, int, CWnd* owner, LPCRECT)
{
    if (!FindMenu(m_hMenu))
        return FALSE;
    PopupPlan& plan = CurrentPopupPlan();
    UINT chosen = 0;
    if (plan.armed && plan.command) {
        chosen = *plan.command;
        plan.command.reset();
    } else if (DialogDriver* driver = CurrentDialogDriver()) {
        chosen = driver->choosePopupCommand(FormOfMenu(m_hMenu));
    }
    plan.opened = true;
    if (chosen) {
        // Only an enabled command of this popup can be picked.
        MenuItemState* item = FindCommand(m_hMenu, chosen);
        if (!item) {
            plan.refusal = std::to_string(chosen) + " is not a command of the menu";
            chosen = 0;
        } else if (item->flags & (MF_GRAYED | MF_DISABLED)) {
            plan.refusal = "menu command " + std::to_string(chosen) + " is disabled";
            chosen = 0;
        }
    }
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen && owner)
        PostCommand(owner->m_hWnd, chosen);
    return TRUE;
}
