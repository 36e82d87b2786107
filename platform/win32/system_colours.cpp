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

// The stock objects are handles that stand for themselves; nothing is drawn
// with them here, but a window procedure returns them as its answer.
HGDIOBJ GetStockObject(int object)
{
    static const char stockObjects[HOLLOW_BRUSH + 1] = {};
    if (object < 0 || object > HOLLOW_BRUSH)
        return nullptr;
    return const_cast<char*>(&stockObjects[object]);
}
