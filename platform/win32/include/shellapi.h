// Stand-in for shellapi.h: ShellExecuteA, the shell's "open a document or a
// link" call, with its old-style result: a value above 32 (an HINSTANCE that
// is no module; current Windows answers 42) on success, else one of the codes
// below.
//
// Here the shell's file associations are the desktop's: a URL (a scheme of
// two or more letters and a colon, "https:", "mailto:") or an existing file is
// handed to xdg-open, started without a shell and not waited for, so the
// caller never blocks on the viewer. Without xdg-open on PATH nothing is
// associated (SE_ERR_NOASSOC). A missing file gives ERROR_FILE_NOT_FOUND, a
// missing folder ERROR_PATH_NOT_FOUND, as on Windows.
//
// Simplifications: only the "open" verb (and the null default verb); others
// have no association here. Parameters and the working folder are passed on
// only to a program started by its path; the show mode is recorded, not used.
// A host or test installs a launcher (shell.h of the control face) to record
// the calls or fail them with any code; tests never start a real viewer.
#pragma once
#include "windef.h"

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_DLLNOTFOUND 32
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31

HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT showCommand);
