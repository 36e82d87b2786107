// The stored options as the command line names them: the names of the
// options store (settings/settings_fields.h), with the group in front where
// a name is in both (Export.StartRow, Import.StartRow); any name may carry
// its group. Values are checked against the ranges the Options dialog
// accepts, so the command line stores nothing the dialog would refuse.
#pragma once
#include "settings/settings.h"
#include "settings/settings_fields.h"

#include <string>
#include <vector>

namespace gridwell {

struct NamedSetting {
    std::string name; // as listed: "AddHeader", "Export.StartRow"
    const SettingsField* field;
};

// Every option, export group first, in the store's order.
const std::vector<NamedSetting>& NamedSettings();
// The option `name` names (case as stored, group optional unless needed);
// null with `error` listing the valid names when none.
const NamedSetting* FindSetting(const std::string& name, std::string& error);
// "NAME=VALUE": sets the field in `settings`; false with `error` (naming the
// valid names or the range) when the name or the value is bad.
bool ApplySetting(Settings& settings, const std::string& assignment, std::string& error);
// Whether every field of `settings` is within its range; else `error` names
// the first that is not.
bool SettingsInRange(const Settings& settings, std::string& error);
// "NAME=VALUE  (LOW-HIGH)" lines for every option.
std::string ListSettings(const Settings& settings);

} // namespace gridwell
