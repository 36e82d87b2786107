#include <winuser.h>

BOOL GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    *point = {0, 0};
    return TRUE;
}
