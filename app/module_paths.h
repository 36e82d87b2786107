// Where the module and the files beside it live: the module directory is the
// module's full path cut at its last backslash.
#pragma once
#include <windows.h>

#include <string>

// Full path of `module` with everything from the last backslash removed;
// empty when the path cannot be had or holds no backslash.
std::string ModuleDirectoryOf(HMODULE module);
// The full path of `module` ("Z:\...\gwell16.arx"), as the server
// registration names the module; empty when it cannot be had.
std::string ModulePathOf(HMODULE module);
