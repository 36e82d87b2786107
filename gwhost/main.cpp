// gwhost: a terminal CAD host. It loads the Gridwell module the way the real
// host loads an application module, opens a drawing as the current
// document, reads command lines from standard input (an empty line is Enter,
// "^C" is Escape), runs the module's thread timer on its main loop and, at
// the end of input, unloads the module and saves what it was asked to save.
#include "sessions.h"
#include "stdio_command_line.h"

#include <acad_host.h>
#include <loader.h>
#include <text_for_terminal.h>
#include <host_io.h>
#include <timers.h>

#include <chrono>
#include <csignal>
#include <signal.h>
#include <cstdio>
#include <thread>
#include <cstring>
#include <string>

namespace {

const char kUsage[] = R"(usage: gwhost [options] [DRAWING.dxf]

Runs the Gridwell module in a command-line CAD host. Command lines are read
from standard input: an empty line is Enter, a line "^C" is Escape.

options:
  --module FILE          the module to load (default: gwell16.arx beside gwhost)
  --registry FILE        the per-user registry store (default:
                         $XDG_CONFIG_HOME/gridwell/user.reg, else
                         ~/.config/gridwell/user.reg)
  --classes FILE.reg     the machine's file associations (HKEY_CLASSES_ROOT),
                         a regedit export read at start and never written,
                         such as the ".htm" handler a hyperlink falls back to
  --spreadsheet MODE     absent, installed (default) or running
  --open-book FILE.xlsx  a workbook the running spreadsheet program has open
                         (repeatable; the last one is active)
  --books DIR            at the end, save every open workbook as DIR/<name>.xlsx
                         (a file there this run did not open or write is kept:
                         the workbook takes "<name> (2).xlsx"; an opened
                         workbook nothing changed is not rewritten)
  --save-as FILE.dxf     at the end, save the current drawing as FILE.dxf
  --watch-book FILE.xlsx open the workbook in the running spreadsheet program
                         (implies --spreadsheet running) and follow its file:
                         each save by another program (LibreOffice Calc, ...)
                         enters the changed cells as that program's user would
  --autosave             after every command that changed the drawing, save
                         it (through a temporary file) to --save-as, else to
                         the drawing's own file; a failed save is reported
                         and the previous file stays
  --follow               keep running after the input ends (timers, the
                         watched workbook and autosave go on) until SIGINT or
                         SIGTERM, which end gwhost with exit 0 after saving
  --maximized            show the drawing window maximised: its untitled icon
                         stands first on the menu bar
  --help                 show this text

Host commands besides the module's:
  select HANDLE... | select all     pick references as the user would
  menu                              print the main window's menu bar (with the
                                    Gridwell pull-down's items) and the
                                    visible toolbars
  menu pick ITEM                    pick a pull-down item by name (such as
                                    "menu pick Import"): its command runs
  toolbar pick BUTTON               click a button of a visible toolbar
  wait SECONDS                      let time pass with timers running (the
                                    live link's import timer fires each second)
  excel edit BOOK SHEET CELL TEXT   type TEXT into CELL (such as C7); the rest
                                    of the line is the text, empty clears
  excel paste BOOK SHEET CELL V1|V2;V3|V4
                                    paste a block with its top-left at CELL:
                                    "|" between values, ";" between rows
  excel clear BOOK SHEET RANGE      clear A1, B2:D5, whole columns C:C, whole
                                    rows 2:4, or C2:C down to the last row
  excel activate BOOK [SHEET]       switch to a workbook (and sheet)
  excel new                         add a new workbook (its name is printed)
  excel close BOOK                  close a workbook without saving it
  excel quit | excel start          quit the program, start it again
Each excel command fires the events the program fires for the user's action.
Names with spaces go in double quotes. While gwhost waits for input, its
timers keep running, so the live link imports edits within about a second.

Dialogs: when a dialog opens (the block choice of Export, its filter, Options), it is
printed as a form: its title, then each control with its id, kind, enabled
and visible state, check state ([x]), text and tip, and a list's items with
their index, selection ([x]) and focus. Then one action a line:
  click ID                          push a button, toggle a check box, follow
                                    a link (the About page's 1018)
  check ID on|off                   set a check box
  text ID VALUE                     type VALUE (the rest of the line)
  select ID INDEX...                select exactly these list items (none
                                    clears the selection)
  focus ID INDEX                    give a list item the focus
  rclick ID [COMMAND]               right-click a list; COMMAND picks from the
                                    menu it opens (without it the menu is
                                    printed and the next line picks)
  spin ID up|down                   click an arrow of an up-down control
  mousemove ID X Y                  move the pointer to X, Y of the control
                                    (outside it: leave it; a link hovers)
  tab INDEX                         show another page of a tab dialog (ids
                                    name the shown page's controls first)
  help                              press F1 (Options opens the manual)
  ok | cancel                       press Enter or Escape
A button that drops a menu (Options' file button 3) prints the menu and the
next line picks a command; a file dialog takes the path from the next line
(Enter takes the offered name, "cancel" cancels).
A refused action prints why and the form again; the end of input (or ^C)
cancels the dialog. A question box takes its answer from the next line.

Live link, for example: export, connect, edit a cell, let the timer import it:
  printf 'gwell\n\nok\ngwell\nConnect\nexcel edit Book1 DOOR B3 D-99\nwait 2\n' |
    gwhost --spreadsheet running --save-as out.dxf samples/sample.dxf
Export through the dialogs: filter by the layers Doors and Title (positions
2 and 5 of the layer list) and by the name pattern *O*:
  printf 'gwell\nExport\nrclick 1005 1011\ncheck 1030 on\nselect 1005 2 5\ncheck 1031 on\ntext 1032 *O*\nok\nok\n' |
    gwhost --books out samples/sample.dxf
The Linux live link with a real spreadsheet program:
  printf 'gwell\nConnect\n' | gwhost --watch-book books/Book1.xlsx \
    --autosave --save-as out.dxf --follow samples/sample.dxf
Exit status: 0 at the end of input (or SIGINT/SIGTERM with --follow), 1 when a save at the end failed,
2 for a bad argument, an unreadable drawing or a module that does not load.
)";

// Messages may quote a damaged file's names and bytes: the terminal gets
// them escaped, whichever reader composed the message.
void PrintError(const std::string& message)
{
    std::fprintf(stderr, "gwhost: %s\n", TextForTerminal(message).c_str());
}

int Fail(const std::string& message)
{
    PrintError(message);
    return 2;
}

// Parses the arguments into `options`; false with `error` set on a bad one.
bool ParseArguments(int argc, char** argv, HostOptions& options, bool& help, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                error = argument + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--module") {
            if (!value(options.modulePath))
                return false;
        } else if (argument == "--registry") {
            if (!value(options.registryFile))
                return false;
        } else if (argument == "--classes") {
            if (!value(options.classesFile))
                return false;
        } else if (argument == "--spreadsheet") {
            if (!value(options.spreadsheet))
                return false;
            if (options.spreadsheet != "absent" && options.spreadsheet != "installed"
                && options.spreadsheet != "running") {
                error = "--spreadsheet must be absent, installed or running";
                return false;
            }
        } else if (argument == "--open-book") {
            std::string book;
            if (!value(book))
                return false;
            options.openBooks.push_back(book);
        } else if (argument == "--books") {
            if (!value(options.booksDir))
                return false;
        } else if (argument == "--save-as") {
            if (!value(options.saveAs))
                return false;
            // An empty name would silently mean "do not save".
            if (options.saveAs.empty()) {
                error = "--save-as needs a file name";
                return false;
            }
        } else if (argument == "--watch-book") {
            if (!value(options.watchBook))
                return false;
            if (options.watchBook.empty()) {
                error = "--watch-book needs a file name";
                return false;
            }
        } else if (argument == "--autosave") {
            options.autosave = true;
        } else if (argument == "--follow") {
            options.follow = true;
        } else if (argument == "--maximized") {
            options.maximized = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument + " (see --help)";
            return false;
        } else if (argument.empty()) {
            // Not the empty drawing a missing argument opens: the user named a file.
            error = "an empty drawing name (see --help)";
            return false;
        } else if (options.drawing.empty()) {
            options.drawing = argument;
        } else {
            error = "more than one drawing given (see --help)";
            return false;
        }
    }
    if ((!options.openBooks.empty() || !options.watchBook.empty()) && options.spreadsheet != "running")
        options.spreadsheet = "running";
    // An empty drawing has no file of its own to save to.
    if (options.autosave && options.saveAs.empty() && options.drawing.empty()) {
        error = "--autosave needs --save-as or a drawing file";
        return false;
    }
    return true;
}

const HostOptions* g_options = nullptr;

// Set from the signal handler; the loops look at it between lines.
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void OnStopSignal(int signal) { g_stopSignal = signal; }

bool StopRequested() { return g_stopSignal != 0; }

// Runs one command line at the Command prompt.
void RunLine(AcadHost& host, const std::string& line);

// "wait SECONDS": time passes with the timers running; what they send to
// the document runs meanwhile, as it would at an idle prompt.
bool RunWait(AcadHost& host, const std::string& line)
{
    if (line.compare(0, 5, "wait ") != 0 && line != "wait")
        return false;
    double seconds = 0;
    try {
        seconds = line.size() > 5 ? std::stod(line.substr(5)) : 0;
    } catch (const std::exception&) {
        seconds = -1;
    }
    if (!(seconds >= 0 && seconds <= 3600)) {
        HostWriteOutput("usage: wait SECONDS (0 to 3600)\n");
        return true;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end && !StopRequested()) {
        DispatchDueTimers();
        std::string sent;
        while (HostHasPendingInput() && HostReadInputLine(sent) == HostInputResult::Line)
            RunLine(host, sent);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void RunLineOnly(AcadHost& host, const std::string& line)
{
    if (line.empty())
        return;
    const std::string command = line.substr(0, line.find(' '));
    if (RunDrawingHostCommand(line) || RunSpreadsheetHostCommand(line) || RunWait(host, line))
        return;
    if (RunMenuHostCommand(host, line)) {
        // A picked item's command is typed now, as a click types it.
        std::string typed;
        while (HostHasPendingInput() && HostReadInputLine(typed) == HostInputResult::Line)
            RunLine(host, typed);
        return;
    }
    if (host.runCommand(command)) {
        host.runQueuedExpressions();
        return;
    }
    HostWriteOutput("Unknown command \"" + command + "\".  Press F1 for help.");
}

void RunLine(AcadHost& host, const std::string& line)
{
    RunLineOnly(host, line);
    std::string error;
    if (g_options && !AutosaveDrawing(*g_options, error))
        PrintError(error);
}

// Reads and runs command lines until the input ends.
void RunCommandLoop(AcadHost& host)
{
    for (;;) {
        DispatchDueTimers();
        HostWriteOutput("\nCommand: ");
        std::string line;
        const HostInputResult input = HostReadInputLine(line);
        if (input == HostInputResult::EndOfInput)
            break;
        if (input == HostInputResult::Cancel)
            continue;
        RunLine(host, line);
    }
    HostWriteOutput("\n");
}

// After the input ends: the timers, and what they send to the document,
// run on until a signal says stop.
void FollowUntilSignal(AcadHost& host)
{
    while (!StopRequested()) {
        DispatchDueTimers();
        std::string sent;
        while (HostHasPendingInput() && HostReadInputLine(sent) == HostInputResult::Line)
            RunLine(host, sent);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // A save of the watched workbook made just before the signal is still
    // on its way (settle time, then the once-a-second import): it is let
    // arrive, for at most a few seconds, so that it reaches the saved drawing.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    while (SaveInFlight() && std::chrono::steady_clock::now() < limit) {
        DispatchDueTimers();
        std::string sent;
        while (HostHasPendingInput() && HostReadInputLine(sent) == HostInputResult::Line)
            RunLine(host, sent);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

int main(int argc, char** argv)
{
    HostOptions options;
    bool help = false;
    std::string error;
    if (!ParseArguments(argc, argv, options, help, error))
        return Fail(error);
    if (help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.modulePath.empty())
        options.modulePath = LoaderExecutableDirectory() + "/gwell16.arx";

    AcadHost host;
    host.install();
    StdioCommandLine commandLine;
    // While it waits for input the host keeps its message loop going: the
    // timers fire, and a command string one of them sent is answered first.
    g_options = &options;
    if (options.follow) {
        // The end of a followed run is a signal: caught so that the last
        // changes are saved and everything closes as at the end of input.
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
        commandLine.stop = StopRequested;
    }
    commandLine.idle = [](std::string& line) {
        DispatchDueTimers();
        return HostHasPendingInput() && HostReadInputLine(line) == HostInputResult::Line;
    };
    host.setCommandLine(&commandLine);
    PrintingMessageBoxDriver messageBoxes;
    SetMessageBoxDriver(&messageBoxes);
    TerminalDialogDriver dialogs;
    SetDialogDriver(&dialogs);

    if (!StartRegistrySession(options, error))
        return Fail(error);
    if (!StartSpreadsheetSession(options, error))
        return Fail(error);
    host.setDocumentMaximised(options.maximized);
    if (!OpenDrawingSession(options, error))
        return Fail(error);
    if (!host.loadApplication(options.modulePath, error))
        return Fail("cannot load module " + options.modulePath + ": " + error);
    host.runQueuedExpressions();

    RunCommandLoop(host);
    if (options.follow)
        FollowUntilSignal(host);
    // No save of the workbook comes in while the module goes.
    StopWatchingWorkbook();

    host.unloadApplications();
    int status = 0;
    if (!EndDrawingSession(options, error)) {
        PrintError(error);
        status = 1;
    }
    if (!EndSpreadsheetSession(options, error)) {
        PrintError(error);
        status = 1;
    }
    EndRegistrySession();
    SetMessageBoxDriver(nullptr);
    SetDialogDriver(nullptr);
    return status;
}
