// The spreadsheet program around a gwhost run: absent, installed, or running
// with the workbooks of --open-book open (the last one active); at the end,
// with --books DIR, every open workbook is saved as DIR/<name>.xlsx.
#include "input_file_check.h"
#include "sessions.h"

#include "com/com_runtime.h"
#include "excel/excel_context.h"
#include "excel/xlsx_text.h"

#include <cstdio>
#include <filesystem>
#include <memory>

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

} // namespace

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
    }
    return true;
}

bool EndSpreadsheetSession(const HostOptions& options, std::string& error)
{
    if (!g_excel)
        return true;
    bool ok = true;
    if (!options.booksDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options.booksDir, ec);
        for (const auto& app : g_excel->Instances()) {
            auto names = app->With([](excelsim::AppData& data) {
                std::vector<std::u16string> out;
                for (const auto& book : data.workbooks)
                    out.push_back(book->name);
                return out;
            });
            for (const auto& name : names) {
                std::string path = options.booksDir + "/" + FileNameFor(name);
                std::string saveError;
                if (!app->SaveWorkbook(name, path, saveError)) {
                    error += (error.empty() ? "" : "; ") + saveError;
                    ok = false;
                } else {
                    std::printf("Workbook %s saved as %s\n", excelsim::xlsx::Utf8(name).c_str(), path.c_str());
                }
            }
        }
    }
    g_excel.reset();
    return ok;
}
