#include "ui/hyperlink.h"

#include "ui/hyperlink_open.h"

namespace
{

// The hand cursor in the Windows help program's resources: older Windows
// versions have no IDC_HAND, and this one looks the same everywhere.
constexpr WORD kHelpHandCursor = 106;

} // namespace

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CHyperLink::~CHyperLink()
{
    ReleaseOwnCursor();
}

void CHyperLink::AttachLink()
{
    // A static text says nothing of clicks without SS_NOTIFY.
    ModifyStyle(0, SS_NOTIFY);
    CString text;
    GetWindowText(text);
    if (m_url.empty())
        m_url = text.GetString();
    if (text.IsEmpty())
        SetWindowText(m_url.c_str());

    // The window's own font, underlined, so the link matches the dialog.
    if (CFont* windowFont = GetFont()) {
        LOGFONTA description {};
        if (windowFont->GetLogFont(&description)) {
            description.lfUnderline = m_underline ? TRUE : FALSE;
            m_font.DeleteObject();
            if (m_font.CreateFontIndirect(&description))
                SetFont(&m_font);
        }
    }

    FitToText();
    LoadLinkCursor();

    if (!m_toolTip.m_hWnd && m_toolTip.Create(this)) {
        // The tool is the window itself: the tip shows anywhere over it.
        m_toolTip.AddTool(this, m_url.c_str());
        m_toolTip.Activate(TRUE);
    }
}

void CHyperLink::FitToText()
{
    if (!m_adjustToFit || !m_hWnd)
        return;
    CWnd* parent = GetParent();
    CRect old;
    GetWindowRect(old);
    if (parent)
        parent->ScreenToClient(old);

    CString text;
    GetWindowText(text);
    CClientDC dc(this);
    CFont* before = dc.SelectObject(m_font.m_hObject ? &m_font : GetFont());
    const CSize extent = dc.GetTextExtent(text.GetString(), text.GetLength());
    dc.SelectObject(before);

    const DWORD style = GetStyle();
    CRect fitted = old;
    if (style & SS_CENTERIMAGE)
        fitted.top = old.top + (old.Height() - extent.cy) / 2;
    fitted.bottom = fitted.top + extent.cy;
    // The alignment is a value of the low style bits, not a set of flags.
    switch (style & 0x1F) {
    case SS_CENTER:
        fitted.left = old.left + (old.Width() - extent.cx) / 2;
        break;
    case SS_RIGHT:
        fitted.left = old.right - extent.cx;
        break;
    default:
        break;
    }
    fitted.right = fitted.left + extent.cx;
    SetWindowPos(nullptr, fitted.left, fitted.top, fitted.Width(), fitted.Height(), SWP_NOZORDER);
}

void CHyperLink::LoadLinkCursor()
{
    // A cursor the caller set is kept.
    if (m_linkCursor)
        return;
    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    const std::string helpProgram = std::string(windows) + "\\winhlp32.exe";
    HMODULE module = LoadLibraryA(helpProgram.c_str());
    if (!module)
        return; // the normal cursor shows
    // The cursor goes with its module: keep a copy of our own.
    if (HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCEA(kHelpHandCursor))) {
        m_linkCursor = CopyCursor(cursor);
        m_ownsCursor = m_linkCursor != nullptr;
    }
    FreeLibrary(module);
}

void CHyperLink::ReleaseOwnCursor()
{
    if (m_ownsCursor && m_linkCursor)
        DestroyCursor(m_linkCursor);
    m_ownsCursor = false;
    m_linkCursor = nullptr;
}

void CHyperLink::SetLinkCursor(HCURSOR cursor)
{
    ReleaseOwnCursor();
    m_linkCursor = cursor;
}

void CHyperLink::SetURL(const std::string& url)
{
    m_url = url;
    if (m_toolTip.m_hWnd)
        m_toolTip.AddTool(this, m_url.c_str());
}

void CHyperLink::SetColours(COLORREF link, COLORREF visited, COLORREF hover)
{
    m_linkColour = link;
    m_visitedColour = visited;
    m_hoverColour = hover;
    if (m_hWnd)
        Invalidate();
}

void CHyperLink::SetVisited(bool visited)
{
    m_visited = visited;
    if (m_hWnd)
        Invalidate();
}

COLORREF CHyperLink::TextColour() const
{
    if (m_hovering)
        return m_hoverColour == kSystemHighlight ? GetSysColor(COLOR_HIGHLIGHT) : m_hoverColour;
    return m_visited ? m_visitedColour : m_linkColour;
}

HBRUSH CHyperLink::CtlColor(CDC* dc, UINT)
{
    if (!dc)
        return nullptr;
    dc->SetTextColor(TextColour());
    // The dialog's background shows through: the link is only its text.
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

BOOL CHyperLink::PreTranslateMessage(MSG* message)
{
    // The tooltip learns where the pointer is from the messages it is shown.
    if (m_toolTip.m_hWnd)
        m_toolTip.RelayEvent(message);
    return CStatic::PreTranslateMessage(message);
}

BOOL CHyperLink::OnSetCursor(CWnd* window, UINT hitTest, UINT message)
{
    if (!m_linkCursor)
        return CStatic::OnSetCursor(window, hitTest, message);
    SetCursor(m_linkCursor);
    return TRUE;
}

void CHyperLink::OnMouseMove(UINT flags, CPoint point)
{
    CStatic::OnMouseMove(flags, point);
    if (!m_hovering) {
        // Capturing the mouse is how the link learns the pointer has left.
        m_hovering = true;
        Invalidate();
        ::SetCapture(m_hWnd);
        return;
    }
    CRect client;
    GetClientRect(client);
    if (!client.PtInRect(point)) {
        m_hovering = false;
        ReleaseCapture();
        Invalidate();
    }
}

void CHyperLink::OnClicked()
{
    // A link that did not open keeps its colour: the user has not been there.
    if (FollowHyperlink(m_url.c_str()))
        SetVisited(true);
}
