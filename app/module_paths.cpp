#include "app/module_paths.h"

namespace {

bool ModulePath(HMODULE module, std::string& path, std::size_t& lastBackslash)
{
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, buffer, MAX_PATH);
    if (length == 0)
        return false;
    path.assign(buffer, length < MAX_PATH ? length : MAX_PATH - 1);
    lastBackslash = path.rfind('\\');
    return lastBackslash != std::string::npos;
}

} // namespace

std::string ModuleDirectoryOf(HMODULE module)
{
    std::string path;
    std::size_t cut = 0;
    return ModulePath(module, path, cut) ? path.substr(0, cut) : std::string();
}

std::string ModuleFileNameOf(HMODULE module)
{
    std::string path;
    std::size_t cut = 0;
    return ModulePath(module, path, cut) ? path.substr(cut) : std::string();
}

std::string FileBesideModule(HMODULE module, const char* fileName)
{
    std::string directory = ModuleDirectoryOf(module);
    return directory.empty() ? std::string() : directory + "\\" + fileName;
}
