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
