// Internals of AcadHost shared by its source files; not for the module.
#pragma once
#include "acad_host.h"
#include "accmd.h"
#include "adslib.h"
#include "cui_file.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

using AcrxEntryPointProc = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);

struct HostApplication {
    std::string fileName;
    HMODULE module = nullptr;
    AcrxEntryPointProc entryPoint = nullptr;
};

struct HostCommand {
    std::string group;
    std::string globalName;
    std::string localName;
    int flags = 0;
    AcRxFunctionPtr function = nullptr;
};

struct HostLispFunction {
    short functionCode = 0;
    HostApplication* application = nullptr;
};

struct QueuedExpression {
    AcApDocument* document = nullptr;
    std::string text;
};

struct AcadHost::State {
    HostCommandLine* commandLine = nullptr;

    std::vector<std::unique_ptr<AcApDocument>> documents;
    AcApDocument* current = nullptr;
    // LISP symbols are case-insensitive: keys are upper-cased names.
    std::map<const AcApDocument*, std::map<std::string, HostLispFunction>> lispFunctions;
    std::map<int, AcadFunctionPtr> registeredFunctions;
    std::deque<QueuedExpression> queuedExpressions;
    int currentFunctionCode = -1;

    std::vector<std::unique_ptr<HostApplication>> applications;
    // The application whose entry point is running, so that acedDefun knows
    // whom a LISP function belongs to.
    HostApplication* messageTarget = nullptr;
    std::set<void*> unlocked;
    std::map<void*, int> mdiAware;
    int classHierarchyBuilds = 0;

    std::vector<HostCommand> commands;
    // The resource sources pushed, one stack per thread: the live link's
    // event handler pushes on its worker thread while the main thread may be
    // in a command that pushed its own.
    std::mutex resourceLock;
    std::map<std::thread::id, std::vector<HINSTANCE>> resourceStacks;
    std::deque<std::string> pendingInput; // from sendStringToExecute
    std::string keywordList;              // armed by acedInitGet for the next prompt
    int initGetBits = 0;
    std::vector<std::string> failures;

    // System variables (upper-case names), 16-bit integers.
    std::map<std::string, short> systemVariables{{"CMDECHO", 1}, {"CMDDIA", 1}, {"FILEDIA", 1}};
    // Answers given with acedCommand, taken by the running command's prompts
    // before any typed input; `echoAnswers` while CMDECHO was on.
    std::deque<std::string> commandAnswers;
    bool echoAnswers = false;
    // A command run by acedCommand while CMDECHO is 0 says nothing but its errors.
    bool quietCommand = false;

    // The menu bar: the host's own pull-downs, then the groups' inserted ones.
    struct BarEntry {
        std::string title;
        std::string group; // empty for the host's own
        std::size_t menu = 0;
    };
    std::vector<BarEntry> menuBar;
    bool documentMaximised = false;
    HMENU windowMenu = nullptr;
    std::vector<CuiFile> menuGroups;
    std::set<std::string> visibleToolbars; // "GROUP\index"

    AcRx::AppRetCode send(HostApplication& application, AcRx::AppMsgCode message);
    // Rebuilds the main window's menu from menuBar.
    void showMenuBar();
    CuiFile* findMenuGroup(const std::string& name);

};

std::string HostUpper(const std::string& text);

// The host's built-in commands (MENULOAD, -TOOLBAR); false when `name` is none.
bool RunBuiltinCommand(AcadHost::State& s, const std::string& name);
// The next answer to a prompt: an acedCommand answer, else a typed line.
HostInputResult HostCommandAnswer(AcadHost::State& s, const std::string& prompt, std::string& answer);
