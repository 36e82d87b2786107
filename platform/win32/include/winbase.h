// Stand-in for the private-profile (initialisation file) functions of
// kernel32 that the module calls: one value of one section at a time.
//
// Windows' rules: section and key names compare case-insensitively; blanks
// around names and values are ignored; one pair of matching quotes (" or ')
// around a value is removed on reading; lines starting with ';' are comments;
// the first of duplicate sections or keys is the one read. A missing file
// reads as empty. A write creates the file (not its folder), appends a missing
// section at the end and a missing key after its section's last entry, and
// rewrites the file with CR LF line ends.
//
// Simplifications: no profile cache, no registry mapping (IniFileMapping), no
// Windows directory: a bare file name is relative to the working directory.
// Null section or key names (the enumeration forms) and deleting through a
// null value are not supported: they fail with ERROR_INVALID_PARAMETER.
// Names compare case-insensitively for ASCII letters only.
#pragma once
#include "windef.h"

// Copies the value (or lpDefault, without its trailing blanks, when the key is
// missing) into lpReturnedString, cut to nSize-1 characters; returns the
// number of characters copied. Paths may be DOS paths (see dos_path.h).
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);
