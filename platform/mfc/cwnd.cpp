#include "afxwin.h"

#include "window_tree.h"

#include <algorithm>
#include <cstring>

using mfcwin::Window;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::DispatchToMessageMap(UINT message, UINT code, UINT id, NMHDR* notify, LRESULT* result)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != message || entry->nCode != code || id < entry->nID || id > entry->nLastID)
                continue;
            switch (entry->nSig) {
            case AfxSigCmd_v:
                (this->*entry->pfn.command)();
                return TRUE;
            case AfxSigNotify_v: {
                LRESULT ignored = 0;
                (this->*entry->pfn.notify)(notify, result ? result : &ignored);
                return TRUE;
            }
            default:
                break;
            }
        }
        if (!map->pfnGetBaseMap)
            break;
    }
    return FALSE;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::~CWnd()
{
    if (m_hWnd) {
        Window* window = mfcwin::Find(m_hWnd);
        if (window && window->permanent == this) {
            window->permanent = nullptr;
            mfcwin::Destroy(m_hWnd);
        }
        m_hWnd = nullptr;
    }
}

CWnd* CWnd::FromHandle(HWND handle)
{
    Window* window = mfcwin::Find(handle);
    if (!window)
        return nullptr;
    if (window->permanent)
        return window->permanent;
    if (!window->temporary) {
        window->temporary = std::make_unique<CWnd>();
        window->temporary->m_hWnd = handle;
    }
    return window->temporary.get();
}

BOOL CWnd::Attach(HWND handle)
{
    Window* window = mfcwin::Find(handle);
    if (!window || m_hWnd || window->permanent)
        return FALSE;
    window->permanent = this;
    m_hWnd = handle;
    return TRUE;
}

CWnd* CWnd::GetDlgItem(int id) const
{
    Window* child = mfcwin::Child(m_hWnd, id);
    return child ? FromHandle(child->handle) : nullptr;
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    Window* window = mfcwin::Find(m_hWnd);
    if (!window)
        return FALSE;
    const BOOL wasDisabled = !window->enabled;
    window->enabled = enable != FALSE;
    return wasDisabled;
}

BOOL CWnd::ShowWindow(int command)
{
    Window* window = mfcwin::Find(m_hWnd);
    if (!window)
        return FALSE;
    const BOOL wasVisible = window->visible;
    window->visible = command != SW_HIDE;
    return wasVisible;
}

void CWnd::SetWindowText(LPCSTR text)
{
    if (Window* window = mfcwin::Find(m_hWnd))
        window->text = text ? text : "";
}

int CWnd::GetWindowText(LPSTR buffer, int bufferMax) const
{
    Window* window = mfcwin::Find(m_hWnd);
    if (!buffer || bufferMax <= 0)
        return 0;
    const std::string text = window ? window->text : std::string();
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(bufferMax - 1));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

void CWnd::GetWindowText(CString& text) const
{
    Window* window = mfcwin::Find(m_hWnd);
    text = window ? window->text.c_str() : "";
}

UINT CWnd::IsDlgButtonChecked(int id) const
{
    Window* button = mfcwin::Child(m_hWnd, id);
    return button ? static_cast<UINT>(button->check) : BST_UNCHECKED;
}

CWnd* CWnd::SetFocus()
{
    Window* dialog = mfcwin::DialogOf(m_hWnd);
    if (!dialog)
        return nullptr;
    CWnd* previous = FromHandle(dialog->focus);
    dialog->focus = m_hWnd;
    return previous;
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    Window* window = mfcwin::Find(m_hWnd);
    if (rect)
        *rect = window ? window->rect : RECT{0, 0, 0, 0};
}

void CWnd::GetClientRect(LPRECT rect) const
{
    Window* window = mfcwin::Find(m_hWnd);
    if (!rect)
        return;
    if (!window) {
        *rect = {0, 0, 0, 0};
        return;
    }
    // A border takes two pixels on each side.
    const LONG border = (window->style & WS_BORDER) ? 2 : 0;
    const LONG width = window->rect.right - window->rect.left - 2 * border;
    const LONG height = window->rect.bottom - window->rect.top - 2 * border;
    *rect = {0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd ? WindowProc(message, wParam, lParam) : 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    OnWndMsg(message, wParam, lParam, &result);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_DRAWITEM) {
        // The owner-draw control draws itself (MFC reflects WM_DRAWITEM).
        auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        Window* control = item ? mfcwin::Find(item->hwndItem) : nullptr;
        if (control && control->permanent && control->permanent != this)
            return control->permanent->OnChildNotify(message, wParam, lParam, result);
        return FALSE;
    }
    if (message == WM_CTLCOLORSTATIC) {
        // The static text answers its own colour request when it can.
        Window* control = mfcwin::Find(reinterpret_cast<HWND>(lParam));
        if (!control || !control->permanent || control->permanent == this)
            return FALSE;
        HBRUSH brush = control->permanent->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), CTLCOLOR_STATIC);
        *result = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    }
    if (message == WM_SETCURSOR) {
        // Left to the window procedure, the class cursor shows: the arrow.
        if (!OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam)))
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        *result = TRUE;
        return TRUE;
    }
    if (message == WM_MOUSEMOVE) {
        // The coordinates are signed: a captured mouse may be left of or
        // above the window.
        OnMouseMove(static_cast<UINT>(wParam), CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        return TRUE;
    }
    if (message == WM_HELP) {
        *result = OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
        return TRUE;
    }
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam);
    if (message == WM_NOTIFY)
        return OnNotify(wParam, lParam, result);
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // As MFC does, the control that sent the command sees it first
    // (ON_CONTROL_REFLECT).
    if (Window* sender = mfcwin::Find(reinterpret_cast<HWND>(lParam));
        sender && sender->permanent && sender->permanent != this)
        if (sender->permanent->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr))
            return TRUE;
    return DispatchToMessageMap(WM_COMMAND, HIWORD(wParam), LOWORD(wParam), nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header)
        return FALSE;
    // As MFC does, the control that sent the notification sees it first.
    if (Window* sender = mfcwin::Find(header->hwndFrom); sender && sender->permanent && sender->permanent != this)
        if (sender->permanent->OnChildNotify(WM_NOTIFY, wParam, lParam, result))
            return TRUE;
    return DispatchToMessageMap(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom), header, result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND)
        return DispatchToMessageMap(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, nullptr, nullptr);
    if (message != WM_NOTIFY)
        return FALSE;
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    return DispatchToMessageMap(WM_REFLECT_BASE + WM_NOTIFY, header->code, 0, header, result);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::DestroyWindow()
{
    if (!mfcwin::Find(m_hWnd))
        return FALSE;
    mfcwin::Destroy(m_hWnd);
    return TRUE;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (CUserException* failure) {
        failure->Delete();
        return FALSE;
    }
    return TRUE;
}

void AfxThrowUserException() { throw new CUserException; }

HBRUSH CWnd::CtlColor(CDC*, UINT) { return nullptr; }

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return FALSE; }

void CWnd::OnMouseMove(UINT, CPoint) {}

DWORD CWnd::GetStyle() const
{
    Window* window = mfcwin::Find(m_hWnd);
    return window ? window->style : 0;
}

CWnd* CWnd::GetParent() const
{
    Window* window = mfcwin::Find(m_hWnd);
    return window ? FromHandle(window->parent) : nullptr;
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags)
{
    Window* window = mfcwin::Find(m_hWnd);
    if (!window)
        return FALSE;
    RECT& rect = window->rect;
    if (!(flags & SWP_NOMOVE)) {
        const LONG width = rect.right - rect.left;
        const LONG height = rect.bottom - rect.top;
        rect = {x, y, x + width, y + height};
    }
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + std::max(cx, 0);
        rect.bottom = rect.top + std::max(cy, 0);
    }
    return TRUE;
}

void CWnd::Invalidate(BOOL)
{
    if (Window* window = mfcwin::Find(m_hWnd))
        ++window->repaints;
}

// Nothing answers help unless a window says it does.
BOOL CWnd::OnHelpInfo(HELPINFO*) { return FALSE; }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT)
{
    Window* window = mfcwin::Find(m_hWnd);
    if (!window)
        return FALSE;
    const DWORD style = (window->style & ~remove) | add;
    if (style == window->style)
        return FALSE;
    window->style = style;
    return TRUE;
}
