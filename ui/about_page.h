// The about page of the options dialog: what Gridwell is, where to read
// more (a link), and which version of the module is loaded.
#pragma once
#include "ui/hyperlink.h"

#include <acui.h>

class CAboutPage : public CAcUiTabChildDialog {
public:
    CAboutPage() = default;

    // The module whose version resource names the version shown; without
    // one the version line stays empty.
    void SetModule(HMODULE module) { m_module = module; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    HMODULE m_module = nullptr;
    CHyperLink m_link;
};
