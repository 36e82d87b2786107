// What a hyperlink does when it is clicked, apart from its window: the URL
// opened with the shell, falling back to the command the classes root
// gives for ".htm" files; on failure the beep and the message naming why.
// The About page's hyperlink control calls FollowHyperlink.
#pragma once
#include <windows.h>

#include <string>

// The shell's answer for opening `url` (above 32 when it opened): the "open"
// verb first, then the ".htm" handler's command line with the URL.
HINSTANCE GotoURL(LPCSTR url, int showCommand);
// Why a link did not open, for the shell's answer `result`.
std::string HyperlinkErrorText(INT_PTR result);
// Opens `url`, shown normally; when it does not open, sounds the
// exclamation beep and shows "Unable to open hyperlink:" with the reason.
// True when it opened (the link then counts as visited).
bool FollowHyperlink(LPCSTR url);
