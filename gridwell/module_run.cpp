#include "module_run.h"

#include "settings/settings_registry.h"

#include <loader.h>
#include <timers.h>

namespace gridwell {

bool ModuleRun::ScriptedCommandLine::readLine(std::string& line)
{
    if (answers.empty())
        return false;
    line = std::move(answers.front());
    answers.pop_front();
    return true;
}

int ModuleRun::KeptMessageBoxes::show(HWND, const std::string& text, const std::string& caption, UINT type)
{
    seen.push_back({caption, text, (type & MB_ICONMASK) == MB_ICONERROR});
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

std::string DefaultModulePath() { return LoaderExecutableDirectory() + "/gwell16.arx"; }

ModuleRun::ModuleRun()
{
    host_.install();
    host_.setCommandLine(&commandLine_);
    SetMessageBoxDriver(&boxes_);
}

ModuleRun::~ModuleRun()
{
    if (options_.follow || !options_.watchBook.empty())
        StopWatchingWorkbook();
    if (moduleLoaded_)
        host_.unloadApplications();
    // Nothing is saved here: the job saves what it made, where it was asked to.
    std::string ignored;
    HostOptions nothingToSave = options_;
    nothingToSave.saveAs.clear();
    nothingToSave.autosave = false;
    nothingToSave.booksDir.clear();
    if (drawingOpened_)
        EndDrawingSession(nothingToSave, ignored);
    if (spreadsheetStarted_)
        EndSpreadsheetSession(nothingToSave, ignored);
    SetMessageBoxDriver(nullptr);
}

bool ModuleRun::SetSettings(const Settings& settings) { return SaveSettings(settings); }

bool ModuleRun::Start(const RunSetup& setup, std::string& error, bool& badInput)
{
    badInput = false;
    options_ = setup.host;
    // The options of this run live in memory only: the module reads them as
    // it reads the user's store, and nothing of them reaches the store.
    registry_ = std::make_unique<RegistryContext>();
    registry_->Install();
    if (!SaveSettings(setup.settings)) {
        error = "cannot set up the options of this run";
        return false;
    }
    badInput = true;
    if (!StartSpreadsheetSession(options_, error))
        return false;
    spreadsheetStarted_ = true;
    if (!OpenDrawingSession(options_, error))
        return false;
    badInput = false;
    drawingOpened_ = true;
    const std::string module = options_.modulePath.empty() ? DefaultModulePath() : options_.modulePath;
    if (!host_.loadApplication(module, error)) {
        error = "cannot load module " + module + ": " + error;
        return false;
    }
    moduleLoaded_ = true;
    host_.runQueuedExpressions();
    return true;
}

void ModuleRun::Run(const std::string& command, const std::vector<std::string>& answers)
{
    commandLine_.answers.assign(answers.begin(), answers.end());
    host_.runCommand(command);
    host_.runQueuedExpressions();
    commandLine_.answers.clear();
}

bool ModuleRun::RunSentCommands()
{
    DispatchDueTimers();
    bool ran = false;
    std::string line;
    while (HostHasPendingInput() && HostReadInputLine(line) == HostInputResult::Line) {
        if (line.empty())
            continue;
        // The rest of what was sent answers the command's prompts.
        host_.runCommand(line.substr(0, line.find(' ')));
        host_.runQueuedExpressions();
        ran = true;
    }
    return ran;
}

std::string ModuleRun::TakeOutput()
{
    std::string output;
    output.swap(commandLine_.output);
    return output;
}

std::vector<MessageBoxSeen> ModuleRun::TakeMessageBoxes()
{
    std::vector<MessageBoxSeen> seen;
    seen.swap(boxes_.seen);
    return seen;
}

} // namespace gridwell
