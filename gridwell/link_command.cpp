// gridwell link: the live link between a drawing and a workbook that another
// program (LibreOffice Calc, ...) edits and saves. The workbook's file is
// followed as gwhost --watch-book follows it, the module's Connect keyword
// switches the link on, and its once-a-second import runs each change set;
// the drawing is saved after each one, until SIGINT or SIGTERM.
#include "files.h"
#include "job.h"
#include "module_run.h"

#include <dbdatabase.h>
#include <text_for_terminal.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <cstdio>
#include <memory>
#include <signal.h>
#include <thread>
#include <unistd.h>

namespace gridwell {

namespace {

const char kCommand[] = "link";

volatile std::sig_atomic_t g_stop = 0;

extern "C" void OnStop(int) { g_stop = 1; }

std::string Now()
{
    char text[16];
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

// Saves the drawing when it changed since the last save, keeping the file
// from before the link's first save as .bak.
class LinkSaver {
public:
    LinkSaver(ModuleRun& run, std::string target, bool inPlace, bool backup, bool replace)
        : run_(run)
        , target_(std::move(target))
        , inPlace_(inPlace)
        , backup_(backup)
        , replace_(replace)
    {
    }

    // False with `error` when a save failed; the previous file then stays.
    bool SaveIfChanged(std::string& error)
    {
        const std::uint64_t changes = DatabaseChangeCount(run_.Drawing());
        if (changes == saved_)
            return true;
        const std::uint64_t made = changes - saved_;
        saved_ = changes;
        std::unique_ptr<Backup> backup;
        if (inPlace_ && backup_ && !backedUp_) {
            backup = std::make_unique<Backup>(target_);
            if (!backup->Ok()) {
                error = backup->Error();
                return false;
            }
        }
        if (!inPlace_ && !written_) {
            // The first save makes the output file: refused if one appeared
            // meanwhile and --force was not given.
            TemporaryBeside temporary(target_);
            if (!temporary.Ok() || run_.Drawing().dxfOut(temporary.Path().c_str()) != Acad::eOk
                || !temporary.Publish(replace_, error)) {
                if (error.empty())
                    error = "cannot save drawing: " + DxfErrorMessage(run_.Drawing());
                return false;
            }
        } else if (run_.Drawing().dxfOut(target_.c_str()) != Acad::eOk) {
            error = "cannot save drawing: " + DxfErrorMessage(run_.Drawing());
            return false;
        }
        written_ = true;
        if (backup) {
            if (!backup->Keep(error))
                return false;
            backedUp_ = true;
        }
        std::printf("%s applied %llu change%s; saved %s\n", Now().c_str(), static_cast<unsigned long long>(made),
                    made == 1 ? "" : "s", TextForTerminal(target_).c_str());
        std::fflush(stdout);
        return true;
    }

private:
    ModuleRun& run_;
    std::string target_;
    bool inPlace_, backup_, replace_;
    bool backedUp_ = false, written_ = false;
    std::uint64_t saved_ = 0;
};

void ReportBoxes(ModuleRun& run)
{
    for (const MessageBoxSeen& box : run.TakeMessageBoxes())
        Fail(kCommand, box.caption + ": " + box.text, kFailed);
}

} // namespace

int RunLink(const ParsedArguments& args)
{
    const std::string drawing = args.operands.at(0);
    const std::string book = args.operands.at(1);
    const std::string output = args.Value("--output");
    std::string error;
    Settings settings;
    if (!CheckDrawingAndBookJob(args, settings, error))
        return Fail(kCommand, error, kBadUsage);

    // Caught before anything starts, so that a signal always ends the run
    // through the last save.
    struct sigaction action {};
    action.sa_handler = OnStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    ModuleRun run;
    RunSetup setup;
    setup.host.drawing = drawing;
    setup.host.spreadsheet = "running";
    setup.host.watchBook = book;
    setup.host.follow = true;
    setup.host.modulePath = args.Value("--module");
    setup.settings = settings;
    bool badInput = false;
    if (!run.Start(setup, error, badInput))
        return Fail(kCommand, error, badInput ? kBadUsage : kFailed);
    run.Run("gwell", {"Connect"});
    bool failed = false;
    for (const MessageBoxSeen& box : run.TakeMessageBoxes()) {
        Fail(kCommand, box.caption + ": " + box.text, kFailed);
        failed = failed || box.error;
    }
    if (failed)
        return Fail(kCommand, "the live link could not connect", kFailed);
    if (!args.Has("--quiet") && ::isatty(STDERR_FILENO) == 1)
        std::fprintf(stderr, "gridwell: linked %s to %s; Ctrl-C ends the link\n", TextForTerminal(drawing).c_str(),
                     TextForTerminal(book).c_str());

    LinkSaver saver(run, output.empty() ? drawing : output, output.empty(), !args.Has("--no-backup"), args.Has("--force"));
    int status = kDone;
    auto step = [&] {
        if (run.RunSentCommands()) {
            ReportBoxes(run);
            run.TakeOutput();
            std::string saveError;
            status = saver.SaveIfChanged(saveError) ? kDone : Fail(kCommand, saveError, kFailed);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    while (!g_stop)
        step();
    // A save of the workbook made just before the signal is let reach the
    // drawing, for at most a few seconds, as gwhost --follow does.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    while (SaveInFlight() && std::chrono::steady_clock::now() < limit)
        step();
    return status;
}

} // namespace gridwell
