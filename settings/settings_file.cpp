#include "settings/settings_file.h"

#include "settings/settings_fields.h"

#include <windows.h>

#include <climits>
#include <cstdio>

namespace {

// The longest entry read, as the dialog has always read it.
const DWORD kMaxEntry = 255;

// atoi as the C runtime does it: blanks, an optional sign, then digits up to
// the first non-digit; out-of-range numbers give INT_MAX or INT_MIN rather
// than overflowing.
int ParseLeadingInteger(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        return magnitude > static_cast<long long>(INT_MAX) ? INT_MIN : static_cast<int>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

void ReadSection(const char* path, const char* section, std::span<const SettingsField> fields, Settings& settings)
{
    for (const SettingsField& field : fields) {
        char text[kMaxEntry + 1];
        GetPrivateProfileStringA(section, field.name, "", text, sizeof text, path);
        if (text[0] != '\0')
            field.Set(settings, ParseLeadingInteger(text));
    }
}

bool WriteSection(const char* path, const char* section, std::span<const SettingsField> fields,
                  const Settings& settings)
{
    for (const SettingsField& field : fields) {
        constexpr std::size_t kNumberText = 16; // any int in decimal, its sign and the end
        char text[kNumberText];
        std::snprintf(text, sizeof text, "%d", field.Get(settings));
        if (!WritePrivateProfileStringA(section, field.name, text, path))
            return false;
    }
    return true;
}

} // namespace

void LoadSettingsFile(const char* path, Settings& settings)
{
    ReadSection(path, kExportSection, ExportFields(), settings);
    ReadSection(path, kImportSection, ImportFields(), settings);
}

bool SaveSettingsFile(const char* path, const Settings& settings)
{
    return WriteSection(path, kExportSection, ExportFields(), settings)
        && WriteSection(path, kImportSection, ImportFields(), settings);
}
