// The stored form of a Settings record: which field each stored name holds,
// in the order the values are written (registry and settings file alike).
#pragma once
#include "settings/settings.h"

#include <span>

struct SettingsField {
    const char* name;
    bool Settings::*flag;    // set for flags
    int Settings::*number;   // set for integers
    // The values the options dialog accepts (a flag: 0 and 1). Reading the
    // registry or a settings file does not check them; a writer that takes
    // values from the user does.
    int low;
    int high;

    int Get(const Settings& settings) const { return flag ? (settings.*flag ? 1 : 0) : settings.*number; }
    // Flags are on for any non-zero number; integers take it unchanged.
    void Set(Settings& settings, int value) const
    {
        if (flag)
            settings.*flag = value != 0;
        else
            settings.*number = value;
    }
};

extern const char kExportSection[]; // "Export": registry key name and file section
extern const char kImportSection[]; // "Import"

// The 22 values of the Export group, in writing order.
std::span<const SettingsField> ExportFields();
// The 4 values of the Import group, in writing order.
std::span<const SettingsField> ImportFields();
