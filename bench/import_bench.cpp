// Imports a worksheet of N rows into a drawing of N attributed block
// references and reports rows per second, attribute texts alone and with the
// property columns applied. Run with 10,000 and 30,000 rows, the per-row time
// shows whether the import stays linear in its rows.
#include "app/gwell_app.h"
#include "common/resource_strings.h"
#include "import/worksheet_import.h"
#include "res/resource.h"
#include "tests/support/dxf_builder.h"

#include <dbdatabase.h>
#include <acad_host.h>
#include <codepage.h>
#include <com_runtime.h>
#include <dbapserv.h>
#include <dbmain.h>
#include <drawing_host.h>
#include <excel_context.h>
#include <loader.h>
#include <utf8_text.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// The handle of reference i, above the handles the writer numbers the
// attributes and end markers with.
unsigned long HandleOf(int i) { return 0x100000UL + static_cast<unsigned long>(i); }

// An R12 drawing: block DOOR with NUMBER and WIDTH, `count` references of it.
std::string Drawing(int count)
{
    DxfBuilder drawing(true);
    drawing.layer("Doors").block("DOOR", {{"NUMBER", "NUMBER", ""}, {"WIDTH", "WIDTH", ""}});
    for (int i = 0; i < count; ++i)
        drawing.insert(DxfWriter::Hex(HandleOf(i)), "DOOR", {{"NUMBER", "old"}, {"WIDTH", "old"}}, i);
    return drawing.text();
}

// Host, resource module, spreadsheet program and drawing for one run.
class ImportWorld {
public:
    explicit ImportWorld(int rows)
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
        FillWorkbook(rows);
    }
    ~ImportWorld()
    {
        drawingHost_.setWorkingDatabase(nullptr);
        excel_.reset();
        ComRuntime::Install(nullptr);
        TheGwellApp().DetachProcess();
        FreeLibrary(resources_);
    }
    std::uint64_t Calls() const { return excel_->TotalCalls(); }

private:
    // The layout an export writes: block name, the attribute columns, then
    // X, Y, Z, rotation, three scale factors and the layer, every value as text.
    void FillWorkbook(int rows)
    {
        const std::pair<const char*, UINT> headers[] = {
            {"Block name", 0},
            {"NUMBER", 0},
            {"WIDTH", 0},
            {"X", IDS_MARKER_X},
            {"Y", IDS_MARKER_Y},
            {"Z", IDS_MARKER_Z},
            {"Rotation", IDS_MARKER_ROTATION},
            {"Scale X", IDS_MARKER_SCALE_X},
            {"Scale Y", IDS_MARKER_SCALE_Y},
            {"Scale Z", IDS_MARKER_SCALE_Z},
            {"Layer", IDS_MARKER_LAYER},
        };
        std::u16string markers[std::size(headers)];
        for (std::size_t c = 0; c < std::size(headers); ++c)
            markers[c] = headers[c].second ? Utf16(ResourceString(headers[c].second)) : u"";
        auto app = excel_->Running();
        app->With([&](excelsim::AppData& data) {
            excelsim::Sheet& sheet = *data.AddWorkbook()->sheets[0];
            auto put = [&sheet](int row, int column, std::u16string text) {
                sheet.Update(row, column, [&](excelsim::CellEdit& cell) {
                    cell.SetValue({excelsim::CellKind::Text, 0, false, 0, std::move(text)});
                    cell.SetNumberFormat(u"@");
                });
            };
            for (std::size_t c = 0; c < std::size(headers); ++c) {
                put(1, static_cast<int>(c) + 1, Utf16(headers[c].first));
                if (headers[c].second)
                    sheet.Update(1, static_cast<int>(c) + 1, [&](excelsim::CellEdit& cell) { cell.SetComment(markers[c]); });
            }
            for (int i = 0; i < rows; ++i) {
                const int row = i + 2;
                const std::string n = std::to_string(i);
                const std::string values[] = {"DOOR", "D-" + n, "900", n + ".5", "2", "0", "90", "1", "1", "1", "Doors"};
                for (std::size_t c = 0; c < std::size(values); ++c)
                    put(row, static_cast<int>(c) + 1, Utf16(values[c]));
                sheet.Update(row, 1, [&](excelsim::CellEdit& cell) { cell.SetComment(Utf16(DxfWriter::Hex(HandleOf(i)))); });
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
};

void ImportRows(benchmark::State& state, bool properties)
{
    const int rows = static_cast<int>(state.range(0));
    ImportWorld world(rows);
    ImportOptions options;
    options.IgnoreProps = !properties;
    std::uint64_t calls = 0;
    for (auto _ : state) {
        const std::uint64_t before = world.Calls();
        if (!ImportFromExcel(options))
            state.SkipWithError("the spreadsheet program was not found");
        calls = world.Calls() - before;
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["rows_per_second"] = benchmark::Counter(static_cast<double>(rows) * state.iterations(),
        benchmark::Counter::kIsRate);
    state.counters["calls_per_row"] = static_cast<double>(calls) / rows;
}

void BM_ImportAttributes(benchmark::State& state) { ImportRows(state, false); }
void BM_ImportWithProperties(benchmark::State& state) { ImportRows(state, true); }

// The first run over a drawing pays for its changed records once; the warm-up
// keeps that out of the per-row figures.
BENCHMARK(BM_ImportAttributes)->Arg(10000)->Arg(30000)->MinWarmUpTime(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportWithProperties)->Arg(10000)->Arg(30000)->MinWarmUpTime(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
