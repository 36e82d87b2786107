#include "job.h"

#include "files.h"

#include "sessions.h"
#include "settings_names.h"
#include "settings/settings_registry.h"

#include <registry_context.h>
#include <text_for_terminal.h>

#include <cstdio>
#include <sys/stat.h>

namespace gridwell {

int Fail(const char* command, const std::string& message, int status)
{
    // Messages quote file names and the module's texts: escaped for the terminal.
    std::fprintf(stderr, "gridwell: %s: %s\n", command, TextForTerminal(message).c_str());
    return status;
}

bool StorePath(const ParsedArguments& args, std::string& path, std::string& error)
{
    path = args.Value("--registry");
    return !path.empty() || DefaultStoreFile(path, error);
}

bool LoadStoredSettings(const ParsedArguments& args, Settings& settings, std::string& error)
{
    std::string path;
    if (!StorePath(args, path, error))
        return false;
    // Reading the store never writes it: only a change would.
    RegistryContext store(path);
    store.Install();
    LoadSettings(settings);
    return true;
}

bool RunSettings(const ParsedArguments& args, Settings& settings, std::string& error)
{
    if (!LoadStoredSettings(args, settings, error))
        return false;
    for (const std::string& assignment : args.Values("--option"))
        if (!ApplySetting(settings, assignment, error))
            return false;
    return true;
}

namespace {

bool CheckDrawingWritable(const std::string& drawing, std::string& error)
{
    if (!CheckOutputPath(drawing, true, error))
        return false;
    struct stat info {};
    if (::stat(drawing.c_str(), &info) == 0 && (info.st_mode & 0222) == 0) {
        error = TextForTerminal(drawing) + " is read-only";
        return false;
    }
    return true;
}

} // namespace

bool CheckDrawingAndBookJob(const ParsedArguments& args, Settings& settings, std::string& error)
{
    const std::string& drawing = args.operands.at(0);
    const std::string& book = args.operands.at(1);
    const std::string output = args.Value("--output");
    if (!CheckInputPath(drawing, InputFileKind::Drawing, error) || !CheckInputPath(book, InputFileKind::Workbook, error))
        return false;
    if (output.empty() ? !CheckDrawingWritable(drawing, error) : !CheckOutputPath(output, args.Has("--force"), error))
        return false;
    return RunSettings(args, settings, error);
}

} // namespace gridwell
