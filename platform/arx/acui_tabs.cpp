#include "acui.h"

#include "window_tree.h"

using mfcwin::Window;

int CAdUiTab::GetCurSel() const
{
    Window* tab = mfcwin::Find(m_hWnd);
    return tab ? tab->activeTab : -1;
}

CAdUiTabMainDialog::CAdUiTabMainDialog(UINT templateId, CWnd* parent, HINSTANCE dialogResource)
    : CAdUiDialog(templateId, parent, dialogResource)
{
}

BOOL CAdUiTabMainDialog::AddTab(int index, LPCSTR title, UINT templateId, CAdUiTabChildDialog* page)
{
    Window* tab = m_tab ? mfcwin::Find(m_tab->m_hWnd) : nullptr;
    if (!tab || !page || index < 0 || index > static_cast<int>(tab->tabs.size()))
        return FALSE;
    if (!page->Create(templateId, this))
        return FALSE;
    tab = mfcwin::Find(m_tab->m_hWnd);
    tab->tabs.insert(tab->tabs.begin() + index, title ? title : "");
    tab->pages.insert(tab->pages.begin() + index, page->m_hWnd);
    if (tab->activeTab < 0)
        tab->activeTab = 0;
    else if (index <= tab->activeTab)
        ++tab->activeTab;
    for (std::size_t i = 0; i < tab->pages.size(); ++i)
        if (Window* shown = mfcwin::Find(tab->pages[i]))
            shown->visible = static_cast<int>(i) == tab->activeTab;
    return TRUE;
}

CAdUiTabChildDialog::CAdUiTabChildDialog(CWnd* parent, HINSTANCE dialogResource)
    : CAdUiDialog(0, parent, dialogResource)
{
}

CAcUiTabMainDialog::CAcUiTabMainDialog(UINT templateId, CWnd* parent, HINSTANCE dialogResource)
    : CAdUiTabMainDialog(templateId, parent, dialogResource)
{
}

CAcUiTabChildDialog::CAcUiTabChildDialog(CWnd* parent, HINSTANCE dialogResource)
    : CAdUiTabChildDialog(parent, dialogResource)
{
}
