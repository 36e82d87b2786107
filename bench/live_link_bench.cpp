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

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

void Group(std::ostringstream& out, int code, const std::string& value) { out << code << "\n" << value << "\n"; }

std::string Hex(long n)
{
    char text[24];
    std::snprintf(text, sizeof text, "%lX", n);
    return text;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// The handle of reference i; its two attributes and end marker follow it.
long HandleOf(int i) { return 0x1000 + 4L * i; }

// An R12 drawing: block DOOR with NUMBER and WIDTH, `count` references of it.
std::string Drawing(int count)
{
    std::ostringstream out;
    Group(out, 0, "SECTION");
    Group(out, 2, "HEADER");
    Group(out, 9, "$ACADVER");
    Group(out, 1, "AC1009");
    Group(out, 0, "ENDSEC");
    Group(out, 0, "SECTION");
    Group(out, 2, "TABLES");
    Group(out, 0, "TABLE");
    Group(out, 2, "LAYER");
    for (const char* layer : {"0", "Doors"}) {
        Group(out, 0, "LAYER");
        Group(out, 2, layer);
        Group(out, 70, "0");
    }
    Group(out, 0, "ENDTAB");
    Group(out, 0, "ENDSEC");
    Group(out, 0, "SECTION");
    Group(out, 2, "BLOCKS");
    for (const char* name : {"$MODEL_SPACE", "$PAPER_SPACE", "DOOR"}) {
        Group(out, 0, "BLOCK");
        Group(out, 8, "0");
        Group(out, 2, name);
        Group(out, 70, "0");
        Group(out, 10, "0.0");
        Group(out, 20, "0.0");
        Group(out, 30, "0.0");
        if (std::string(name) == "DOOR") {
            int k = 0;
            for (const char* tag : {"NUMBER", "WIDTH"}) {
                Group(out, 0, "ATTDEF");
                Group(out, 8, "0");
                Group(out, 10, std::to_string(10.0 * k++));
                Group(out, 20, "0.0");
                Group(out, 30, "0.0");
                Group(out, 40, "2.5");
                Group(out, 1, "");
                Group(out, 3, tag);
                Group(out, 2, tag);
                Group(out, 70, "0");
            }
        }
        Group(out, 0, "ENDBLK");
        Group(out, 8, "0");
    }
    Group(out, 0, "ENDSEC");
    Group(out, 0, "SECTION");
    Group(out, 2, "ENTITIES");
    for (int i = 0; i < count; ++i) {
        const long handle = HandleOf(i);
        Group(out, 0, "INSERT");
        Group(out, 5, Hex(handle));
        Group(out, 8, "0");
        Group(out, 66, "1");
        Group(out, 2, "DOOR");
        Group(out, 10, std::to_string(i));
        Group(out, 20, "0.0");
        Group(out, 30, "0.0");
        int k = 0;
        for (const char* tag : {"NUMBER", "WIDTH"}) {
            Group(out, 0, "ATTRIB");
            Group(out, 5, Hex(handle + 1 + k));
            Group(out, 8, "0");
            Group(out, 10, std::to_string(i + 10.0 * k++));
            Group(out, 20, "0.0");
            Group(out, 30, "0.0");
            Group(out, 40, "2.5");
            Group(out, 1, "old");
            Group(out, 2, tag);
            Group(out, 70, "0");
        }
        Group(out, 0, "SEQEND");
        Group(out, 5, Hex(handle + 3));
        Group(out, 8, "0");
    }
    Group(out, 0, "ENDSEC");
    Group(out, 0, "EOF");
    return out.str();
}

std::string BinDirectory()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string text(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    return text.substr(0, text.rfind('/'));
}

// Host, resource module, running spreadsheet with an exported sheet, the
// drawing, the import timer and the live link, for one run.
class LiveWorld {
public:
    explicit LiveWorld(int rows)
    {
        host_.install();
        resources_ = LoadLibraryA((BinDirectory() + "/gwell16res.dll").c_str());
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
                sheet.Update(row, column, [&](excelsim::Cell& cell) {
                    cell.value.kind = excelsim::CellKind::Text;
                    cell.value.text = std::move(text);
                    cell.numberFormat = u"@";
                });
            };
            put(1, 1, u"Block name");
            put(1, 2, u"NUMBER");
            put(1, 3, u"WIDTH");
            for (int i = 0; i < rows; ++i) {
                put(i + 2, 1, u"DOOR");
                put(i + 2, 2, u"old");
                put(i + 2, 3, u"old");
                sheet.Update(i + 2, 1, [&](excelsim::Cell& cell) { cell.comment = Wide(Hex(HandleOf(i))); });
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
        if (!world.App().EditCell(u"Book1", u"Sheet1", 2, 2, Wide(text), error)) {
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
        const std::u16string mark = Wide(std::to_string(++round));
        std::vector<std::vector<std::u16string>> block(kRows);
        for (int i = 0; i < kRows; ++i)
            block[i] = {u"N" + mark + u"-" + Wide(std::to_string(i)), u"W" + mark + u"-" + Wide(std::to_string(i))};
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
