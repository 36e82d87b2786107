// gridwell options: the stored options of export and import, read and
// written in the per-user store through the module's own settings code, the
// code the Options dialog uses. Values are checked against the dialog's
// ranges before anything is stored; a settings file is written beside its
// target and renamed into place.
#include "files.h"
#include "job.h"
#include "settings_names.h"
#include "settings/settings_file.h"
#include "settings/settings_registry.h"

#include <registry_context.h>
#include <text_for_terminal.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace gridwell {

namespace {

const char kCommand[] = "options";

bool Store(const std::string& path, const Settings& settings, std::string& error)
{
    RegistryContext store(path);
    store.Install();
    if (!SaveSettings(settings)) {
        error = "cannot write the options store " + path;
        return false;
    }
    return true;
}

bool CheckSettingsFile(const std::string& path, std::string& error)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || ::access(path.c_str(), R_OK) != 0) {
        error = "cannot read settings file " + TextForTerminal(path)
            + (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) ? ": not a regular file" : "");
        return false;
    }
    return true;
}

} // namespace

int RunOptions(const ParsedArguments& args)
{
    int actions = 0;
    for (const char* action : {"--get", "--set", "--reset", "--export", "--import"})
        actions += args.Has(action) ? 1 : 0;
    if (actions > 1)
        return Fail(kCommand, "give one of --get, --set, --reset, --export, --import", kBadUsage);
    if (args.Has("--force") && !args.Has("--export"))
        return Fail(kCommand, "--force goes with --export", kBadUsage);
    std::string path, error;
    if (!StorePath(args, path, error))
        return Fail(kCommand, error, kBadUsage);
    Settings settings;
    if (!LoadStoredSettings(args, settings, error))
        return Fail(kCommand, error, kFailed);

    if (args.Has("--get")) {
        const NamedSetting* setting = FindSetting(args.Value("--get"), error);
        if (!setting)
            return Fail(kCommand, error, kBadUsage);
        std::printf("%d\n", setting->field->Get(settings));
        return kDone;
    }
    if (args.Has("--set")) {
        for (const std::string& assignment : args.Values("--set"))
            if (!ApplySetting(settings, assignment, error))
                return Fail(kCommand, error, kBadUsage);
        return Store(path, settings, error) ? kDone : Fail(kCommand, error, kFailed);
    }
    if (args.Has("--reset")) {
        // As the Options dialog's reset: these two keep what the user chose.
        Settings defaults;
        SetDefaults(defaults);
        defaults.IncludeConstant = settings.IncludeConstant;
        defaults.ExportAttPrompts = settings.ExportAttPrompts;
        return Store(path, defaults, error) ? kDone : Fail(kCommand, error, kFailed);
    }
    if (args.Has("--export")) {
        const std::string file = args.Value("--export");
        const bool force = args.Has("--force");
        if (!CheckOutputPath(file, force, error))
            return Fail(kCommand, error, kBadUsage);
        TemporaryBeside temporary(file);
        if (!temporary.Ok() || !SaveSettingsFile(temporary.Path().c_str(), settings))
            return Fail(kCommand, "cannot write " + file, kFailed);
        return temporary.Publish(force, error) ? kDone : Fail(kCommand, error, kFailed);
    }
    if (args.Has("--import")) {
        const std::string file = args.Value("--import");
        if (!CheckSettingsFile(file, error))
            return Fail(kCommand, error, kBadUsage);
        LoadSettingsFile(file.c_str(), settings);
        // The file is read as the dialog reads it; what the dialog would
        // refuse on OK is refused here before anything is stored.
        if (!SettingsInRange(settings, error))
            return Fail(kCommand, TextForTerminal(file) + ": " + error, kBadUsage);
        return Store(path, settings, error) ? kDone : Fail(kCommand, error, kFailed);
    }
    std::fputs(ListSettings(settings).c_str(), stdout);
    return kDone;
}

} // namespace gridwell
