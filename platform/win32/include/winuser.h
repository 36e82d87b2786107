// Stand-in for winuser.h: message boxes, thread timers and string resources.
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
