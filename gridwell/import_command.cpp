// gridwell import: the module's Import of one workbook into one drawing,
// saved in place (previous file kept as .bak) or where -o says.
#include "files.h"
#include "job.h"
#include "module_run.h"
#include "progress_line.h"

#include <dbdatabase.h>
#include <excel_context.h>
#include <sheet_model.h>
#include <stand_in_progress.h>
#include <text_for_terminal.h>

#include <algorithm>
#include <cstdio>

namespace gridwell {

namespace {

const char kCommand[] = "import";

// The rows the import will look at: from the import's first row to the
// last used row of every worksheet it reads; `sheets` gets how many it reads.
std::uint64_t RowsToRead(const Settings& settings, std::uint64_t& sheets)
{
    std::uint64_t rows = 0;
    sheets = 0;
    excelsim::ExcelContext* excel = SpreadsheetContext();
    if (!excel || !excel->Running())
        return 0;
    excel->Running()->With([&](excelsim::AppData& data) {
        if (!data.activeWorkbook)
            return;
        const auto& all = data.activeWorkbook->sheets;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (settings.ImportSettings != 1 && i != data.activeWorkbook->activeSheet)
                continue;
            ++sheets;
            const int bottom = all[i]->UsedExtent()[2];
            if (bottom >= settings.ImportStartRow)
                rows += static_cast<std::uint64_t>(bottom - settings.ImportStartRow + 1);
        }
    });
    return rows;
}

// The module's one-line account of the import, the last line it wrote.
std::string ReportLine(const std::string& output)
{
    std::size_t end = output.find_last_not_of("\r\n ");
    if (end == std::string::npos)
        return {};
    const std::size_t begin = output.rfind('\n', end);
    return output.substr(begin == std::string::npos ? 0 : begin + 1, end + 1 - (begin == std::string::npos ? 0 : begin + 1));
}

// The rows the import went through (its reader also looks a few rows past
// the last one, which are not counted) and the sheets it read.
std::string ImportSummary(std::uint64_t rows, std::uint64_t sheets)
{
    const std::uint64_t read = std::min(Progress().keyCellsRead.load(std::memory_order_relaxed), rows);
    return "imported " + std::to_string(read) + " rows from " + std::to_string(sheets) + " sheet"
        + (sheets == 1 ? "" : "s");
}

} // namespace

int RunImport(const ParsedArguments& args)
{
    const std::string drawing = args.operands.at(0);
    const std::string book = args.operands.at(1);
    const std::string output = args.Value("--output");
    std::string error;
    Settings settings;
    if (!CheckDrawingAndBookJob(args, settings, error))
        return Fail(kCommand, error, kBadUsage);
    if (args.Has("--all-sheets"))
        settings.ImportSettings = 1;
    if (args.Has("--properties"))
        settings.IgnoreProps = false;

    ProgressLine progress(args.Has("--quiet"));
    Progress().Reset();
    progress.Stage([drawing] {
        const StandInProgress& p = Progress();
        const std::uint64_t total = p.drawingBytes.load(std::memory_order_relaxed);
        return "loading " + TextForTerminal(drawing)
            + (total ? ": " + Bytes(p.drawingBytesParsed.load(std::memory_order_relaxed)) + " of " + Bytes(total) : "");
    });
    ModuleRun run;
    RunSetup setup;
    setup.host.drawing = drawing;
    setup.host.spreadsheet = "running";
    setup.host.openBooks = {book};
    setup.host.modulePath = args.Value("--module");
    setup.settings = settings;
    bool badInput = false;
    if (!run.Start(setup, error, badInput))
        return Fail(kCommand, error, badInput ? kBadUsage : kFailed);

    std::uint64_t sheets = 0;
    const std::uint64_t rows = RowsToRead(settings, sheets);
    progress.Stage([rows] {
        return "importing rows: " + OutOf(Progress().keyCellsRead.load(std::memory_order_relaxed), rows);
    });
    run.Run("gwell", {"Import"});
    bool failed = false;
    for (const MessageBoxSeen& box : run.TakeMessageBoxes()) {
        Fail(kCommand, box.caption + ": " + box.text, kFailed);
        failed = failed || box.error;
    }
    if (failed)
        return Fail(kCommand, "the drawing was not saved", kFailed);
    const std::string report = ReportLine(run.TakeOutput());
    const std::uint64_t changes = DatabaseChangeCount(run.Drawing());
    const std::string target = output.empty() ? drawing : output;
    if (output.empty() && changes == 0) {
        // Nothing to write: the drawing stays the very file it was.
        if (!report.empty())
            std::printf("%s\n", TextForTerminal(report).c_str());
        progress.Finish(ImportSummary(rows, sheets) + "; nothing changed, " + TextForTerminal(drawing)
                        + " left as it was");
        return kDone;
    }
    progress.Stage([target] { return "saving " + TextForTerminal(target); });
    if (output.empty()) {
        std::unique_ptr<Backup> backup;
        if (!args.Has("--no-backup")) {
            backup = std::make_unique<Backup>(drawing);
            if (!backup->Ok())
                return Fail(kCommand, backup->Error(), kFailed);
        }
        // Written beside the drawing and renamed over it: a failed save
        // leaves the previous file as it was.
        if (run.Drawing().dxfOut(drawing.c_str()) != Acad::eOk)
            return Fail(kCommand, "cannot save drawing: " + DxfErrorMessage(run.Drawing()), kFailed);
        if (backup && !backup->Keep(error))
            return Fail(kCommand, error, kFailed);
    } else {
        TemporaryBeside temporary(output);
        if (!temporary.Ok())
            return Fail(kCommand, "cannot write in " + FolderOf(output), kFailed);
        if (run.Drawing().dxfOut(temporary.Path().c_str()) != Acad::eOk)
            return Fail(kCommand, "cannot save drawing: " + DxfErrorMessage(run.Drawing()), kFailed);
        if (!temporary.Publish(args.Has("--force"), error))
            return Fail(kCommand, error, kFailed);
    }
    if (!report.empty())
        std::printf("%s\n", TextForTerminal(report).c_str());
    progress.Finish(ImportSummary(rows, sheets) + "; saved " + TextForTerminal(target));
    return kDone;
}

} // namespace gridwell
