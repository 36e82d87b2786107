// Font objects and window fonts. A font is its logical description; the
// window record keeps the handle it was given, as WM_SETFONT does.
#include <afxwin.h>

#include "window_tree.h"

#include <cstring>
#include <set>

struct HFONT__ {
    LOGFONTA description {};
    // The wrapper GetFont hands out: it did not make the font and so never
    // deletes it.
    CFont view;
    explicit HFONT__(const LOGFONTA& font)
        : description(font)
    {
        view.m_hObject = this;
    }
};

namespace
{

// The fonts alive now: a window whose font was deleted falls back to the
// dialog's font instead of reading freed memory.
std::set<HFONT>& LiveFonts()
{
    static std::set<HFONT> fonts;
    return fonts;
}

// The 8-point shell font of the dialog templates, at 96 dots per inch.
HFONT ShellFont()
{
    static HFONT__ shell([] {
        LOGFONTA font {};
        font.lfHeight = -11;
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = DEFAULT_CHARSET;
        std::strcpy(font.lfFaceName, "MS Shell Dlg");
        return font;
    }());
    return &shell;
}

} // namespace

CFont::~CFont()
{
    DeleteObject();
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* font)
{
    if (m_hObject || !font)
        return FALSE;
    m_hObject = new HFONT__(*font);
    m_created = true;
    LiveFonts().insert(m_hObject);
    return TRUE;
}

int CFont::GetLogFont(LOGFONTA* font) const
{
    if (!m_hObject || !font)
        return 0;
    *font = m_hObject->description;
    return static_cast<int>(sizeof(LOGFONTA));
}

BOOL CFont::DeleteObject()
{
    if (!m_hObject || !m_created)
        return FALSE;
    LiveFonts().erase(m_hObject);
    delete m_hObject;
    m_hObject = nullptr;
    m_created = false;
    return TRUE;
}

CFont* CWnd::GetFont() const
{
    mfcwin::Window* window = mfcwin::Find(m_hWnd);
    if (!window)
        return nullptr;
    HFONT font = window->font && LiveFonts().contains(window->font) ? window->font : ShellFont();
    return &font->view;
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    mfcwin::Window* window = mfcwin::Find(m_hWnd);
    if (!window)
        return;
    window->font = font ? font->m_hObject : nullptr;
    if (redraw)
        Invalidate();
}
