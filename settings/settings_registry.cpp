#include "settings/settings_registry.h"

#include "settings/registry_key.h"
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

bool OpenForWriting(RegistryKey& key, LPCSTR path)
{
    if (key.Open(HKEY_CURRENT_USER, path, KEY_WRITE) == ERROR_SUCCESS)
        return true;
    return key.Create(HKEY_CURRENT_USER, path, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
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
    RegistryKey key;
    if (!OpenForWriting(key, path))
        return false;
    if (!WriteFields(key.Get(), fields, settings))
        return false;
    return key.Close() == ERROR_SUCCESS;
}

} // namespace

void LoadSettings(Settings& settings)
{
    SetDefaults(settings);

    RegistryKey exportKey;
    if (exportKey.Open(HKEY_CURRENT_USER, kExportKey, KEY_READ) != ERROR_SUCCESS)
        return;
    for (const SettingsField& field : ExportFields()) {
        if (field.flag == &Settings::XCoord) {
            int coords = 0;
            if (QueryNumber(exportKey.Get(), kCoordsValue, coords))
                settings.XCoord = settings.YCoord = settings.ZCoord = coords != 0;
        }
        ReadField(exportKey.Get(), field, settings);
    }
    if (exportKey.Close() != ERROR_SUCCESS)
        return;

    RegistryKey importKey;
    if (importKey.Open(HKEY_CURRENT_USER, kImportKey, KEY_READ) != ERROR_SUCCESS)
        return;
    for (const SettingsField& field : ImportFields())
        ReadField(importKey.Get(), field, settings);
    importKey.Close();
}

bool SaveSettings(const Settings& settings)
{
    return WriteGroup(kExportKey, ExportFields(), settings) && WriteGroup(kImportKey, ImportFields(), settings);
}
