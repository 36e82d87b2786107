// The about page of the options dialog: what Gridwell is, and where to read
// more.
#pragma once
#include <acui.h>

class CAboutPage : public CAcUiTabChildDialog {
public:
    CAboutPage() = default;

protected:
    BOOL OnInitDialog() override;
};
