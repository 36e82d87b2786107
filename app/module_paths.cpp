#include "app/module_paths.h"

std::string ModulePathOf(HMODULE module)
{
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, buffer, MAX_PATH);
    if (length == 0)
        return std::string();
    return std::string(buffer, length < MAX_PATH ? length : MAX_PATH - 1);
}

std::string ModuleDirectoryOf(HMODULE module)
{
    const std::string path = ModulePathOf(module);
    const std::size_t lastBackslash = path.rfind('\\');
    return lastBackslash == std::string::npos ? std::string() : path.substr(0, lastBackslash);
}
