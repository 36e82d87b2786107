// Stand-in for winver.h: a module's version resource (VERSIONINFO in the
// resource script), read with GetFileVersionInfoSizeA, GetFileVersionInfoA
// and VerQueryValueA.
//
// The build compiles the script's VERSIONINFO block into the module
// (tools/rc2cpp.cmake); these functions open the file as a data file (the
// loader's DllMain is not called) and copy the block out. As on Windows the
// block is opaque: only VerQueryValueA reads it, with the paths "\" (the fixed
// information), "\StringFileInfo\<block>\<name>" (a text, its length in
// characters with the terminator) and "\VarFileInfo\Translation" (language
// and code-page pairs, their length in bytes). Names compare case-insensitively.
//
// Simplifications: the block's layout is this stand-in's own, not the
// resource compiler's binary one; a module that is not loaded yet is opened
// with dlopen, which runs its static constructors (no module here has any
// that matter). Errors: a missing file ERROR_FILE_NOT_FOUND, a file that is
// no module ERROR_BAD_FORMAT, a module without the resource
// ERROR_RESOURCE_TYPE_NOT_FOUND.
#pragma once
#include "windef.h"

#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u
#define VS_FF_DEBUG 0x00000001u
#define VFT_DLL 0x00000002u
#define VS_VERSION_INFO 1

struct tagVS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
using VS_FIXEDFILEINFO = tagVS_FIXEDFILEINFO;

// The size of the file's version information, 0 with the last error set
// when it has none. `handle` is set to 0 (unused, as on Windows).
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle);
// Copies the version information into `data` (at most `length` bytes).
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD length, LPVOID data);
// Points `buffer` into `block` at the value `subBlock` names; FALSE when the
// block has no such value.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length);
