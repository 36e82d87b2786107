// Cost of cell access through the automation wrappers against the
// spreadsheet stand-in: writing rows of texts with autofit, and the
// displayed-text scan a blank-row search makes. Prints automation calls per
// cell next to the times.
#include "com/com_runtime.h"
#include "excel/acquire_excel.h"
#include "excel/excel_context.h"
#include "excel/excel_ops.h"
#include "excel/value_conversion.h"

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
        excel::AddWorkbook(excel::GetWorkbooks(app));
        sheet = excel::GetActiveSheet(app);
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
        IDispatchPtr cells = excel::GetCells(s.sheet);
        for (short row = 1; row <= state.range(0); ++row) {
            for (short column = 1; column <= columns; ++column) {
                IDispatchPtr cell = excel::GetCellItem(cells, _variant_t(row), _variant_t(column));
                excel::PutNumberFormat(cell, _variant_t(u"@"));
                excel::PutValue(cell, ("value " + std::to_string(row * column)).c_str());
            }
            excel::AutoFit(excel::GetColumns(s.sheet));
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
    IDispatchPtr cells = excel::GetCells(s.sheet);
    for (long row = 1; row <= 100; ++row)
        excel::PutValue(excel::GetCellItem(cells, _variant_t(row), _variant_t(1L)), "x");
    for (auto _ : state) {
        long blank = 0;
        for (long row = 1; row <= state.range(0) && !blank; ++row) {
            bool empty = true;
            for (long column = 1; column <= 255 && empty; ++column)
                empty = VariantToText(excel::GetText(excel::GetCellItem(cells, _variant_t(row), _variant_t(column)))).empty();
            if (empty)
                blank = row;
        }
        benchmark::DoNotOptimize(blank);
    }
}
BENCHMARK(ScanDisplayedTexts)->Arg(101)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
