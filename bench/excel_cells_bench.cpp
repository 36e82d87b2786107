// Cost of cell access through the automation wrappers against the
// spreadsheet stand-in: writing rows of texts with autofit, and the
// displayed-text scan a blank-row search makes. Prints automation calls per
// cell next to the times.
#include "com_runtime.h"
#include "automation/acquire_excel.h"
#include "automation/ansi_text.h"
#include "excel_context.h"
#include "automation/excel_ops.h"
#include "automation/value_conversion.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct Session {
    ComRuntime runtime;
    excelsim::ExcelContext excel{excelsim::ExcelInstall::Running};
    Excel::_ApplicationPtr app;
    IDispatchPtr sheet;

    Session()
    {
        ComRuntime::Install(&runtime);
        excel.Install(runtime);
        AcquireExcel(AcquireMode::RunningOnly, app);
        automation::AddWorkbook(automation::GetWorkbooks(app));
        sheet = automation::GetActiveSheet(app);
    }
    ~Session()
    {
        sheet = nullptr;
        app = nullptr;
        ComRuntime::Install(nullptr);
    }
};

void WriteRowsWithAutofit(benchmark::State& state)
{
    const short columns = 8;
    for (auto _ : state) {
        Session s;
        IDispatchPtr cells = automation::GetCells(s.sheet);
        for (short row = 1; row <= state.range(0); ++row) {
            for (short column = 1; column <= columns; ++column) {
                IDispatchPtr cell = automation::GetCellItem(cells, _variant_t(row), _variant_t(column));
                automation::PutNumberFormat(cell, _variant_t(u"@"));
                automation::PutValue(cell, _variant_t(AnsiToBstr(("value " + std::to_string(row * column)).c_str())));
            }
            automation::AutoFit(automation::GetColumns(s.sheet));
        }
        state.counters["calls/cell"] =
            static_cast<double>(s.excel.TotalCalls()) / static_cast<double>(state.range(0) * columns);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * columns);
}
BENCHMARK(WriteRowsWithAutofit)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void ScanDisplayedTexts(benchmark::State& state)
{
    Session s;
    IDispatchPtr cells = automation::GetCells(s.sheet);
    for (long row = 1; row <= 100; ++row)
        automation::PutValue(automation::GetCellItem(cells, _variant_t(row), _variant_t(1L)), _variant_t(u"x"));
    for (auto _ : state) {
        long blank = 0;
        for (long row = 1; row <= state.range(0) && !blank; ++row) {
            bool empty = true;
            for (long column = 1; column <= 255 && empty; ++column)
                empty = VariantToText(automation::GetText(automation::GetCellItem(cells, _variant_t(row), _variant_t(column)))).empty();
            if (empty)
                blank = row;
        }
        benchmark::DoNotOptimize(blank);
    }
}
BENCHMARK(ScanDisplayedTexts)->Arg(101)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
