// The module's automation wrappers against the spreadsheet stand-in.
#include "excel/acquire_excel.h"
#include "excel/excel_ops.h"
#include "excel/value_conversion.h"
#include "support/excel_fixture.h"

#include <string>

namespace {

using excelsim::ExcelInstall;

class ExcelOps : public ExcelTest {
protected:
    void SetUp() override
    {
        ExcelTest::SetUp();
        InstallExcel(ExcelInstall::Running);
        ASSERT_EQ(AcquireExcel(AcquireMode::RunningOnly, app_), S_OK);
        book_ = excel::AddWorkbook(excel::GetWorkbooks(app_));
        sheet_ = excel::GetActiveSheet(app_);
    }
    void TearDown() override
    {
        app_ = nullptr;
        book_ = nullptr;
        sheet_ = nullptr;
        ExcelTest::TearDown();
    }
    IDispatchPtr Cell(short row, short column)
    {
        return excel::GetCellItem(excel::GetCells(sheet_), _variant_t(row), _variant_t(column));
    }

    Excel::_ApplicationPtr app_;
    IDispatchPtr book_, sheet_;
};

TEST_F(ExcelOps, WriteAndReadCellsCommentsAndRows)
{
    excel::PutValue(Cell(1, 1), "Name");
    IDispatchPtr number = Cell(2, 1);
    excel::PutValue(number, "12.50");
    excel::PutNumberFormat(Cell(2, 2), _variant_t(u"@"));
    excel::PutValue(Cell(2, 2), "0012");
    // Text shows the displayed form; Value keeps the number.
    EXPECT_EQ(VariantToText(excel::GetText(number)), "12.5");
    EXPECT_EQ(VariantToDouble(excel::GetValue(number)), 12.5);
    EXPECT_EQ(VariantToText(excel::GetValue(Cell(2, 2))), "0012");

    EXPECT_FALSE(excel::GetComment(number));
    excel::AddComment(number, _variant_t(u"1F3"));
    IDispatchPtr comment = excel::GetComment(number);
    ASSERT_TRUE(comment);
    EXPECT_EQ(excel::GetCommentText(comment), "1F3");
    EXPECT_EQ(excel::SetCommentText(comment, "2A0"), "2A0");
    EXPECT_EQ(excel::GetCommentText(excel::GetComment(number)), "2A0");

    IDispatchPtr row = excel::GetEntireRow(excel::GetRange(sheet_, _variant_t(u"A1"), _variant_t(u"A1")));
    excel::PutBold(excel::GetFont(row), _variant_t(true));
    excel::AutoFit(excel::GetColumns(sheet_));
    EXPECT_EQ(excel::GetRow(number), 2);
    EXPECT_EQ(excel::GetColumn(number), 1);
    EXPECT_EQ(excel::GetName(excel::GetParent(excel::GetWorksheet(number))), "Book1");
    excel_->Running()->With([](excelsim::AppData& data) {
        const auto& sheet = *data.activeWorkbook->sheets[0];
        EXPECT_TRUE(sheet.RowBold(1));
        EXPECT_TRUE(sheet.ColumnWidth(1).has_value());
    });
}

TEST_F(ExcelOps, WorkbooksAndSheetsByIndexAndName)
{
    IDispatchPtr sheets = excel::GetWorksheets(book_);
    IDispatchPtr added = excel::AddWorksheet(sheets);
    excel::PutName(added, "Valves");
    EXPECT_EQ(excel::GetCount(sheets), 2);
    EXPECT_EQ(excel::GetName(excel::GetItem(sheets, _variant_t(1L))), "Valves");
    EXPECT_EQ(excel::GetName(excel::GetItem(sheets, _variant_t(u"sheet1"))), "Sheet1");
    excel::Activate(excel::GetItem(sheets, _variant_t(2L)));
    EXPECT_EQ(excel::GetName(excel::GetActiveSheet(book_)), "Sheet1");
    excel::Activate(book_);
    excel::PutVisible(app_, true);
    excel::PutInteractive(app_, true);
    EXPECT_EQ(excel::GetCount(excel::GetWorkbooks(app_)), 1);
    EXPECT_TRUE(excel_->Running()->With([](excelsim::AppData& data) { return data.visible; }));
}

TEST_F(ExcelOps, FailuresRaiseComErrorsWithTheServersInformation)
{
    try {
        excel::PutName(sheet_, "bad/name");
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), static_cast<HRESULT>(0x800A03EC));
        EXPECT_STREQ(static_cast<const char*>(e.Source()), "Microsoft Office Excel");
        EXPECT_NE(std::string(static_cast<const char*>(e.Description())).find("invalid name"), std::string::npos);
    }
    try {
        excel::AddComment(Cell(3, 3), _variant_t(u"a"));
        excel::AddComment(Cell(3, 3), _variant_t(u"b"));
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), static_cast<HRESULT>(0x800A03EC));
    }
    // A fault without error information arrives as the bare HRESULT.
    runtime_.FailDispatch(Excel::dispidCount, 1, RPC_E_CALL_REJECTED);
    try {
        excel::GetCount(excel::GetWorkbooks(app_));
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), RPC_E_CALL_REJECTED);
        EXPECT_EQ(e.ErrorInfo(), nullptr);
    }
    excel_->Quit(excel_->Running());
    EXPECT_THROW(excel::GetName(sheet_), _com_error);
}

TEST_F(ExcelOps, AnEmptyObjectFailsBeforeAnyCall)
{
    excel_->ResetCallCounts();
    IDispatchPtr nothing;
    for (auto call : {+[](IDispatch* o) { excel::GetName(o); }, +[](IDispatch* o) { excel::PutName(o, "x"); },
                      +[](IDispatch* o) { excel::PutValue(o, "x"); }, +[](IDispatch* o) { excel::GetCommentText(o); },
                      +[](IDispatch* o) { excel::SetCommentText(o, "\xFF"); }}) {
        try {
            call(nothing);
            ADD_FAILURE() << "no exception";
        } catch (const _com_error& e) {
            EXPECT_EQ(e.Error(), E_POINTER);
        }
    }
    EXPECT_EQ(excel_->TotalCalls(), 0u);
}

TEST_F(ExcelOps, LongTextsCrossWithoutTruncation)
{
    std::string longText(5000, 'x');
    longText += "\xC5\x82"; // a two-byte character at the end, past the stack buffer
    IDispatchPtr cell = Cell(1, 1);
    excel::PutValue(cell, longText.c_str());
    EXPECT_EQ(VariantToText(excel::GetValue(cell)), longText);
    std::string shortText(4094, 'y');
    excel::PutValue(cell, shortText.c_str());
    EXPECT_EQ(VariantToText(excel::GetValue(cell)), shortText);
}

TEST_F(ExcelOps, CallCountsPerMember)
{
    excel_->ResetCallCounts();
    IDispatchPtr cells = excel::GetCells(sheet_);
    for (short row = 1; row <= 10; ++row)
        excel::PutValue(excel::GetCellItem(cells, _variant_t(row), _variant_t(short(1))), "v");
    EXPECT_EQ(excel_->CallCount(Excel::dispidCells), 1u);
    EXPECT_EQ(excel_->CallCount(Excel::dispidItem), 10u);
    EXPECT_EQ(excel_->CallCount(Excel::dispidValue), 10u);
    EXPECT_EQ(excel_->TotalCalls(), 21u);
}

} // namespace
