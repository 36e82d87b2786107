// gridwell export: the module's Export2 on one drawing, the workbook saved
// where the user said and nowhere else.
#include "drawing_blocks.h"
#include "files.h"
#include "job.h"
#include "module_run.h"
#include "progress_line.h"
#include "workbook_summary.h"

#include <excel.tlh>
#include <excel_context.h>
#include <stand_in_progress.h>
#include <text_for_terminal.h>

namespace gridwell {

namespace {

const char kCommand[] = "export";

// Export2 reads the names into a buffer of 133 characters: longer lists go
// in several answers.
constexpr std::size_t kPromptCharacters = 132;

bool EndsWithXlsx(const std::string& path)
{
    if (path.size() < 5)
        return false;
    std::string end = path.substr(path.size() - 5);
    for (char& c : end)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return end == ".xlsx";
}

// DRAWING.xlsx beside the drawing: its .dxf ending (any case) replaced.
std::string DefaultBook(const std::string& drawing)
{
    const auto slash = drawing.rfind('/');
    const auto dot = drawing.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? drawing.substr(0, dot) : drawing) + ".xlsx";
}

// The --blocks values cut at their commas; false with `error` on an empty name.
bool BlockNames(const ParsedArguments& args, std::vector<std::string>& names, std::string& error)
{
    for (const std::string& value : args.Values("--blocks")) {
        std::size_t begin = 0;
        for (;;) {
            const std::size_t comma = value.find(',', begin);
            const std::string name = value.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
            if (name.empty()) {
                error = "an empty block name in --blocks \"" + value + "\"";
                return false;
            }
            if (name.size() > kPromptCharacters) {
                error = "block name \"" + name.substr(0, 40) + "...\" is longer than the module takes (132 characters)";
                return false;
            }
            names.push_back(name);
            if (comma == std::string::npos)
                break;
            begin = comma + 1;
        }
    }
    return true;
}

// The answers to Export2's prompt: the names joined by commas, as few
// answers as the prompt's length allows; one empty answer (every block)
// when no name was given.
std::vector<std::string> Answers(const std::vector<std::string>& names)
{
    std::vector<std::string> answers;
    std::string answer;
    for (const std::string& name : names) {
        if (!answer.empty() && answer.size() + 1 + name.size() > kPromptCharacters) {
            answers.push_back(answer);
            answer.clear();
        }
        answer += (answer.empty() ? "" : ",") + name;
    }
    if (!answer.empty() || answers.empty())
        answers.push_back(answer);
    return answers;
}

std::string Loading(const std::string& drawing)
{
    const StandInProgress& p = Progress();
    const std::uint64_t total = p.drawingBytes.load(std::memory_order_relaxed);
    std::string text = "loading " + TextForTerminal(drawing);
    if (total > 0)
        text += ": " + Bytes(p.drawingBytesParsed.load(std::memory_order_relaxed)) + " of " + Bytes(total);
    return text;
}

} // namespace

int RunExport(const ParsedArguments& args)
{
    const std::string drawing = args.operands.at(0);
    std::string error;
    if (!CheckInputPath(drawing, InputFileKind::Drawing, error))
        return Fail(kCommand, error, kBadUsage);
    const std::string book = args.Value("--output", DefaultBook(drawing));
    if (!EndsWithXlsx(book))
        return Fail(kCommand, "the workbook's name " + book + " does not end in .xlsx", kBadUsage);
    const bool force = args.Has("--force");
    if (!CheckOutputPath(book, force, error))
        return Fail(kCommand, error, kBadUsage);
    std::vector<std::string> names;
    if (!BlockNames(args, names, error))
        return Fail(kCommand, error, kBadUsage);
    Settings settings;
    if (!RunSettings(args, settings, error))
        return Fail(kCommand, error, kBadUsage);
    if (args.Has("--shared-sheet")) {
        settings.WorksheetSettings = 1;
        bool headerGiven = false;
        for (const std::string& assignment : args.Values("--option"))
            headerGiven = headerGiven || assignment.rfind("AddHeader=", 0) == 0 || assignment.rfind("Export.AddHeader=", 0) == 0;
        if (!headerGiven)
            settings.AddHeader = true;
    }

    ProgressLine progress(args.Has("--quiet"));
    Progress().Reset();
    progress.Stage([drawing] { return Loading(drawing); });
    ModuleRun run;
    RunSetup setup;
    setup.host.drawing = drawing;
    setup.host.modulePath = args.Value("--module");
    setup.settings = settings;
    bool badInput = false;
    if (!run.Start(setup, error, badInput))
        return Fail(kCommand, error, badInput ? kBadUsage : kFailed);

    for (std::string& name : names) {
        std::string stored;
        if (!DrawingHasBlock(run.Drawing(), name, stored))
            return Fail(kCommand, "no block named \"" + name + "\" in " + drawing, kBadUsage);
    }
    const std::vector<std::string> answers = Answers(names);
    if (answers.size() > 1) {
        // Every answer after the first writes into the workbook the first
        // one added (the program holds no other), and in one shared
        // worksheet below the rows already there.
        settings.WorkbookSettings = 1;
        if (settings.WorksheetSettings == 1)
            settings.FindNextBlankLine = true;
        if (!run.SetSettings(settings))
            return Fail(kCommand, "cannot set up the options of this run", kFailed);
    }

    const std::uint64_t total = ReferenceCount(run.Drawing(), names);
    excelsim::ExcelContext* excel = SpreadsheetContext();
    const std::uint64_t commentsBefore = excel->CallCount(Excel::dispidAddComment);
    progress.Stage([excel, total, commentsBefore] {
        // Each exported reference gets its handle as a comment; the header
        // notes of property columns are comments too, hence the clamp.
        return "exporting references: " + OutOf(excel->CallCount(Excel::dispidAddComment) - commentsBefore, total);
    });
    for (const std::string& answer : answers)
        run.Run("gwell", {"Export2", answer});
    bool failed = false;
    for (const MessageBoxSeen& box : run.TakeMessageBoxes()) {
        Fail(kCommand, box.caption + ": " + box.text, kFailed);
        failed = failed || box.error;
    }
    if (failed)
        return kFailed;

    FoundWorkbook found;
    if (!TheWorkbook(found))
        return Fail(kCommand, "the export made no workbook", kFailed);
    const std::uint64_t cells = found.counts.cells;
    progress.Stage([book, cells] {
        return "saving " + TextForTerminal(book) + ": cells "
            + OutOf(Progress().workbookCellsWritten.load(std::memory_order_relaxed), cells);
    });
    TemporaryBeside temporary(book);
    if (!temporary.Ok())
        return Fail(kCommand, "cannot write in " + FolderOf(book), kFailed);
    if (found.app->SaveWorkbook(found.name, temporary.Path(), error) == excelsim::SaveResult::Failed)
        return Fail(kCommand, error, kFailed);
    if (!temporary.Publish(force, error))
        return Fail(kCommand, error, kFailed);
    progress.Finish("exported " + std::to_string(found.counts.references) + " references to "
                    + TextForTerminal(book) + ": " + std::to_string(found.counts.sheets) + " sheets, "
                    + std::to_string(found.counts.rows) + " rows");
    return kDone;
}

} // namespace gridwell
