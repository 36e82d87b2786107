// CHyperLink: a static text that opens a URL when clicked, drawn underlined
// in the link colour until a click opened it and in the visited colour after,
// in the hover colour while the pointer is over it. Its window is fitted to
// its text, a tooltip shows the URL and the pointer becomes the link cursor
// when one could be loaded. The About page attaches it to its link control.
#pragma once
#include <afxcmn.h>
#include <afxwin.h>

#include <string>

class CHyperLink : public CStatic
{
public:
    static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
    static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
    // For SetColours' hover colour: the system highlight colour.
    static constexpr COLORREF kSystemHighlight = static_cast<COLORREF>(-1);

    CHyperLink() = default;
    ~CHyperLink() override;

    // Makes the attached static text a link: it must notify its parent of
    // clicks; an empty URL is taken from the text and an empty text shows
    // the URL. Then underlines the font, fits the window to the text, loads
    // the link cursor (unless one was set) and makes the URL the tooltip.
    void AttachLink();
    void SetURL(const std::string& url);
    const std::string& GetURL() const { return m_url; }
    void SetColours(COLORREF link, COLORREF visited, COLORREF hover = kSystemHighlight);
    void SetVisited(bool visited);
    bool GetVisited() const { return m_visited; }
    // The cursor shown over the link; the caller keeps it alive. Null: the
    // normal cursor.
    void SetLinkCursor(HCURSOR cursor);
    HCURSOR GetLinkCursor() const { return m_linkCursor; }
    bool GetHovering() const { return m_hovering; }
    // The pointer entering or leaving the control.
    void SetHovering(bool hovering) { m_hovering = hovering; }
    // The answer to the parent's colour request: the hover colour while the
    // pointer is over the link, else visited or link colour. The background
    // stays transparent.
    COLORREF TextColour() const;

    // The colour request reflected from the parent: the text colour above
    // on a transparent background, and a hollow brush.
    HBRUSH CtlColor(CDC* dc, UINT controlType) override;
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void OnClicked();
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    DECLARE_MESSAGE_MAP()

private:
    void FitToText();
    void LoadLinkCursor();
    void ReleaseOwnCursor();

    std::string m_url;
    COLORREF m_linkColour = kLinkColour;
    COLORREF m_visitedColour = kVisitedColour;
    COLORREF m_hoverColour = kSystemHighlight;
    bool m_visited = false;
    bool m_hovering = false;
    bool m_underline = true;
    bool m_adjustToFit = true;
    HCURSOR m_linkCursor = nullptr;
    bool m_ownsCursor = false; // a copy loaded here, destroyed here
    CFont m_font;
    CToolTipCtrl m_toolTip;
};
