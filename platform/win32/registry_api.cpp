#include "winreg.h"

#include "leak_tally.h"

#include "registry_context.h"
#include "winerror.h"

#include <cstdio>
#include <cstring>
#include <optional>

struct RegistryApi {
    // Counts the call and answers with the planned failure, if any.
    static LSTATUS Injected(RegistryContext& registry, RegCall kind)
    {
        const int count = ++registry.callCounts_[static_cast<int>(kind)];
        for (auto it = registry.faults_.begin(); it != registry.faults_.end(); ++it) {
            if (it->kind == kind && it->atCall == count) {
                const LSTATUS error = it->error;
                registry.faults_.erase(it);
                return error;
            }
        }
        return ERROR_SUCCESS;
    }

    // The handle's state; predefined keys resolve to `scratch` with full access.
    static HKEY__* Resolve(RegistryContext& registry, HKEY key, HKEY__& scratch)
    {
        if (key == HKEY_CURRENT_USER) {
            scratch = HKEY__{&registry.userRoot_, KEY_ALL_ACCESS, true};
            return &scratch;
        }
        if (key == HKEY_CLASSES_ROOT) {
            scratch = HKEY__{&registry.classesRoot_, KEY_ALL_ACCESS, false};
            return &scratch;
        }
        auto found = registry.handles_.find(key);
        return found == registry.handles_.end() ? nullptr : found->second.get();
    }

    static HKEY NewHandle(RegistryContext& registry, RegNode* node, REGSAM access, bool userTree)
    {
        // No security here: every right asked for is granted.
        if (access & MAXIMUM_ALLOWED)
            access = KEY_ALL_ACCESS;
        auto handle = std::make_unique<HKEY__>(HKEY__{node, access, userTree});
        HKEY key = handle.get();
        registry.handles_.emplace(key, std::move(handle));
        AddToTally(Tally::RegistryKeys, 1);
        return key;
    }

    static bool CloseHandle(RegistryContext& registry, HKEY key)
    {
        if (registry.handles_.erase(key) != 1)
            return false;
        AddToTally(Tally::RegistryKeys, -1);
        return true;
    }

    // Writes the per-user tree back after a change.
    static LSTATUS Persist(RegistryContext& registry)
    {
        std::string error;
        if (registry.SaveLocked(error))
            return ERROR_SUCCESS;
        std::fprintf(stderr, "warning: registry store not saved: %s\n", error.c_str());
        return ERROR_REGISTRY_IO_FAILED;
    }

    static std::unique_lock<std::mutex> Lock(RegistryContext& registry)
    {
        return std::unique_lock<std::mutex>(registry.mutex_);
    }

    // What every call on a key does first, in the order Windows reports it:
    // no registry or an unknown handle is an invalid handle, and a planned
    // failure wins over the key's own state. The lock is held for the rest
    // of the call.
    struct KeyCall {
        KeyCall(HKEY hKey, RegCall kind)
            : registry(RegistryContext::Current())
        {
            if (!registry) {
                status = ERROR_INVALID_HANDLE;
                return;
            }
            guard = Lock(*registry);
            status = Injected(*registry, kind);
            if (status != ERROR_SUCCESS)
                return;
            key = Resolve(*registry, hKey, scratch);
            if (!key)
                status = ERROR_INVALID_HANDLE;
        }
        KeyCall(const KeyCall&) = delete;
        KeyCall& operator=(const KeyCall&) = delete;

        RegistryContext* registry;
        std::unique_lock<std::mutex> guard;
        HKEY__ scratch{}; // what a predefined key resolves to; `key` may point here
        HKEY__* key = nullptr;
        LSTATUS status = ERROR_SUCCESS;
    };
};

namespace {

bool HasLineBreak(const char* name) { return name && std::strpbrk(name, "\r\n") != nullptr; }

// Splits "A\B\C" into its names. A leading or doubled backslash is refused,
// as Windows refuses it; one trailing backslash is tolerated.
bool SplitKeyPath(LPCSTR subKey, std::vector<std::string>& names)
{
    names.clear();
    if (!subKey || !*subKey)
        return true;
    const std::string path = subKey;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end == start)
            return false;
        names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

std::string ValueName(LPCSTR name) { return name ? std::string(name) : std::string(); }

} // namespace

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    RegistryApi::KeyCall call(hKey, RegCall::Open);
    if (call.status != ERROR_SUCCESS)
        return call.status;
    HKEY__* parent = call.key;
    std::vector<std::string> names;
    if (!SplitKeyPath(lpSubKey, names))
        return ERROR_BAD_PATHNAME;
    RegNode* node = parent->node;
    for (const std::string& name : names) {
        node = node->Child(name);
        if (!node)
            return ERROR_FILE_NOT_FOUND;
    }
    *phkResult = RegistryApi::NewHandle(*call.registry, node, samDesired, parent->userTree);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                        const LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult || !lpSubKey)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    RegistryApi::KeyCall call(hKey, RegCall::Create);
    if (call.status != ERROR_SUCCESS)
        return call.status;
    HKEY__* parent = call.key;
    std::vector<std::string> names;
    if (!SplitKeyPath(lpSubKey, names))
        return ERROR_BAD_PATHNAME;
    if (HasLineBreak(lpSubKey))
        return ERROR_INVALID_PARAMETER;

    // The store refuses keys deeper than this when it is read back, so they
    // are not made either.
    size_t depth = names.size();
    for (const RegNode* up = parent->node; up->Parent(); up = up->Parent())
        ++depth;
    if (depth > kMaxRegistryKeyDepth)
        return ERROR_BAD_PATHNAME;

    RegNode* node = parent->node;
    RegNode* firstCreated = nullptr;
    for (const std::string& name : names) {
        RegNode* child = node->Child(name);
        if (!child) {
            if (!firstCreated && !(parent->access & KEY_CREATE_SUB_KEY))
                return ERROR_ACCESS_DENIED;
            bool created = false;
            child = node->AddChild(name, created);
            if (!firstCreated)
                firstCreated = child;
        }
        node = child;
    }
    if (firstCreated && parent->userTree) {
        if (LSTATUS saved = RegistryApi::Persist(*call.registry)) {
            // A failed call changes nothing.
            firstCreated->Parent()->RemoveChild(firstCreated->Name());
            return saved;
        }
    }
    *phkResult = RegistryApi::NewHandle(*call.registry, node, samDesired, parent->userTree);
    if (lpdwDisposition)
        *lpdwDisposition = firstCreated ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    RegistryApi::KeyCall call(hKey, RegCall::Query);
    if (call.status != ERROR_SUCCESS)
        return call.status;
    HKEY__* key = call.key;
    if (!(key->access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    const RegValue* value = key->node->Value(ValueName(lpValueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (lpType)
        *lpType = value->type;
    if (!lpcbData)
        return ERROR_SUCCESS;
    const DWORD size = static_cast<DWORD>(value->data.size());
    if (lpData) {
        if (size > *lpcbData) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size > 0)
            std::memcpy(lpData, value->data.data(), size);
    }
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    RegistryApi::KeyCall call(hKey, RegCall::Set);
    if (call.status != ERROR_SUCCESS)
        return call.status;
    HKEY__* key = call.key;
    if (!(key->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if (HasLineBreak(lpValueName))
        return ERROR_INVALID_PARAMETER;
    if (!lpData && cbData > 0)
        return ERROR_NOACCESS;
    const std::string name = ValueName(lpValueName);
    std::optional<RegValue> previous;
    if (const RegValue* existing = key->node->Value(name))
        previous = *existing;
    key->node->SetValue(name, dwType, std::vector<BYTE>(lpData, lpData + cbData));
    if (key->userTree) {
        if (LSTATUS saved = RegistryApi::Persist(*call.registry)) {
            // A failed call changes nothing.
            if (previous)
                key->node->SetValue(name, previous->type, std::move(previous->data));
            else
                key->node->RemoveValue(name);
            return saved;
        }
    }
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey)
{
    RegistryContext* registry = RegistryContext::Current();
    if (!registry)
        return ERROR_INVALID_HANDLE;
    auto guard = RegistryApi::Lock(*registry);
    const LSTATUS injected = RegistryApi::Injected(*registry, RegCall::Close);
    if (hKey == HKEY_CURRENT_USER || hKey == HKEY_CLASSES_ROOT)
        return injected;
    // An injected failure still releases the handle: the caller cannot do
    // anything with it afterwards, and the leak check should not blame it.
    if (!RegistryApi::CloseHandle(*registry, hKey))
        return injected ? injected : ERROR_INVALID_HANDLE;
    return injected;
}
