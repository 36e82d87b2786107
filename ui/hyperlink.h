// CHyperLink: a static text that opens a URL when clicked, drawn in the link
// colour until a click opened it and in the visited colour after. The About
// page attaches it to its link control.
#pragma once
#include <afxwin.h>

#include <string>

class CHyperLink : public CStatic {
public:
    static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
    static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
    // For SetColours' hover colour: the system highlight colour.
    static constexpr COLORREF kSystemHighlight = static_cast<COLORREF>(-1);

    CHyperLink() = default;

    // Makes the attached static text a link: it must notify its parent of
    // clicks; an empty URL is taken from the text and an empty text shows
    // the URL.
    void AttachLink();
    void SetURL(const std::string& url);
    const std::string& GetURL() const { return m_url; }
    void SetColours(COLORREF link, COLORREF visited, COLORREF hover = kSystemHighlight);
    void SetVisited(bool visited);
    bool GetVisited() const { return m_visited; }
    // The pointer entering or leaving the control.
    void SetHovering(bool hovering) { m_hovering = hovering; }
    // The answer to the parent's colour request: the hover colour while the
    // pointer is over the link, else visited or link colour. The background
    // stays transparent.
    COLORREF TextColour() const;

    // The colour request reflected from the parent: the text colour above
    // on a transparent background, and a hollow brush.
    HBRUSH CtlColor(CDC* dc, UINT controlType) override;

protected:
    void OnClicked();
    DECLARE_MESSAGE_MAP()

private:
    std::string m_url;
    COLORREF m_linkColour = kLinkColour;
    COLORREF m_visitedColour = kVisitedColour;
    COLORREF m_hoverColour = kSystemHighlight;
    bool m_visited = false;
    bool m_hovering = false;
};
