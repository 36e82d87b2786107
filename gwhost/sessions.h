// What gwhost sets up around a run, one session per stand-in: each is started
// from the command-line options before the module loads and ended after the
// input has run out.
#pragma once
#include <string>
#include <vector>

struct HostOptions {
    std::string modulePath;      // --module FILE; default: gwell16.arx beside gwhost
    std::string drawing;         // DRAWING.dxf; empty: an empty drawing
    std::string saveAs;          // --save-as FILE.dxf
    std::string registryFile;    // --registry FILE; empty: the default per-user store
    std::string classesFile;     // --classes FILE.reg: the classes root's file associations
    std::string spreadsheet = "installed"; // --spreadsheet absent|installed|running
    std::vector<std::string> openBooks;    // --open-book FILE.xlsx (repeatable)
    std::string booksDir;        // --books DIR
    std::string watchBook;       // --watch-book FILE.xlsx: opened and followed as other programs save it
    bool autosave = false;       // --autosave: the drawing saved after each command that changed it
    bool follow = false;         // --follow: running on after the input ends, until SIGINT or SIGTERM
    bool maximized = false;      // --maximized: the drawing window maximised (its icon first on the menu bar)
};

// The per-user registry store.
bool StartRegistrySession(const HostOptions& options, std::string& error);
void EndRegistrySession();

// The spreadsheet program: absent, installed or running with books open.
bool StartSpreadsheetSession(const HostOptions& options, std::string& error);
bool EndSpreadsheetSession(const HostOptions& options, std::string& error);
// Stops following --watch-book, so that no save of it comes in any more.
void StopWatchingWorkbook();
// Whether a save of the watched workbook is still on its way to the drawing.
bool SaveInFlight();

// The drawing: opened as the current document; saved at the end when asked.
bool OpenDrawingSession(const HostOptions& options, std::string& error);
bool EndDrawingSession(const HostOptions& options, std::string& error);
// With --autosave: saves the drawing when it changed since the last save, to
// --save-as or else to the drawing's own file (through a temporary file, so
// a failed save leaves the previous file whole). False with `error` set when
// the save failed; it is tried again after the next change.
bool AutosaveDrawing(const HostOptions& options, std::string& error);
// Host commands of the drawing's (such as "select"); false when `command`
// is not one of them.
bool RunDrawingHostCommand(const std::string& command);

namespace excelsim {
class ExcelContext;
}
// The spreadsheet program of this run; null before the session starts.
excelsim::ExcelContext* SpreadsheetContext();
// "excel ..." host commands acting as the program's user (spreadsheet_user.cpp);
// false when `line` is not one of them.
bool RunSpreadsheetHostCommand(const std::string& line);

class AcadHost;
// "menu", "menu pick ITEM", "toolbar pick BUTTON" (menu_commands.cpp); a pick
// leaves the item's command waiting as typed input. False when `line` is
// none of them.
bool RunMenuHostCommand(AcadHost& host, const std::string& line);
