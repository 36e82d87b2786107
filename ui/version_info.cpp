#include "ui/version_info.h"

#include <winver.h>

#include <cstdio>
#include <memory>
#include <new>

namespace {

std::string FormatVersion(DWORD mostSignificant, DWORD leastSignificant)
{
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(mostSignificant), LOWORD(mostSignificant),
                  HIWORD(leastSignificant), LOWORD(leastSignificant));
    return text;
}

} // namespace

CVersionInfo::CVersionInfo(LPCSTR fileName, LPCSTR blockName, LPCSTR valueName)
{
    Read(fileName, blockName, valueName);
}

CVersionInfo::CVersionInfo(HMODULE module, LPCSTR blockName, LPCSTR valueName)
{
    char fileName[MAX_PATH];
    if (GetModuleFileNameA(module, fileName, MAX_PATH) == 0)
        return;
    Read(fileName, blockName, valueName);
}

void CVersionInfo::Read(LPCSTR fileName, LPCSTR blockName, LPCSTR valueName)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0)
        return;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block || !GetFileVersionInfoA(fileName, handle, size, block.get()))
        return;
    LPVOID value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.get(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        m_fileVersion = FormatVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        m_productVersion = FormatVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }
    if (blockName || valueName) {
        const std::string path = std::string("\\StringFileInfo\\") + (blockName ? blockName : "") + "\\"
            + (valueName ? valueName : "");
        if (VerQueryValueA(block.get(), path.c_str(), &value, &length) && length > 0)
            m_stringValue = static_cast<const char*>(value);
    }
}
