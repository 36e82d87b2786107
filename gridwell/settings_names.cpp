#include "settings_names.h"

#include <charconv>

namespace gridwell {

namespace {

std::string Range(const SettingsField& field)
{
    return std::to_string(field.low) + "-" + std::to_string(field.high);
}

std::string ValidNames()
{
    std::string text;
    for (const NamedSetting& setting : NamedSettings())
        text += (text.empty() ? "" : ", ") + setting.name;
    return text;
}

} // namespace

const std::vector<NamedSetting>& NamedSettings()
{
    static const std::vector<NamedSetting> settings = [] {
        std::vector<NamedSetting> all;
        auto add = [&](const char* group, std::span<const SettingsField> fields, std::span<const SettingsField> other) {
            for (const SettingsField& field : fields) {
                bool inBoth = false;
                for (const SettingsField& second : other)
                    inBoth = inBoth || std::string(second.name) == field.name;
                all.push_back({inBoth ? std::string(group) + "." + field.name : field.name, &field});
            }
        };
        add(kExportSection, ExportFields(), ImportFields());
        add(kImportSection, ImportFields(), ExportFields());
        return all;
    }();
    return settings;
}

const NamedSetting* FindSetting(const std::string& name, std::string& error)
{
    for (const NamedSetting& setting : NamedSettings()) {
        if (name == setting.name)
            return &setting;
        // A name of one group only may also be given with its group.
        const auto exportFields = ExportFields();
        const bool isExport = setting.field >= exportFields.data() && setting.field < exportFields.data() + exportFields.size();
        const std::string group = isExport ? kExportSection : kImportSection;
        if (name == group + "." + setting.field->name)
            return &setting;
    }
    error = "no option named \"" + name + "\"; the options are: " + ValidNames();
    return nullptr;
}

bool ApplySetting(Settings& settings, const std::string& assignment, std::string& error)
{
    const auto eq = assignment.find('=');
    if (eq == std::string::npos) {
        error = "\"" + assignment + "\" is not NAME=VALUE";
        return false;
    }
    const NamedSetting* setting = FindSetting(assignment.substr(0, eq), error);
    if (!setting)
        return false;
    const std::string text = assignment.substr(eq + 1);
    int value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || status != std::errc() || end != text.data() + text.size() || value < setting->field->low
        || value > setting->field->high) {
        error = setting->name + " takes a whole number from " + std::to_string(setting->field->low) + " to "
            + std::to_string(setting->field->high) + ", not \"" + text + "\"";
        return false;
    }
    setting->field->Set(settings, value);
    return true;
}

bool SettingsInRange(const Settings& settings, std::string& error)
{
    for (const NamedSetting& setting : NamedSettings()) {
        const int value = setting.field->Get(settings);
        if (value < setting.field->low || value > setting.field->high) {
            error = setting.name + "=" + std::to_string(value) + " is out of its range " + Range(*setting.field);
            return false;
        }
    }
    return true;
}

std::string ListSettings(const Settings& settings)
{
    std::string text;
    for (const NamedSetting& setting : NamedSettings()) {
        std::string line = setting.name + "=" + std::to_string(setting.field->Get(settings));
        line += std::string(line.size() < 26 ? 26 - line.size() : 1, ' ') + "(" + Range(*setting.field) + ")\n";
        text += line;
    }
    return text;
}

} // namespace gridwell
