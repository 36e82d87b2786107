// Stand-in for winuser.h: message boxes, thread timers, string resources and
// the thread message queue (PostThreadMessageA, PostMessageA, PeekMessageA,
// GetMessageA, DispatchMessageA, PostQuitMessage, DestroyWindow).
//
// As on Windows, a thread has a queue once it has called a message function
// (PeekMessageA, GetMessageA) or created a window; posting to a thread
// without one fails with ERROR_INVALID_THREAD_ID, and a window's messages go
// to the queue of the thread that created it. The queue ends with its thread.
// Simplifications: no input or sent messages, no class registration; the
// only windows are message-only ones, which the other stand-ins make
// (message_windows.h of the control face).
//
// There is no screen: MessageBoxA hands the box to the driver the host
// program installs (message_box.h of the control face); without one the box
// is written to standard error and answered with its default button.
// A timer set without a window fires only when the thread that set it runs
// its message loop, as on Windows: the host program dispatches due timers
// from its main loop (timers.h of the control face).
#pragma once
#include "windef.h"

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0u
#define MB_DEFBUTTON1 0x00000000u
#define MB_DEFBUTTON2 0x00000100u

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
#define WM_TIMER 0x0113

// With no window the id argument is ignored and a new nonzero id returned;
// 0 on failure (no callback).
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMilliseconds, TIMERPROC callback);
BOOL KillTimer(HWND window, UINT_PTR id);

// Copies string resource `id` into the buffer, cut to size-1 characters;
// returns the number of characters copied, 0 when there is no such string.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);

struct tagPOINT {
    LONG x;
    LONG y;
};
using POINT = tagPOINT;

struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using MSG = tagMSG;
using LPMSG = MSG*;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#define WM_NULL 0x0000
#define WM_QUIT 0x0012
#define WM_USER 0x0400
#define WM_APP 0x8000
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define ERROR_INVALID_THREAD_ID 1444L
#define ERROR_INVALID_WINDOW_HANDLE 1400L

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// With `window` set, only that window's messages; with a range other than
// 0..0, only messages in it.
BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until a message comes; 0 for WM_QUIT, -1 on a bad argument.
BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
// Calls the procedure of the message's window; thread messages (no window)
// go nowhere, as on Windows.
LRESULT DispatchMessageA(const MSG* message);
void PostQuitMessage(int exitCode);
BOOL DestroyWindow(HWND window);

// Windows, dialogs and menus. There is no screen: the framework stand-in
// (afxwin.h) builds dialogs from the resource module's templates and hands
// them to the dialog driver of its control face; these are the constants and
// the few calls of the Windows API that code around dialogs uses.
struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using RECT = tagRECT;
struct tagSIZE {
    LONG cx;
    LONG cy;
};
using SIZE = tagSIZE;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;

// The header of every WM_NOTIFY message: who sends which notification.
struct tagNMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
using NMHDR = tagNMHDR;
using LPNMHDR = NMHDR*;

#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_NOTIFY 0x004E
#define WM_KEYDOWN 0x0100
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
// F1 in a dialog: the dialog manager sends WM_HELP with a HELPINFO.
#define WM_HELP 0x0053
#define HELPINFO_WINDOW 0x0001
struct HELPINFO {
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    HANDLE hItemHandle;
    DWORD_PTR dwContextId;
    POINT MousePos;
};
using LPHELPINFO = HELPINFO*;

#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(static_cast<WORD>(l) | (static_cast<DWORD>(static_cast<WORD>(h)) << 16))))

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_EX_CLIENTEDGE 0x00000200L
#define DS_MODALFRAME 0x80L
#define DS_SETFONT 0x40L
#define DS_CENTER 0x0800L
#define DS_SHELLFONT (DS_SETFONT | 0x0048L)

// Buttons: styles (the low four bits are the kind), messages, notifications.
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_3STATE 0x00000005L
#define BS_AUTO3STATE 0x00000006L
#define BS_GROUPBOX 0x00000007L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_OWNERDRAW 0x0000000BL
#define BS_TYPEMASK 0x0000000FL
#define BN_CLICKED 0
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002

// Edit boxes and static texts.
#define ES_LEFT 0x0000L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NUMBER 0x2000L
#define EN_CHANGE 0x0300
#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_NOTIFY 0x00000100L
#define SS_CENTERIMAGE 0x00000200L
// Owner drawing: the parent of an owner-draw control gets WM_DRAWITEM with
// what to draw, and reflects it to the control.
#define WM_DRAWITEM 0x002B
#define ODT_BUTTON 4
#define ODA_DRAWENTIRE 0x0001
#define ODS_SELECTED 0x0001
#define ODS_DISABLED 0x0004
#define ODS_FOCUS 0x0010
#define DFC_BUTTON 4
#define DFCS_BUTTONPUSH 0x0010
#define DFCS_PUSHED 0x0200
#define DT_SINGLELINE 0x00000020
#define PS_SOLID 0
struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

// A static text asks its parent for its colours with WM_CTLCOLORSTATIC
// (wParam: the device context, lParam: the control); the answer is a brush.
#define WM_CTLCOLORSTATIC 0x0138
#define CTLCOLOR_STATIC 6
#define TRANSPARENT 1
#define OPAQUE 2
#define HOLLOW_BRUSH 5
HGDIOBJ GetStockObject(int object);

// A click on a static text with SS_NOTIFY.
#define STN_CLICKED 0

// System colours (GetSysColor).
#define COLOR_HIGHLIGHT 13
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
DWORD GetSysColor(int index);

// ShowWindow.
#define SW_HIDE 0

// Menus.
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define TPM_LEFTALIGN 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

// The stand-in has no pointer: the cursor rests at the origin.
BOOL GetCursorPos(LPPOINT point);
// Show modes of ShellExecuteA and WinExec.
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

// Plays the sound of a message-box type (MB_ICONEXCLAMATION, ...; 0xFFFFFFFF
// the simple beep). There is no speaker: the beep is recorded (shell.h of the
// control face) for the host and tests to see.
BOOL MessageBeep(UINT type);

// A resource or export named by number: the number as a pointer value
// below 64 Ki.
#ifndef MAKEINTRESOURCEA
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#endif

// Cursors. The system cursors (IDC_ARROW, IDC_HAND) are handles that stand
// for themselves and are never destroyed; a module holds no cursor resources
// here (string tables only), so LoadCursorA with a module finds none and
// fails. There is no pointer to show a cursor on: SetCursor keeps the cursor
// the thread asked for, GetCursor reads it back (null until one is set).
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_HAND MAKEINTRESOURCEA(32649)
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor); // the cursor before
HCURSOR GetCursor();
// A copy of a system cursor is the system cursor itself.
HICON CopyIcon(HICON icon);
#define CopyCursor(cursor) (static_cast<HCURSOR>(CopyIcon(static_cast<HICON>(cursor))))
// FALSE for a system cursor, which nobody may destroy.
BOOL DestroyCursor(HCURSOR cursor);

// Mouse capture: while a window of the thread holds it, that window gets the
// mouse messages even with the pointer outside it. Destroying the window
// releases it.
HWND SetCapture(HWND window); // the window that held it before
BOOL ReleaseCapture();
HWND GetCapture();

#define WM_SETCURSOR 0x0020
#define WM_MOUSEMOVE 0x0200
#define HTCLIENT 1
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(l) | (static_cast<DWORD>(static_cast<WORD>(h)) << 16))))

// SetWindowPos.
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004

// Menus: a menu bar or pop-up is a list of items, each a text (empty for an
// untitled item such as a maximised document window's icon) with a command
// id or a pop-up. Windows' rules: positions count from 0; GetMenuStringA
// copies at most max-1 characters and returns the number copied, 0 for an
// item without text or one that does not exist.
#define MF_STRING 0x00000000u
#define MF_POPUP 0x00000010u
#define MF_BYCOMMAND 0x00000000u
#define MF_BYPOSITION 0x00000400u
#define MF_SEPARATOR 0x00000800u

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and the pop-ups it holds.
BOOL DestroyMenu(HMENU menu);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
// The window's menu bar (null when it has none).
HMENU GetMenu(HWND window);
// Gives the window `menu` as its menu bar; the one it had is not destroyed.
BOOL SetMenu(HWND window, HMENU menu);
// -1 with ERROR_INVALID_MENU_HANDLE for a menu that is none.
int GetMenuItemCount(HMENU menu);
int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int max, UINT flags);
HMENU GetSubMenu(HMENU menu, int position);
