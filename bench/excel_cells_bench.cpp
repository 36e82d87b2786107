// Cost of cell access through the automation wrappers against the
// spreadsheet stand-in: writing rows of texts with autofit, and the
// displayed-text scan a blank-row search makes. Prints automation calls per
// cell next to the times. And the memory of a sheet filled as an export
// fills it, per cell.
#include "com_runtime.h"
#include "automation/acquire_excel.h"
#include "automation/ansi_text.h"
#include "excel_context.h"
#include "automation/excel_ops.h"
#include "automation/value_conversion.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>

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

// A full sheet of an export: every cell "@" and a text, the handle as the
// note of each row's first cell. Heap bytes are what malloc hands out
// (its own overhead included), model bytes what the sheet counts for itself.
void ExportSheetBytesPerCell(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const char16_t* texts[] = {u"DOOR", u"D-", u"900", u".5", u"2", u"0", u"90", u"1", u"1", u"1", u"Doors"};
    const int columns = static_cast<int>(std::size(texts));
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        auto sheet = std::make_unique<excelsim::Sheet>(u"Sheet1");
        for (int row = 1; row <= rows; ++row) {
            const std::string n = std::to_string(row);
            for (int column = 1; column <= columns; ++column) {
                std::u16string text = texts[column - 1];
                if (column == 2 || column == 4)
                    text = column == 2 ? text + std::u16string(n.begin(), n.end()) : std::u16string(n.begin(), n.end()) + text;
                sheet->Update(row, column, [&](excelsim::CellEdit& cell) { cell.SetNumberFormat(u"@"); });
                sheet->Update(row, column, [&](excelsim::CellEdit& cell) {
                    cell.SetValue({excelsim::CellKind::Text, 0, false, 0, std::move(text)});
                });
            }
            char handle[16];
            std::snprintf(handle, sizeof handle, "%X", 0x1000 + row * 5);
            const std::string h = handle;
            sheet->Update(row, 1, [&](excelsim::CellEdit& cell) { cell.SetComment(std::u16string(h.begin(), h.end())); });
        }
        const double cells = static_cast<double>(sheet->CellCount());
        state.counters["heap bytes/cell"] = static_cast<double>(mallinfo2().uordblks - before) / cells;
        state.counters["model bytes/cell"] = static_cast<double>(sheet->CellBytes()) / cells;
    }
}
BENCHMARK(ExportSheetBytesPerCell)->Arg(65535)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
