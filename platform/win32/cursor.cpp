#include <windows.h>

#include <cstring>

BOOL GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    *point = { 0, 0 };
    return TRUE;
}

namespace
{

// The system cursors: their handles are the addresses of these cells.
enum SystemCursor { Arrow, Hand, SystemCursorCount };
char g_systemCursors[SystemCursorCount] = {};

HCURSOR SystemCursorHandle(SystemCursor which)
{
    return reinterpret_cast<HCURSOR>(&g_systemCursors[which]);
}

bool IsSystemCursor(HCURSOR cursor)
{
    const auto* cell = reinterpret_cast<const char*>(cursor);
    return cell >= g_systemCursors && cell < g_systemCursors + SystemCursorCount;
}

// Cursor and capture belong to the thread's input state, as on Windows.
thread_local HCURSOR t_cursor = nullptr;
thread_local HWND t_capture = nullptr;

} // namespace

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    // A module has no cursor resources here; only the system's are known.
    if (instance)
        return nullptr;
    if (name == IDC_ARROW)
        return SystemCursorHandle(Arrow);
    if (name == IDC_HAND)
        return SystemCursorHandle(Hand);
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR before = t_cursor;
    t_cursor = cursor;
    return before;
}

HCURSOR GetCursor()
{
    return t_cursor;
}

HICON CopyIcon(HICON icon)
{
    return IsSystemCursor(icon) ? icon : nullptr;
}

BOOL DestroyCursor(HCURSOR)
{
    return FALSE;
}

HWND SetCapture(HWND window)
{
    HWND before = t_capture;
    t_capture = window;
    return before;
}

BOOL ReleaseCapture()
{
    t_capture = nullptr;
    return TRUE;
}

HWND GetCapture()
{
    return t_capture;
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    static const char kWindows[] = "C:\\WINDOWS";
    const UINT length = sizeof kWindows - 1;
    if (!buffer || size <= length)
        return length + 1;
    std::memcpy(buffer, kWindows, sizeof kWindows);
    return length;
}
