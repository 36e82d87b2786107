// Stand-in for htmlhelp.h: the HTML Help viewer's entry point, exported by
// hhctrl.ocx with ordinal 14 (HtmlHelpA). Callers load the library and find
// the entry by ordinal, so nothing links against it; the declaration gives
// the entry's type.
//
// The hhctrl.ocx of this platform (platform/htmlhelp/) shows a help file
// "NAME.chm" as the HTML page "NAME.html" beside it, the compiled help
// file's default topic: opened with xdg-open where there is a desktop
// (DISPLAY or WAYLAND_DISPLAY set and xdg-open on PATH), else its path is
// written on the host's command line. A missing page is reported on the
// command line in one line, as the viewer reports a file it cannot open.
#pragma once
#include "windef.h"

#define HH_DISPLAY_TOPIC 0x0000

extern "C" HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
