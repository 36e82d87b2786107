// One host session around one gridwell job, set up as gwhost sets up a run
// (the same session code): the options for this run in an in-memory
// registry, the spreadsheet program, the drawing as the current document, and
// the module loaded through the loader. The job then types at the module's
// prompts what a user at gwhost would type ("gwell", "Export2", the names).
// The module's prompts and messages are kept, not shown; its message boxes
// are kept too, and answered as Escape would answer them.
#pragma once
#include "sessions.h"
#include "settings/settings.h"

#include <acad_host.h>
#include <message_box.h>
#include <registry_context.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace gridwell {

struct MessageBoxSeen {
    std::string caption;
    std::string text;
    bool error; // shown with the error icon
};

struct RunSetup {
    HostOptions host; // drawing, spreadsheet, books to open or watch
    Settings settings;
};

class ModuleRun {
public:
    ModuleRun();
    ~ModuleRun(); // unloads the module and ends the sessions, saving nothing
    ModuleRun(const ModuleRun&) = delete;
    ModuleRun& operator=(const ModuleRun&) = delete;

    // Starts every session and loads the module; false with `error` set,
    // and `badInput` when a file the user named (drawing, workbook) was the
    // reason.
    bool Start(const RunSetup& setup, std::string& error, bool& badInput);
    // Puts other options in place for the commands still to run.
    bool SetSettings(const Settings& settings);
    // Runs `command` at the Command prompt with `answers` typed at its prompts
    // in turn; a prompt past the last answer gets the end of input.
    void Run(const std::string& command, const std::vector<std::string>& answers = {});
    // Runs what the host's timers sent to the document (the live link's
    // "gwell\n_import2\n"); true when something ran.
    bool RunSentCommands();

    AcDbDatabase& Drawing() { return *SessionDrawing(); }
    // What the module wrote on the command line since the last call.
    std::string TakeOutput();
    // Boxes shown since the last call.
    std::vector<MessageBoxSeen> TakeMessageBoxes();

private:
    class ScriptedCommandLine : public HostCommandLine {
    public:
        std::deque<std::string> answers;
        std::string output;
        bool readLine(std::string& line) override;
        void write(const std::string& text) override { output += text; }
    };
    class KeptMessageBoxes : public MessageBoxDriver {
    public:
        std::vector<MessageBoxSeen> seen;
        int show(HWND, const std::string& text, const std::string& caption, UINT type) override;
    };

    AcadHost host_;
    ScriptedCommandLine commandLine_;
    KeptMessageBoxes boxes_;
    std::unique_ptr<RegistryContext> registry_;
    HostOptions options_;
    bool spreadsheetStarted_ = false, drawingOpened_ = false, moduleLoaded_ = false;
};

// The module beside the running program, as gwhost finds it.
std::string DefaultModulePath();

} // namespace gridwell
