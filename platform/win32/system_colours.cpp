#include <winuser.h>

// The colours of the default Windows scheme: there is no display whose
// scheme a user could change.
DWORD GetSysColor(int index)
{
    switch (index) {
    case COLOR_HIGHLIGHT:
        return RGB(0, 120, 215);
    case COLOR_GRAYTEXT:
        return RGB(109, 109, 109);
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    default:
        return 0;
    }
}
