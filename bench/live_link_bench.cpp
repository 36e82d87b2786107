// The live link's two figures: the time from a cell edit in the
// spreadsheet to the changed attribute in the drawing, with the sink on its
// worker thread and the one-second import timer; and a burst of 10,000 cell
// changes (one paste of 5,000 rows by 2 columns, made while a command keeps
// the document busy) drained by one Import2 run, in edits per second.
//
// The host's idle loop is played here: timers are dispatched, and the
// command string the timer sends ("gwell", "_import2") is answered by
// running the Import2 keyword's operation, as the gwell command does.
#include "app/gwell_app.h"
#include "dbdatabase.h"
#include "common/resource_strings.h"
#include "export/export.h"
#include "import/import.h"
#include "livelink/import_timer.h"
#include "livelink/livelink.h"
#include "common/module_state.h"
#include "livelink/live_link.h"
#include "tests/support/dxf_builder.h"

#include <acad_host.h>
#include <acdocman.h>
#include <codepage.h>
#include <com_runtime.h>
#include <dbapserv.h>
#include <dbmain.h>
#include <dbents.h>
#include <dbobjptr.h>
#include <acutmem.h>
#include <drawing_host.h>
#include <excel_context.h>
#include <host_io.h>
#include <loader.h>
#include <timers.h>
#include <utf8_text.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// The handle of reference i, above the handles the writer numbers the
// attributes and end markers with.
unsigned long HandleOf(int i) { return 0x100000UL + static_cast<unsigned long>(i); }

std::string Hex(unsigned long n) { return DxfWriter::Hex(n); }

// An R12 drawing: block DOOR with NUMBER and WIDTH, `count` references of it.
std::string Drawing(int count)
{
    DxfBuilder drawing(true);
    drawing.layer("Doors").block("DOOR", {{"NUMBER", "NUMBER", ""}, {"WIDTH", "WIDTH", ""}});
    for (int i = 0; i < count; ++i)
        drawing.insert(Hex(HandleOf(i)), "DOOR", {{"NUMBER", "old"}, {"WIDTH", "old"}}, i);
    return drawing.text();
}

// Host, resource module, running spreadsheet with an exported sheet, the
// drawing, the import timer and the live link, for one run.
class LiveWorld {
public:
    explicit LiveWorld(int rows)
    {
        host_.install();
        resources_ = LoadLibraryA((LoaderExecutableDirectory() + "/gwell16res.dll").c_str());
        if (!resources_ || !TheGwellApp().AttachProcess(resources_))
            throw std::runtime_error("the resource module gwell16res.dll is not beside the benchmark");
        ComRuntime::Install(&runtime_);
        SetAnsiCodePageForHost(CP_UTF8);
        excel_ = std::make_unique<excelsim::ExcelContext>(excelsim::ExcelInstall::Running);
        excel_->Install(runtime_);
        drawingHost_.install();
        db_ = std::make_unique<AcDbDatabase>();
        if (ReadDxfText(*db_, Drawing(rows), "bench.dxf") != Acad::eOk)
            throw std::runtime_error(DxfErrorMessage(*db_));
        drawingHost_.setWorkingDatabase(db_.get());
        document_ = host_.openDocument(nullptr, "bench.dxf");
        FillWorkbook(rows);
        TheModuleState().importRunning = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        timer_ = SetTimer(nullptr, 0, 1000, ImportTimerProc);
        if (!ConnectLiveLink())
            throw std::runtime_error("the live link did not connect");
    }
    ~LiveWorld()
    {
        KillTimer(nullptr, timer_);
        StopLiveLink();
        CloseHandle(TheModuleState().importRunning);
        TheModuleState().importRunning = nullptr;
        TheModuleState().changeQueue.Clear();
        host_.closeDocument(document_);
        drawingHost_.setWorkingDatabase(nullptr);
        excel_.reset();
        ComRuntime::Install(nullptr);
        TheGwellApp().DetachProcess();
        FreeLibrary(resources_);
    }

    excelsim::ExcelApp& App() { return *excel_->Running(); }
    AcApDocument& Document() { return *document_; }

    // One pass of the host's idle loop; true when it ran an import.
    bool Idle()
    {
        DispatchDueTimers();
        if (!HostHasPendingInput())
            return false;
        std::string command, keyword;
        HostReadInputLine(command);
        HostReadInputLine(keyword);
        if (command != "gwell" || keyword != "_import2")
            throw std::runtime_error("unexpected command string " + command + " " + keyword);
        document_->beginCommand();
        ImportChanges();
        document_->endCommand();
        return true;
    }

    std::string AttributeText(int i, const char* tag)
    {
        AcDbObjectId id;
        if (db_->getAcDbObjectId(id, false, AcDbHandle(Hex(HandleOf(i)).c_str())) != Acad::eOk)
            return {};
        AcDbObjectPointer<AcDbBlockReference> reference(id, AcDb::kForRead);
        std::string found;
        std::unique_ptr<AcDbObjectIterator> it(reference->attributeIterator());
        for (it->start(); !it->done(); it->step()) {
            AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForRead);
            char* t = attribute->tag();
            if (std::string(t) == tag) {
                char* text = attribute->textString();
                found = text;
                acutDelString(text);
            }
            acutDelString(t);
        }
        return found;
    }

private:
    // The layout an export writes: block name, then the attribute columns.
    void FillWorkbook(int rows)
    {
        excel_->Running()->With([&](excelsim::AppData& data) {
            excelsim::Sheet& sheet = *data.AddWorkbook()->sheets[0];
            auto put = [&sheet](int row, int column, std::u16string text) {
                sheet.Update(row, column, [&](excelsim::CellEdit& cell) {
                    cell.SetValue({excelsim::CellKind::Text, 0, false, 0, std::move(text)});
                    cell.SetNumberFormat(u"@");
                });
            };
            put(1, 1, u"Block name");
            put(1, 2, u"NUMBER");
            put(1, 3, u"WIDTH");
            for (int i = 0; i < rows; ++i) {
                put(i + 2, 1, u"DOOR");
                put(i + 2, 2, u"old");
                put(i + 2, 3, u"old");
                sheet.Update(i + 2, 1, [&](excelsim::CellEdit& cell) { cell.SetComment(Utf16(Hex(HandleOf(i)))); });
            }
            return 0;
        });
    }

    AcadHost host_;
    HINSTANCE resources_ = nullptr;
    ComRuntime runtime_;
    std::unique_ptr<excelsim::ExcelContext> excel_;
    DrawingHost drawingHost_;
    std::unique_ptr<AcDbDatabase> db_;
    AcApDocument* document_ = nullptr;
    UINT_PTR timer_ = 0;
};

// Time from the user's edit until the drawing holds the new text.
void BM_EditToDrawing(benchmark::State& state)
{
    LiveWorld world(10);
    double worst = 0, total = 0;
    int n = 0;
    for (auto _ : state) {
        const std::string text = "E-" + std::to_string(n);
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        if (!world.App().EditCell(u"Book1", u"Sheet1", 2, 2, Utf16(text), error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        while (world.AttributeText(0, "NUMBER") != text) {
            world.Idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
                state.SkipWithError("the edit did not reach the drawing within 5 s");
                return;
            }
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        worst = std::max(worst, seconds);
        total += seconds;
        ++n;
    }
    state.counters["mean_ms"] = n ? 1000 * total / n : 0;
    state.counters["worst_ms"] = 1000 * worst;
}

// 10,000 changes queued while a command keeps the document busy, then one
// Import2 run drains them; every attribute is checked afterwards.
void BM_BurstDrain(benchmark::State& state)
{
    constexpr int kRows = 5000;
    LiveWorld world(kRows);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::u16string mark = Utf16(std::to_string(++round));
        std::vector<std::vector<std::u16string>> block(kRows);
        for (int i = 0; i < kRows; ++i)
            block[i] = {u"N" + mark + u"-" + Utf16(std::to_string(i)), u"W" + mark + u"-" + Utf16(std::to_string(i))};
        world.Document().beginCommand(); // busy: the timer sends nothing
        std::string error;
        world.App().PasteCells(u"Book1", u"Sheet1", 2, 2, block, error);
        for (int i = 0; i < 3; ++i)
            world.Idle();
        const std::size_t queued = TheModuleState().changeQueue.Count();
        world.Document().endCommand();
        if (queued != 2 * kRows) {
            state.SkipWithError("the paste did not queue one change per cell");
            return;
        }
        state.ResumeTiming();
        ImportChanges(); // the one Import2 run
        state.PauseTiming();
        int wrong = 0;
        for (int i = 0; i < kRows; ++i) {
            const std::string n = std::to_string(round) + "-" + std::to_string(i);
            wrong += world.AttributeText(i, "NUMBER") != "N" + n;
            wrong += world.AttributeText(i, "WIDTH") != "W" + n;
        }
        if (wrong || TheModuleState().changeQueue.Count() != 0) {
            state.SkipWithError("edits were lost");
            return;
        }
        state.ResumeTiming();
    }
    state.counters["edits_per_second"] =
        benchmark::Counter(2.0 * kRows * state.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_EditToDrawing)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BurstDrain)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
