// The module's automation wrappers against the spreadsheet stand-in.
#include "automation/acquire_excel.h"
#include "automation/ansi_text.h"
#include "automation/excel_ops.h"
#include "automation/value_conversion.h"
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
        book_ = automation::AddWorkbook(automation::GetWorkbooks(app_));
        sheet_ = automation::GetActiveSheet(app_);
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
        return automation::GetCellItem(automation::GetCells(sheet_), _variant_t(row), _variant_t(column));
    }

    Excel::_ApplicationPtr app_;
    IDispatchPtr book_, sheet_;
};

TEST_F(ExcelOps, WriteAndReadCellsCommentsAndRows)
{
    automation::PutValue(Cell(1, 1), _variant_t(u"Name"));
    IDispatchPtr number = Cell(2, 1);
    automation::PutValue(number, _variant_t(u"12.50"));
    automation::PutNumberFormat(Cell(2, 2), _variant_t(u"@"));
    automation::PutValue(Cell(2, 2), _variant_t(u"0012"));
    // Text shows the displayed form; Value keeps the number.
    EXPECT_EQ(VariantToText(automation::GetText(number)), "12.5");
    EXPECT_EQ(static_cast<double>(automation::GetValue(number)), 12.5);
    EXPECT_EQ(VariantToText(automation::GetValue(Cell(2, 2))), "0012");

    EXPECT_FALSE(automation::GetComment(number));
    automation::AddComment(number, _variant_t(u"1F3"));
    IDispatchPtr comment = automation::GetComment(number);
    ASSERT_TRUE(comment);
    EXPECT_EQ(automation::GetCommentText(comment), "1F3");
    EXPECT_EQ(automation::SetCommentText(comment, "2A0"), "2A0");
    EXPECT_EQ(automation::GetCommentText(automation::GetComment(number)), "2A0");

    IDispatchPtr row = automation::GetEntireRow(automation::GetRange(sheet_, _variant_t(u"A1"), _variant_t(u"A1")));
    automation::PutBold(automation::GetFont(row), _variant_t(true));
    automation::AutoFit(automation::GetColumns(sheet_));
    excel_->Running()->With([](excelsim::AppData& data) {
        const auto& sheet = *data.activeWorkbook->sheets[0];
        EXPECT_TRUE(sheet.RowBold(1));
        EXPECT_TRUE(sheet.ColumnWidth(1).has_value());
    });
}

TEST_F(ExcelOps, WorkbooksAndSheetsByIndexAndName)
{
    IDispatchPtr sheets = automation::GetWorksheets(book_);
    IDispatchPtr added = automation::AddWorksheet(sheets);
    automation::PutName(added, "Valves");
    EXPECT_EQ(automation::GetCount(sheets), 2);
    EXPECT_EQ(automation::GetName(automation::GetItem(sheets, _variant_t(1L))), "Valves");
    EXPECT_EQ(automation::GetName(automation::GetItem(sheets, _variant_t(u"sheet1"))), "Sheet1");
    automation::Activate(automation::GetItem(sheets, _variant_t(2L)));
    EXPECT_EQ(automation::GetName(automation::GetActiveSheet(book_)), "Sheet1");
    automation::Activate(book_);
    automation::PutVisible(app_, true);
    automation::PutInteractive(app_, true);
    EXPECT_EQ(automation::GetCount(automation::GetWorkbooks(app_)), 1);
    EXPECT_TRUE(excel_->Running()->With([](excelsim::AppData& data) { return data.visible; }));
}

TEST_F(ExcelOps, FailuresRaiseComErrorsWithTheServersInformation)
{
    try {
        automation::PutName(sheet_, "bad/name");
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), static_cast<HRESULT>(0x800A03EC));
        EXPECT_STREQ(static_cast<const char*>(e.Source()), "Microsoft Office Excel");
        EXPECT_NE(std::string(static_cast<const char*>(e.Description())).find("invalid name"), std::string::npos);
    }
    try {
        automation::AddComment(Cell(3, 3), _variant_t(u"a"));
        automation::AddComment(Cell(3, 3), _variant_t(u"b"));
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), static_cast<HRESULT>(0x800A03EC));
    }
    // A fault without error information arrives as the bare HRESULT.
    runtime_.FailDispatch(Excel::dispidCount, 1, RPC_E_CALL_REJECTED);
    try {
        automation::GetCount(automation::GetWorkbooks(app_));
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), RPC_E_CALL_REJECTED);
        EXPECT_EQ(e.ErrorInfo(), nullptr);
    }
    excel_->Quit(excel_->Running());
    EXPECT_THROW(automation::GetName(sheet_), _com_error);
}

TEST_F(ExcelOps, AnEmptyObjectFailsBeforeAnyCall)
{
    excel_->ResetCallCounts();
    IDispatchPtr nothing;
    for (auto call : {+[](IDispatch* o) { automation::GetName(o); }, +[](IDispatch* o) { automation::PutName(o, "x"); },
                      +[](IDispatch* o) { automation::PutValue(o, _variant_t(u"x")); }, +[](IDispatch* o) { automation::GetCommentText(o); },
                      +[](IDispatch* o) { automation::SetCommentText(o, "\xFF"); }}) {
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
    automation::PutValue(cell, _variant_t(AnsiToBstr(longText.c_str())));
    EXPECT_EQ(VariantToText(automation::GetValue(cell)), longText);
    std::string shortText(4094, 'y');
    automation::PutValue(cell, _variant_t(AnsiToBstr(shortText.c_str())));
    EXPECT_EQ(VariantToText(automation::GetValue(cell)), shortText);
}

TEST_F(ExcelOps, CallCountsPerMember)
{
    excel_->ResetCallCounts();
    IDispatchPtr cells = automation::GetCells(sheet_);
    for (short row = 1; row <= 10; ++row)
        automation::PutValue(automation::GetCellItem(cells, _variant_t(row), _variant_t(short(1))), _variant_t(u"v"));
    EXPECT_EQ(excel_->CallCount(Excel::dispidCells), 1u);
    EXPECT_EQ(excel_->CallCount(Excel::dispidItem), 10u);
    EXPECT_EQ(excel_->CallCount(Excel::dispidValue), 10u);
    EXPECT_EQ(excel_->TotalCalls(), 21u);
}

} // namespace
