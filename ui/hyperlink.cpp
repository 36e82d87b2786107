#include "ui/hyperlink.h"

#include "ui/hyperlink_open.h"

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

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
}

void CHyperLink::SetURL(const std::string& url) { m_url = url; }

void CHyperLink::SetColours(COLORREF link, COLORREF visited, COLORREF hover)
{
    m_linkColour = link;
    m_visitedColour = visited;
    m_hoverColour = hover;
}

void CHyperLink::SetVisited(bool visited) { m_visited = visited; }

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

void CHyperLink::OnClicked()
{
    // A link that did not open keeps its colour: the user has not been there.
    if (FollowHyperlink(m_url.c_str()))
        SetVisited(true);
}
