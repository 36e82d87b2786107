// Stand-in for winbase.h: the private-profile (initialisation file) functions of
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

// Stand-in for FormatMessageA with FORMAT_MESSAGE_FROM_SYSTEM and for the
// local heap it allocates from (LocalAlloc, LocalFree).
//
// The system message table holds Windows' English texts, each ending in CR LF
// as the real table does, for the codes the module and the stand-ins raise.
// An HRESULT of facility Win32 (0x8007xxxx) finds the text of its Win32 code.
//
// Simplifications: FROM_SYSTEM only (no FROM_STRING or FROM_HMODULE), inserts
// are never expanded (as with FORMAT_MESSAGE_IGNORE_INSERTS), one language.
#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_STRING 0x00000400
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FF

#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))


using HLOCAL = void*;
#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040

HLOCAL LocalAlloc(UINT flags, std::size_t bytes);
HLOCAL LocalFree(HLOCAL memory);

// Returns the number of characters stored (without the terminator), 0 with
// the last error ERROR_MR_MID_NOT_FOUND when the table has no text for the
// code, ERROR_INSUFFICIENT_BUFFER when the text does not fit. With
// FORMAT_MESSAGE_ALLOCATE_BUFFER, `buffer` is really a char** that receives
// a LocalAlloc'd copy.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                     DWORD size, void* arguments);

// Starts a program from a command line (the program's path first, quoted
// when it holds blanks), without waiting for it. Returns a value above 31 on
// success, else ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND or ERROR_BAD_FORMAT
// (a file that cannot be run). The launcher of shell.h (control face) sees
// these calls as it sees ShellExecuteA's.
UINT WinExec(LPCSTR commandLine, UINT showCommand);

// The Windows directory, as the module sees paths (a DOS path): "C:\\WINDOWS".
// Returns the length copied; with a buffer too small, the size needed
// (terminator included) and nothing copied.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
