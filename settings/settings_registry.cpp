#include "settings/settings_registry.h"

#include "common/handles.h"
#include "settings/settings_fields.h"

#include <windows.h>

namespace {

const char kExportKey[] = "SOFTWARE\\Norvale\\Gridwell\\Settings\\Export";
const char kImportKey[] = "SOFTWARE\\Norvale\\Gridwell\\Settings\\Import";

// Older versions stored the three coordinate switches as one value; it is
// still honoured when read, and the single switches read after it win.
const char kCoordsValue[] = "Coords";

// Every value is read into a 4-byte buffer whatever its type: a longer value
// fails with ERROR_MORE_DATA and is ignored; a shorter one counts with its
// missing high bytes as zero.
bool QueryNumber(HKEY key, LPCSTR name, int& number)
{
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, data, &size) != ERROR_SUCCESS)
        return false;
    const DWORD value = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8
        | static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
    number = static_cast<int>(value);
    return true;
}

void ReadField(HKEY key, const SettingsField& field, Settings& settings)
{
    int number = 0;
    if (QueryNumber(key, field.name, number))
        field.Set(settings, number);
}

bool OpenKey(UniqueRegistryKey& key, LPCSTR path, REGSAM access)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &opened) != ERROR_SUCCESS)
        return false;
    key.adopt(opened);
    return true;
}

bool OpenForWriting(UniqueRegistryKey& key, LPCSTR path)
{
    if (OpenKey(key, path, KEY_WRITE))
        return true;
    HKEY created = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                        &created, &disposition)
        != ERROR_SUCCESS)
        return false;
    key.adopt(created);
    return true;
}

bool WriteFields(HKEY key, std::span<const SettingsField> fields, const Settings& settings)
{
    for (const SettingsField& field : fields) {
        const DWORD value = static_cast<DWORD>(field.Get(settings));
        const BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                              static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
        if (RegSetValueExA(key, field.name, 0, REG_DWORD, data, sizeof data) != ERROR_SUCCESS)
            return false;
    }
    return true;
}

bool WriteGroup(LPCSTR path, std::span<const SettingsField> fields, const Settings& settings)
{
    UniqueRegistryKey key;
    if (!OpenForWriting(key, path))
        return false;
    if (!WriteFields(key.get(), fields, settings))
        return false;
    return key.close() == ERROR_SUCCESS;
}

} // namespace

void LoadSettings(Settings& settings)
{
    SetDefaults(settings);

    UniqueRegistryKey exportKey;
    if (!OpenKey(exportKey, kExportKey, KEY_READ))
        return;
    for (const SettingsField& field : ExportFields()) {
        if (field.flag == &Settings::XCoord) {
            int coords = 0;
            if (QueryNumber(exportKey.get(), kCoordsValue, coords))
                settings.XCoord = settings.YCoord = settings.ZCoord = coords != 0;
        }
        ReadField(exportKey.get(), field, settings);
    }
    if (exportKey.close() != ERROR_SUCCESS)
        return;

    UniqueRegistryKey importKey;
    if (!OpenKey(importKey, kImportKey, KEY_READ))
        return;
    for (const SettingsField& field : ImportFields())
        ReadField(importKey.get(), field, settings);
    importKey.close();
}

bool SaveSettings(const Settings& settings)
{
    return WriteGroup(kExportKey, ExportFields(), settings) && WriteGroup(kImportKey, ImportFields(), settings);
}
