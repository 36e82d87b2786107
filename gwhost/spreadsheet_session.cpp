// The spreadsheet program around a gwhost run: absent, installed, or running
// with the workbooks of --open-book open (the last one active); at the end,
// with --books DIR, every open workbook is saved as DIR/<name>.xlsx, or
// under another free name when that file is someone else's.
#include "exit_teardown.h"
#include "input_file_check.h"
#include "sessions.h"

#include "com_runtime.h"
#include "excel_context.h"
#include "excel/xlsx_text.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

namespace {

// The COM runtime lives as long as the process, as the system's does; the
// program's context ends with the session.
ComRuntime& Runtime()
{
    static ComRuntime runtime;
    return runtime;
}

std::unique_ptr<excelsim::ExcelContext> g_excel;

bool ParseInstall(const std::string& text, excelsim::ExcelInstall& install)
{
    if (text == "absent")
        install = excelsim::ExcelInstall::Absent;
    else if (text == "installed")
        install = excelsim::ExcelInstall::Installed;
    else if (text == "running")
        install = excelsim::ExcelInstall::Running;
    else
        return false;
    return true;
}

std::string FileNameFor(const std::u16string& workbookName)
{
    std::string name = excelsim::xlsx::Utf8(workbookName);
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    bool hasExtension = lower.size() > 5 && lower.compare(lower.size() - 5, 5, ".xlsx") == 0;
    return hasExtension ? name : name + ".xlsx";
}

bool Exists(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

bool SameFile(const std::string& a, const std::filesystem::path& b)
{
    std::error_code ec;
    return !a.empty() && std::filesystem::equivalent(a, b, ec);
}

// DIR/<name>.xlsx when that is free: no file there, or the very file the
// workbook was opened from, and not already taken by another workbook of
// this session. Otherwise "<name> (2).xlsx", "(3)"... so that a file the
// session did not write is never replaced.
std::string TargetFor(const std::string& dir, const std::u16string& workbookName, const std::string& openedPath,
                      std::set<std::filesystem::path>& taken)
{
    std::filesystem::path wanted = std::filesystem::path(dir) / FileNameFor(workbookName);
    std::string stem = wanted.stem().string(), extension = wanted.extension().string();
    for (int n = 1;; ++n) {
        std::filesystem::path candidate =
            n == 1 ? wanted : wanted.parent_path() / (stem + " (" + std::to_string(n) + ")" + extension);
        std::filesystem::path key = std::filesystem::absolute(candidate).lexically_normal();
        if (taken.count(key) || (Exists(candidate) && !SameFile(openedPath, candidate)))
            continue;
        taken.insert(key);
        return candidate.string();
    }
}

// Opens the workbook and follows its file. The workbook is the active one
// right after opening (it may have been renamed to a free name).
bool WatchBook(excelsim::ExcelApp& app, const std::string& path, std::string& error)
{
    if (!CheckInputFile(path, InputFileKind::Workbook, error) || !app.OpenWorkbook(path, error))
        return false;
    const std::u16string name = app.With([](excelsim::AppData& data) { return data.activeWorkbook->name; });
    // Warnings come from the watcher's thread: one line each on stderr,
    // written with a single call so that lines never mix.
    auto warn = [](const std::string& line) {
        const std::string text = "gwhost: " + line + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
    };
    if (!g_excel->WatchWorkbookFile(app.shared_from_this(), name, path, warn, error)) {
        error = "cannot watch " + path + ": " + error;
        return false;
    }
    return true;
}

} // namespace

excelsim::ExcelContext* SpreadsheetContext() { return g_excel.get(); }

bool StartSpreadsheetSession(const HostOptions& options, std::string& error)
{
    excelsim::ExcelInstall install;
    if (!ParseInstall(options.spreadsheet, install)) {
        error = "--spreadsheet takes absent, installed or running, not \"" + options.spreadsheet + "\"";
        return false;
    }
    if (!options.openBooks.empty() && install != excelsim::ExcelInstall::Running) {
        error = "--open-book needs --spreadsheet running";
        return false;
    }
    ComRuntime::Install(&Runtime());
    g_excel = std::make_unique<excelsim::ExcelContext>(install);
    g_excel->Install(Runtime());
    if (auto app = g_excel->Running()) {
        for (const std::string& path : options.openBooks) {
            if (!CheckInputFile(path, InputFileKind::Workbook, error) || !app->OpenWorkbook(path, error)) {
                g_excel.reset();
                return false;
            }
        }
        if (!options.watchBook.empty() && !WatchBook(*app, options.watchBook, error)) {
            g_excel.reset();
            return false;
        }
    }
    return true;
}

bool SaveInFlight()
{
    // The import timer fires once a second: a save taken in 1.5 s ago has
    // met it.
    return g_excel && g_excel->SaveInFlight(std::chrono::milliseconds(1500));
}

void StopWatchingWorkbook()
{
    if (g_excel)
        g_excel->StopWatching();
}

bool EndSpreadsheetSession(const HostOptions& options, std::string& error)
{
    if (!g_excel)
        return true;
    bool ok = true;
    if (!options.booksDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options.booksDir, ec);
        std::set<std::filesystem::path> taken;
        for (const auto& app : g_excel->Instances()) {
            auto books = app->With([](excelsim::AppData& data) {
                std::vector<std::pair<std::u16string, std::string>> out;
                for (const auto& book : data.workbooks)
                    out.emplace_back(book->name, book->opened ? book->opened->path : std::string());
                return out;
            });
            for (const auto& [name, openedPath] : books) {
                std::string path = TargetFor(options.booksDir, name, openedPath, taken);
                std::string saveError;
                switch (app->SaveWorkbook(name, path, saveError)) {
                case excelsim::SaveResult::Failed:
                    error += (error.empty() ? "" : "; ") + saveError;
                    ok = false;
                    break;
                case excelsim::SaveResult::Unchanged:
                    std::printf("Workbook %s unchanged; %s left as it was\n", excelsim::xlsx::Utf8(name).c_str(),
                                path.c_str());
                    break;
                case excelsim::SaveResult::Written:
                    std::printf("Workbook %s saved as %s\n", excelsim::xlsx::Utf8(name).c_str(), path.c_str());
                    break;
                }
            }
        }
    }
    EndAtExit(g_excel);
    return ok;
}
