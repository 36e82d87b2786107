// Stand-in for the thread message queue of winuser.h: PostThreadMessageA,
// PostMessageA, PeekMessageA, GetMessageA, DispatchMessageA,
// PostQuitMessage, and message-only windows whose procedure DispatchMessageA
// calls.
//
// As on Windows, a thread has a queue once it has called a message function
// (PeekMessageA, GetMessageA) or created a window; posting to a thread
// without one fails with ERROR_INVALID_THREAD_ID, and a window's messages go
// to the queue of the thread that created it. The queue ends with its thread.
// Simplifications: no input or sent messages, no class registration; the
// only windows are message-only ones (CreateMessageWindow).
#pragma once
#include "wintypes.h"

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

// A message-only window (as CreateWindowEx with HWND_MESSAGE would make),
// owned by the calling thread; its messages are dispatched to `procedure`.
HWND CreateMessageWindow(WNDPROC procedure);
BOOL DestroyWindow(HWND window);
