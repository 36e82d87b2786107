// CVersionInfo: what a module's version resource says, read once when the
// object is made: the file and product versions as "a.b.c.d", and one text
// of the resource's string table when its block and name are given. An
// unreadable resource leaves the texts empty; nothing is reported.
#pragma once
#include <windows.h>

#include <string>

class CVersionInfo {
public:
    // The version resource of the file `fileName`.
    explicit CVersionInfo(LPCSTR fileName, LPCSTR blockName = nullptr, LPCSTR valueName = nullptr);
    // The version resource of the loaded module `module` (its file name, at
    // most MAX_PATH characters).
    explicit CVersionInfo(HMODULE module, LPCSTR blockName = nullptr, LPCSTR valueName = nullptr);

    const std::string& StringValue() const { return m_stringValue; }
    const std::string& FileVersion() const { return m_fileVersion; }
    const std::string& ProductVersion() const { return m_productVersion; }

private:
    void Read(LPCSTR fileName, LPCSTR blockName, LPCSTR valueName);

    std::string m_stringValue;
    std::string m_fileVersion;
    std::string m_productVersion;
};
