#include "app/module_paths.h"

std::string ModuleDirectoryOf(HMODULE module)
{
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, buffer, MAX_PATH);
    if (length == 0)
        return std::string();
    const std::string path(buffer, length < MAX_PATH ? length : MAX_PATH - 1);
    const std::size_t lastBackslash = path.rfind('\\');
    return lastBackslash == std::string::npos ? std::string() : path.substr(0, lastBackslash);
}
