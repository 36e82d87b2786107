#include "afxcmn.h"

#include "window_tree.h"

#include <algorithm>

using mfcwin::Kind;
using mfcwin::Window;

void CEdit::SetLimitText(UINT maxCharacters)
{
    // Zero lifts the limit to the most an edit box can hold.
    if (Window* window = mfcwin::Find(m_hWnd))
        window->textLimit = maxCharacters ? maxCharacters : 0x7FFFFFFEu;
}

namespace {

Window* ListOf(HWND handle)
{
    Window* window = mfcwin::Find(handle);
    return window && window->kind == Kind::List ? window : nullptr;
}

bool ValidItem(const Window* list, int item)
{
    return list && item >= 0 && item < static_cast<int>(list->items.size());
}

} // namespace

int CListCtrl::InsertColumn(int column, LPCSTR heading, int format, int width, int)
{
    Window* list = ListOf(m_hWnd);
    if (!list || column < 0)
        return -1;
    const int at = std::min(column, static_cast<int>(list->columns.size()));
    list->columns.insert(list->columns.begin() + at, {heading ? heading : "", std::max(width, 0), format});
    return at;
}

DWORD CListCtrl::SetExtendedStyle(DWORD style)
{
    Window* list = ListOf(m_hWnd);
    if (!list)
        return 0;
    const DWORD previous = list->extendedStyle;
    list->extendedStyle = style;
    return previous;
}

DWORD CListCtrl::GetExtendedStyle() const
{
    Window* list = ListOf(m_hWnd);
    return list ? list->extendedStyle : 0;
}

int CListCtrl::InsertItem(int index, LPCSTR text)
{
    Window* list = ListOf(m_hWnd);
    if (!list || index < 0)
        return -1;
    const int at = std::min(index, static_cast<int>(list->items.size()));
    list->items.insert(list->items.begin() + at, {text ? text : "", 0});
    return at;
}

int CListCtrl::GetItemCount() const
{
    Window* list = ListOf(m_hWnd);
    return list ? static_cast<int>(list->items.size()) : 0;
}

CString CListCtrl::GetItemText(int item, int subItem) const
{
    Window* list = ListOf(m_hWnd);
    // One column of text per item: sub-items read as empty.
    if (!ValidItem(list, item) || subItem != 0)
        return CString();
    return CString(list->items[static_cast<std::size_t>(item)].text.c_str());
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    Window* list = ListOf(m_hWnd);
    if (!list || (item != -1 && !ValidItem(list, item)))
        return FALSE;
    auto apply = [&](mfcwin::ListItem& entry) { entry.state = (entry.state & ~mask) | (state & mask); };
    // One item at most has the focus, and a single-selection list selects one.
    const bool takesFocus = (mask & state & LVIS_FOCUSED) != 0;
    const bool takesSelection = (mask & state & LVIS_SELECTED) != 0 && (list->style & LVS_SINGLESEL);
    if (item == -1) {
        for (mfcwin::ListItem& entry : list->items)
            apply(entry);
        return TRUE;
    }
    for (std::size_t i = 0; i < list->items.size(); ++i) {
        if (static_cast<int>(i) == item)
            continue;
        if (takesFocus)
            list->items[i].state &= ~static_cast<UINT>(LVIS_FOCUSED);
        if (takesSelection)
            list->items[i].state &= ~static_cast<UINT>(LVIS_SELECTED);
    }
    apply(list->items[static_cast<std::size_t>(item)]);
    return TRUE;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const
{
    Window* list = ListOf(m_hWnd);
    return ValidItem(list, item) ? list->items[static_cast<std::size_t>(item)].state & mask : 0;
}

BOOL CListCtrl::DeleteItem(int item)
{
    Window* list = ListOf(m_hWnd);
    if (!ValidItem(list, item))
        return FALSE;
    list->items.erase(list->items.begin() + item);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems()
{
    Window* list = ListOf(m_hWnd);
    if (!list)
        return FALSE;
    list->items.clear();
    return TRUE;
}

int CListCtrl::GetNextItem(int start, int flags) const
{
    Window* list = ListOf(m_hWnd);
    if (!list)
        return -1;
    UINT wanted = 0;
    if (flags & LVNI_SELECTED)
        wanted |= LVIS_SELECTED;
    if (flags & LVNI_FOCUSED)
        wanted |= LVIS_FOCUSED;
    for (int i = std::max(start + 1, 0); i < static_cast<int>(list->items.size()); ++i)
        if ((list->items[static_cast<std::size_t>(i)].state & wanted) == wanted)
            return i;
    return -1;
}

UINT CListCtrl::GetSelectedCount() const
{
    Window* list = ListOf(m_hWnd);
    if (!list)
        return 0;
    return static_cast<UINT>(std::count_if(list->items.begin(), list->items.end(), [](const mfcwin::ListItem& item) {
        return (item.state & LVIS_SELECTED) != 0;
    }));
}

// A position is the selected item's index plus one, so that null ends the walk.
POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    const int first = GetNextItem(-1, LVNI_SELECTED);
    return first < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(first) + 1);
}

int CListCtrl::GetNextSelectedItem(POSITION& position) const
{
    const int item = static_cast<int>(reinterpret_cast<std::uintptr_t>(position)) - 1;
    const int next = GetNextItem(item, LVNI_SELECTED);
    position = next < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(next) + 1);
    return item;
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style)
{
    if (m_hWnd || !parent || !mfcwin::Find(parent->m_hWnd))
        return FALSE;
    Window& tip = mfcwin::Create(Kind::ToolTip, TOOLTIPS_CLASSA, parent->m_hWnd);
    tip.style = style;
    tip.visible = false;
    return Attach(tip.handle);
}

void CToolTipCtrl::Activate(BOOL activate)
{
    if (Window* tip = mfcwin::Find(m_hWnd))
        tip->active = activate != FALSE;
}

BOOL CToolTipCtrl::AddTool(CWnd* window, LPCSTR text)
{
    Window* tip = mfcwin::Find(m_hWnd);
    if (!tip || !window || !mfcwin::Find(window->m_hWnd))
        return FALSE;
    for (auto& tool : tip->tools)
        if (tool.first == window->m_hWnd) {
            tool.second = text ? text : "";
            return TRUE;
        }
    tip->tools.emplace_back(window->m_hWnd, text ? text : "");
    return TRUE;
}

int CToolTipCtrl::SetMaxTipWidth(int width)
{
    Window* tip = mfcwin::Find(m_hWnd);
    if (!tip)
        return -1;
    const int previous = tip->maxTipWidth;
    tip->maxTipWidth = width;
    return previous;
}

void CToolTipCtrl::RelayEvent(LPMSG message)
{
    if (Window* tip = mfcwin::Find(m_hWnd); tip && message)
        ++tip->relayed;
}

namespace {

Window* UpDownOf(HWND handle)
{
    Window* window = mfcwin::Find(handle);
    return window && window->kind == Kind::UpDown ? window : nullptr;
}

} // namespace

void CSpinButtonCtrl::SetRange32(int lower, int upper)
{
    if (Window* spin = UpDownOf(m_hWnd)) {
        spin->lower = lower;
        spin->upper = upper;
    }
}

int CSpinButtonCtrl::SetPos(int position)
{
    Window* spin = UpDownOf(m_hWnd);
    if (!spin)
        return 0;
    const int previous = spin->position;
    spin->position = position;
    return previous;
}

int CSpinButtonCtrl::SetBase(int base)
{
    Window* spin = UpDownOf(m_hWnd);
    if (!spin || (base != 10 && base != 16))
        return 0;
    const int previous = spin->base;
    spin->base = base;
    return previous;
}

CWnd* CSpinButtonCtrl::GetBuddy() const
{
    Window* spin = UpDownOf(m_hWnd);
    return spin ? CWnd::FromHandle(spin->buddy) : nullptr;
}
