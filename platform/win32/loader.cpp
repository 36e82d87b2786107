#include "loader.h"
#include "loader_symbols.h"

#include "dos_path.h"
#include "export_ordinals.h"
#include "errhandlingapi.h"
#include "resource_table.h"
#include "winerror.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>

struct HINSTANCE__ {
    void* dl = nullptr;
    std::string unixPath;
    int refs = 1;
    // The module's string table, looked up once at load: LoadStringA runs for
    // every resource text a job shows or writes, and a symbol lookup per call
    // cost more than the string itself. Null when the module has none.
    const GwResourceString* strings = nullptr;
    int stringCount = 0;
};

namespace {

struct LoaderState {
    std::mutex lock;
    std::map<std::string, std::unique_ptr<HINSTANCE__>> byPath;
    std::string failSuffix;
    int failCount = 0;
    std::string failProcSuffix;
    int failProcCount = 0;
};

LoaderState& State()
{
    static LoaderState state;
    return state;
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string AbsolutePath(const std::string& path)
{
    if (!path.empty() && path.front() == '/')
        return path;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

// The running program's own file, as the kernel names it.
bool ExecutablePath(std::string& path)
{
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0)
        return false;
    path.assign(exe, static_cast<size_t>(length));
    return true;
}

// A bare file name ("hhctrl.ocx") is looked for as Windows looks for it:
// in the program's own folder first (where this platform keeps its system
// modules too), then in the working folder.
std::string SearchPath(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return AbsolutePath(name);
    std::string executable;
    if (ExecutablePath(executable)) {
        const std::string besideProgram = executable.substr(0, executable.rfind('/') + 1) + name;
        if (access(besideProgram.c_str(), F_OK) == 0)
            return besideProgram;
    }
    return AbsolutePath(name);
}

} // namespace

HMODULE LoadLibraryA(LPCSTR fileName)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string path = SearchPath(UnixPathFromDos(fileName));
    LoaderState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.failCount > 0 && EndsWith(path, state.failSuffix)) {
            --state.failCount;
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        auto found = state.byPath.find(path);
        if (found != state.byPath.end()) {
            ++found->second->refs;
            return found->second.get();
        }
    }
    void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    auto instance = std::make_unique<HINSTANCE__>();
    instance->dl = dl;
    instance->unixPath = path;
    auto strings = static_cast<const GwResourceString*>(dlsym(dl, GW_RESOURCE_STRINGS_SYMBOL));
    auto count = static_cast<const int*>(dlsym(dl, GW_RESOURCE_STRING_COUNT_SYMBOL));
    if (strings && count) {
        instance->strings = strings;
        instance->stringCount = *count;
    }
    HINSTANCE handle = instance.get();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.byPath.emplace(path, std::move(instance));
    }
    // DllMain runs without the loader lock held here, so that it may load
    // further modules (the resource module) itself.
    if (auto dllMain = reinterpret_cast<DllMainProc>(dlsym(dl, "DllMain"))) {
        if (!dllMain(handle, DLL_PROCESS_ATTACH, nullptr)) {
            {
                std::lock_guard<std::mutex> guard(state.lock);
                state.byPath.erase(path);
            }
            dlclose(dl);
            SetLastError(ERROR_DLL_INIT_FAILED);
            return nullptr;
        }
    }
    return handle;
}

BOOL FreeLibrary(HMODULE module)
{
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    LoaderState& state = State();
    std::unique_ptr<HINSTANCE__> owned;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        auto found = state.byPath.find(module->unixPath);
        if (found == state.byPath.end() || found->second.get() != module) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (--module->refs > 0)
            return TRUE;
        owned = std::move(found->second);
        state.byPath.erase(found);
    }
    if (auto dllMain = reinterpret_cast<DllMainProc>(dlsym(owned->dl, "DllMain")))
        dllMain(owned.get(), DLL_PROCESS_DETACH, nullptr);
    dlclose(owned->dl);
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
    if (!module || !procName) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    {
        LoaderState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.failProcCount > 0 && EndsWith(module->unixPath, state.failProcSuffix)) {
            --state.failProcCount;
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
    }
    std::string name;
    // A pointer value below 64 Ki is an ordinal (MAKEINTRESOURCEA), not a name.
    if (reinterpret_cast<std::uintptr_t>(procName) >> 16 == 0) {
        const auto ordinal = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(procName));
        auto table = static_cast<const GwOrdinalExport*>(dlsym(module->dl, GW_ORDINAL_EXPORTS_SYMBOL));
        auto count = static_cast<const int*>(dlsym(module->dl, GW_ORDINAL_EXPORT_COUNT_SYMBOL));
        for (int i = 0; table && count && i < *count; ++i)
            if (table[i].ordinal == ordinal)
                name = table[i].name;
        if (name.empty()) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        procName = name.c_str();
    }
    void* symbol = dlsym(module->dl, procName);
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    std::string unixPath;
    if (module) {
        unixPath = module->unixPath;
    } else {
        if (!ExecutablePath(unixPath)) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
    }
    const std::string dos = DosPathFromUnix(unixPath);
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (dos.size() >= size) {
        std::memcpy(fileName, dos.data(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(fileName, dos.c_str(), dos.size() + 1);
    return static_cast<DWORD>(dos.size());
}

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax)
{
    if (!instance || !buffer || bufferMax <= 0)
        return 0;
    // The table is emitted sorted by id.
    const GwResourceString* end = instance->strings + instance->stringCount;
    const GwResourceString* found = std::lower_bound(
        instance->strings, end, id, [](const GwResourceString& entry, UINT key) { return entry.id < key; });
    if (found == end || found->id != id) {
        buffer[0] = '\0';
        return 0;
    }
    // Only as much of the text as fits is measured.
    const size_t length = strnlen(found->text, static_cast<size_t>(bufferMax - 1));
    std::memcpy(buffer, found->text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

void LoaderFailLoadsOf(const char* fileNameSuffix, int count)
{
    LoaderState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.failSuffix = fileNameSuffix ? fileNameSuffix : "";
    state.failCount = count;
}

std::string LoaderExecutableDirectory()
{
    std::string path;
    if (!ExecutablePath(path))
        return ".";
    return path.substr(0, path.rfind('/'));
}

void LoaderFailProcAddressOf(const char* fileNameSuffix, int count)
{
    LoaderState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.failProcSuffix = fileNameSuffix ? fileNameSuffix : "";
    state.failProcCount = count;
}

int LoaderOpenModuleCount()
{
    LoaderState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return static_cast<int>(state.byPath.size());
}

const void* LoaderFindData(HINSTANCE instance, const char* symbol)
{
    if (!instance || !instance->dl || !symbol)
        return nullptr;
    return dlsym(instance->dl, symbol);
}
