// Host control of the module loader (libloaderapi.h): the entry point's type
// as the loader calls it, fault injection and the count of loaded modules.
#pragma once
#include <libloaderapi.h>
#include <winuser.h>

#include <string>

using DllMainProc = BOOL (*)(HINSTANCE, DWORD, LPVOID);

// Fault injection for tests: the next `count` LoadLibraryA calls whose path
// ends in `fileNameSuffix` fail with ERROR_MOD_NOT_FOUND.
void LoaderFailLoadsOf(const char* fileNameSuffix, int count);
// The next `count` GetProcAddress calls on a module whose path ends in
// `fileNameSuffix` fail with ERROR_PROC_NOT_FOUND, as for a module that lacks
// the export.
void LoaderFailProcAddressOf(const char* fileNameSuffix, int count);
// Number of modules currently loaded through LoadLibraryA.
int LoaderOpenModuleCount();
// The folder of the running program as a Unix path ("." when the system does
// not say), where the host and the benchmarks find the module beside them.
std::string LoaderExecutableDirectory();
