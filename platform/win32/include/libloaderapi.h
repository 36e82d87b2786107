// Stand-in for libloaderapi.h, the Windows module loader (LoadLibraryA,
// FreeLibrary, GetProcAddress, GetModuleFileNameA); LoadStringA is in winuser.h.
//
// Modules are ELF shared objects opened with dlopen. As on Windows, loading a
// module calls its exported DllMain with DLL_PROCESS_ATTACH; a FALSE answer
// unloads it again and LoadLibraryA fails with ERROR_DLL_INIT_FAILED.
// FreeLibrary calls DllMain with DLL_PROCESS_DETACH before the last unload.
// A resource module exports its string table (see res/) instead of code.
//
// A bare file name is looked for in the program's folder, then in the working
// folder (no system folder or PATH search beyond that).
// Simplifications: no reference counting across distinct paths naming one
// file; no LoadLibraryEx flags; string resources only (dialog templates and
// menus are read by the dialog framework stand-in from the same table).
#pragma once
#include "windef.h"

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

using FARPROC = void (*)();

HMODULE LoadLibraryA(LPCSTR fileName);
BOOL FreeLibrary(HMODULE module);
// `procName` is an export's name or, as MAKEINTRESOURCEA(n), its ordinal.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
// The full path in the module's view (see dos_path.h). A null module names the
// executable. Returns the length copied; 0 and ERROR_INSUFFICIENT_BUFFER (text
// cut and terminated, as on XP) when the buffer is too small.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
