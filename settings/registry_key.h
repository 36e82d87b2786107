// An open registry key that closes itself when it goes out of scope, so that
// every early return of the settings code leaves no key open. Close() is
// there for the callers that must know whether closing worked.
#pragma once
#include <windows.h>

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    LSTATUS Open(HKEY parent, LPCSTR subKey, REGSAM access)
    {
        HKEY key = nullptr;
        const LSTATUS status = RegOpenKeyExA(parent, subKey, 0, access, &key);
        if (status == ERROR_SUCCESS)
            Reset(key);
        return status;
    }

    LSTATUS Create(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access)
    {
        HKEY key = nullptr;
        DWORD disposition = 0;
        const LSTATUS status =
            RegCreateKeyExA(parent, subKey, 0, nullptr, options, access, nullptr, &key, &disposition);
        if (status == ERROR_SUCCESS)
            Reset(key);
        return status;
    }

    LSTATUS Close()
    {
        HKEY key = key_;
        key_ = nullptr;
        return key ? RegCloseKey(key) : static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }

    HKEY Get() const { return key_; }

private:
    void Reset(HKEY key)
    {
        if (key_)
            RegCloseKey(key_);
        key_ = key;
    }

    HKEY key_ = nullptr;
};
