// The spreadsheet stand-in used from two threads at once, as the module's
// main thread and the live-link worker use it.
#include "support/excel_fixture.h"

#include <atomic>
#include <thread>

namespace {

using excelsim::ExcelInstall;
namespace X = Excel;

TEST_F(ExcelTest, ConcurrentWritersReadersAndSheetAddsStayConsistent)
{
    InstallExcel(ExcelInstall::Running);
    IDispatchPtr app = Application();
    Call(Get(app, X::dispidWorkbooks), X::dispidAdd, DISPATCH_METHOD);
    IDispatchPtr book = Get(app, X::dispidActiveWorkbook);
    IDispatchPtr sheet = Get(book, X::dispidActiveSheet);
    constexpr long kRows = 300;
    std::atomic<bool> failed{false};

    std::thread writer([&] {
        for (long row = 1; row <= kRows; ++row) {
            IDispatchPtr cell = CellOf(sheet, row, 1);
            if (Put(cell, X::dispidValue, _variant_t(row)) != S_OK)
                failed = true;
            Call(Get(sheet, X::dispidColumns), X::dispidAutoFit, DISPATCH_METHOD);
        }
    });
    std::thread reader([&] {
        IDispatchPtr sheets = Get(book, X::dispidWorksheets);
        for (long i = 0; i < kRows; ++i) {
            Reply r = Call(CellOf(sheet, i % kRows + 1, 1), X::dispidText, DISPATCH_PROPERTYGET);
            if (r.hr != S_OK || r.value.vt != VT_BSTR)
                failed = true;
            if (i % 50 == 0)
                Call(sheets, X::dispidAdd, DISPATCH_METHOD);
        }
    });
    writer.join();
    reader.join();
    EXPECT_FALSE(failed);
    IDispatchPtr sheets = Get(book, X::dispidWorksheets);
    EXPECT_EQ(Call(sheets, X::dispidCount, DISPATCH_PROPERTYGET).value.lVal, 7);
    for (long row : {1L, 150L, kRows})
        EXPECT_EQ(Call(CellOf(sheet, row, 1), X::dispidValue, DISPATCH_PROPERTYGET).value.dblVal, row);
    excel_->Running()->With([](excelsim::AppData& data) {
        EXPECT_EQ(data.activeWorkbook->sheets.back()->LongestText(1), 3u);
    });
}

} // namespace
