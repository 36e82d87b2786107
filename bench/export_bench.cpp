// Export throughput: 10,000 and 100,000 block references spread over ten
// blocks, exported into a running spreadsheet program with the default
// options (one worksheet per block, every property column, cells as text,
// autofit). Reports references per second and automation calls per value
// row, and fails when the larger export takes more than 12 times as long as
// the smaller one (the export must grow linearly).
#include "app/gwell_app.h"
#include "export/export.h"
#include "settings/settings.h"
#include "tests/support/dxf_drawing.h"

#include <acad_host.h>
#include <com_runtime.h>
#include <dbdatabase.h>
#include <drawing_host.h>
#include <excel_context.h>
#include <loader.h>
#include <message_box.h>
#include <registry_context.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kBlocks = 10;

std::string Drawing(int references)
{
    DxfDrawing drawing;
    drawing.layer("Fixtures");
    for (int b = 0; b < kBlocks; ++b)
        drawing.block("B" + std::to_string(b), {{"NUMBER", "Number?", "0", false},
                                                {"KIND", "Kind?", "plain", false},
                                                {"NOTE", "Note?", "", false}});
    for (int i = 0; i < references; ++i) {
        DxfInsert insert;
        insert.block = "B" + std::to_string(i % kBlocks);
        insert.layer = "Fixtures";
        insert.x = i * 1.25;
        insert.y = -i * 0.5;
        insert.rotationDegrees = i % 360;
        insert.attributes = {{"NUMBER", std::to_string(i)}, {"KIND", "fitting"}, {"NOTE", "n" + std::to_string(i % 97)}};
        drawing.insert(insert);
    }
    return drawing.text();
}

// Everything the export runs against, made once per benchmark.
struct ExportWorld {
    AcadHost host;
    RegistryContext registry;
    ComRuntime runtime;
    DrawingHost drawingHost;
    AcDbDatabase database{false};
    HMODULE resources = nullptr;

    explicit ExportWorld(int references)
    {
        host.install();
        registry.Install();
        ComRuntime::Install(&runtime);
        drawingHost.install();
        resources = LoadLibraryA((LoaderExecutableDirectory() + "/gwell16res.dll").c_str());
        if (!resources || !TheGwellApp().AttachProcess(resources))
            std::fprintf(stderr, "export_bench: the resource module does not load\n");
        if (ReadDxfText(database, Drawing(references), "bench.dxf") != Acad::eOk)
            std::fprintf(stderr, "export_bench: %s\n", DxfErrorMessage(database).c_str());
        drawingHost.setWorkingDatabase(&database);
    }
    ~ExportWorld()
    {
        drawingHost.setWorkingDatabase(nullptr);
        TheGwellApp().DetachProcess();
        FreeLibrary(resources);
        ComRuntime::Install(nullptr);
    }
};

std::map<long, double> g_secondsPerExport;

void BM_Export(benchmark::State& state)
{
    const int references = static_cast<int>(state.range(0));
    ExportWorld world(references);
    std::vector<std::string> names;
    for (int b = 0; b < kBlocks; ++b)
        names.push_back("B" + std::to_string(b));
    Settings settings; // the defaults

    double calls = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto excel = std::make_unique<excelsim::ExcelContext>(excelsim::ExcelInstall::Running);
        excel->Install(world.runtime);
        excel->ResetCallCounts();
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        const bool ran = RunExport(names, settings, false);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        state.PauseTiming();
        if (!ran)
            state.SkipWithError("the export did not run");
        calls += static_cast<double>(excel->TotalCalls());
        excel.reset();
        state.ResumeTiming();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["refs_per_second"] =
        benchmark::Counter(static_cast<double>(references) * iterations, benchmark::Counter::kIsRate);
    state.counters["calls_per_value_row"] = calls / iterations / references;
    g_secondsPerExport[references] = seconds / iterations;
}

BENCHMARK(BM_Export)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto small = g_secondsPerExport.find(10000);
    const auto large = g_secondsPerExport.find(100000);
    if (small == g_secondsPerExport.end() || large == g_secondsPerExport.end() || small->second <= 0)
        return 0; // a filter ran only part of the set
    const double ratio = large->second / small->second;
    std::printf("100,000 references took %.2f times as long as 10,000 (linear: at most 12)\n", ratio);
    return ratio <= 12.0 ? 0 : 1;
}
