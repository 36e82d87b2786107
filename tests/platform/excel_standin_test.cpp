// Conformance of the spreadsheet stand-in with the program's automation
// behaviour that the module depends on.
#include "support/excel_fixture.h"

#include <ole2.h>

#include <string>

namespace {

using excelsim::ExcelInstall;
namespace X = Excel;

class ExcelStandIn : public ExcelTest {
protected:
    void SetUp() override
    {
        ExcelTest::SetUp();
        InstallExcel(ExcelInstall::Running);
        app_ = Application();
        IDispatchPtr books = Get(app_, X::dispidWorkbooks);
        book_ = Call(books, X::dispidAdd, DISPATCH_METHOD, {vtMissing}).value;
        sheet_ = Get(book_, X::dispidActiveSheet);
    }
    void TearDown() override
    {
        app_ = nullptr;
        book_ = nullptr;
        sheet_ = nullptr;
        ExcelTest::TearDown();
    }
    std::u16string TextOf(IDispatch* cell)
    {
        Reply r = Call(cell, X::dispidText, DISPATCH_PROPERTYGET);
        return r.value.vt == VT_BSTR ? std::u16string(r.value.bstrVal, SysStringLen(r.value.bstrVal)) : u"<none>";
    }
    std::u16string NameOf(IDispatch* object)
    {
        Reply r = Call(object, X::dispidName, DISPATCH_PROPERTYGET);
        return std::u16string(r.value.bstrVal, SysStringLen(r.value.bstrVal));
    }

    IDispatchPtr app_, book_, sheet_;
};

TEST_F(ExcelTest, AbsentInstalledAndRunningAsTheSystemSeesThem)
{
    CLSID clsid;
    InstallExcel(ExcelInstall::Absent);
    EXPECT_EQ(CLSIDFromProgID(u"Excel.Application", &clsid), CO_E_CLASSSTRING);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(CoCreateInstance(X::CLSID_Application, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&unknown)),
              REGDB_E_CLASSNOTREG);

    InstallExcel(ExcelInstall::Installed);
    ASSERT_EQ(CLSIDFromProgID(u"excel.application", &clsid), S_OK);
    EXPECT_TRUE(clsid == X::CLSID_Application);
    EXPECT_EQ(GetActiveObject(clsid, nullptr, &unknown), MK_E_UNAVAILABLE);
    // Only a local server is offered: an in-process request finds nothing.
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
              REGDB_E_CLASSNOTREG);
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(OleRun(unknown), S_OK);
    IDispatch* typed = nullptr;
    EXPECT_EQ(unknown->QueryInterface(__uuidof(X::_Application), reinterpret_cast<void**>(&typed)), S_OK);
    if (typed)
        typed->Release();
    typed = nullptr;
    EXPECT_EQ(unknown->QueryInterface(__uuidof(X::_Workbook), reinterpret_cast<void**>(&typed)), E_NOINTERFACE);
    unknown->Release();
    // The started program now stands in the running object table.
    IUnknown* active = nullptr;
    EXPECT_EQ(GetActiveObject(clsid, nullptr, &active), S_OK);
    if (active)
        active->Release();
    EXPECT_EQ(excel_->Instances().size(), 1u);
}

TEST_F(ExcelTest, InjectedStartFailureAndClassIdText)
{
    InstallExcel(ExcelInstall::Installed);
    runtime_.FailCall(ComCall::CoCreateInstance, 1, CO_E_SERVER_EXEC_FAILURE);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(CoCreateInstance(X::CLSID_Application, nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&unknown)),
              CO_E_SERVER_EXEC_FAILURE);
    CLSID clsid;
    ASSERT_EQ(CLSIDFromString(u"{00024500-0000-0000-C000-000000000046}", &clsid), S_OK);
    EXPECT_TRUE(clsid == X::CLSID_Application);
    EXPECT_EQ(CLSIDFromString(u"{00024500-0000-0000-C000-00000000004}", &clsid), CO_E_CLASSSTRING);
    WCHAR text[39];
    ASSERT_EQ(StringFromGUID2(clsid, text, 39), 39);
    EXPECT_EQ(std::u16string(text), u"{00024500-0000-0000-C000-000000000046}");
    EXPECT_TRUE(excel_->Instances().empty());
}

TEST_F(ExcelStandIn, NewWorkbooksAndSheetsGetTheProgramsNames)
{
    EXPECT_EQ(NameOf(book_), u"Book1");
    EXPECT_EQ(NameOf(sheet_), u"Sheet1");
    IDispatchPtr books = Get(app_, X::dispidWorkbooks);
    IDispatchPtr second = Call(books, X::dispidAdd, DISPATCH_METHOD).value;
    EXPECT_EQ(NameOf(second), u"Book2");
    EXPECT_EQ(NameOf(Get(app_, X::dispidActiveWorkbook)), u"Book2");
    EXPECT_EQ(Call(books, X::dispidCount, DISPATCH_PROPERTYGET).value.lVal, 2);
    EXPECT_EQ(NameOf(Get(books, X::dispidItem, {_variant_t(u"BOOK1")})), u"Book1");
    EXPECT_EQ(Call(books, X::dispidItem, DISPATCH_PROPERTYGET, {_variant_t(3L)}).hr, DISP_E_BADINDEX);

    // Worksheets.Add goes before the active sheet and becomes the active one.
    EXPECT_EQ(Call(book_, X::dispidActivate, DISPATCH_METHOD).hr, S_OK);
    IDispatchPtr sheets = Get(book_, X::dispidWorksheets);
    IDispatchPtr added = Call(sheets, X::dispidAdd, DISPATCH_METHOD, {vtMissing, vtMissing, vtMissing, vtMissing}).value;
    EXPECT_EQ(NameOf(added), u"Sheet2");
    EXPECT_EQ(NameOf(Get(sheets, X::dispidItem, {_variant_t(1L)})), u"Sheet2");
    EXPECT_EQ(NameOf(Get(sheets, X::dispidItem, {_variant_t(2L)})), u"Sheet1");
    EXPECT_EQ(NameOf(Get(app_, X::dispidActiveSheet)), u"Sheet2");
    EXPECT_EQ(Call(sheet_, X::dispidActivate, DISPATCH_METHOD).hr, S_OK);
    IDispatchPtr third = Call(sheets, X::dispidAdd, DISPATCH_METHOD).value;
    EXPECT_EQ(NameOf(Get(sheets, X::dispidItem, {_variant_t(2L)})), u"Sheet3"); // before Sheet1, after Sheet2
    EXPECT_EQ(Call(sheets, X::dispidItem, DISPATCH_PROPERTYGET, {_variant_t(0L)}).hr, DISP_E_BADINDEX);
}

TEST_F(ExcelStandIn, SheetNamesFollowTheProgramsRules)
{
    IDispatchPtr sheets = Get(book_, X::dispidWorksheets);
    IDispatchPtr other = Call(sheets, X::dispidAdd, DISPATCH_METHOD).value;
    EXPECT_EQ(Put(other, X::dispidName, _variant_t(u"Pumps")), S_OK);
    for (const char16_t* bad : {u"PUMPS", u"a:b", u"a/b", u"a\\b", u"a?b", u"a*b", u"a[b", u"a]b", u"",
                                u"12345678901234567890123456789012", u"'quoted'", u"history"}) {
        Reply r = Call(sheet_, X::dispidName, DISPATCH_PROPERTYPUT, {_variant_t(bad)});
        EXPECT_EQ(r.hr, static_cast<HRESULT>(0x800A03EC)) << std::string(_bstr_t(bad));
        EXPECT_STREQ(static_cast<const char*>(r.source), "Microsoft Office Excel");
        EXPECT_GT(r.description.length(), 0u);
    }
    EXPECT_EQ(NameOf(sheet_), u"Sheet1");
    EXPECT_EQ(Put(sheet_, X::dispidName, _variant_t(u"1234567890123456789012345678901")), S_OK);
    EXPECT_EQ(Put(other, X::dispidName, _variant_t(u"pumps")), S_OK); // its own name in another case
    EXPECT_EQ(NameOf(other), u"pumps");
}

TEST_F(ExcelStandIn, EnteredTextBecomesANumberUnlessTheCellIsText)
{
    IDispatchPtr a1 = CellOf(sheet_, 1, 1), b1 = CellOf(sheet_, 1, 2), c1 = CellOf(sheet_, 1, 3);
    EXPECT_EQ(Put(a1, X::dispidValue, _variant_t(u"0012")), S_OK);
    Reply v = Call(a1, X::dispidValue, DISPATCH_PROPERTYGET);
    EXPECT_EQ(v.value.vt, VT_R8);
    EXPECT_EQ(v.value.dblVal, 12.0);
    EXPECT_EQ(TextOf(a1), u"12");

    EXPECT_EQ(Put(b1, X::dispidNumberFormat, _variant_t(u"@")), S_OK);
    EXPECT_EQ(Put(b1, X::dispidValue, _variant_t(u"0012")), S_OK);
    v = Call(b1, X::dispidValue, DISPATCH_PROPERTYGET);
    ASSERT_EQ(v.value.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(v.value.bstrVal), u"0012");

    // The displayed text is the General format; the value keeps every digit.
    EXPECT_EQ(Put(c1, X::dispidValue, _variant_t(u"1234567.891234")), S_OK);
    EXPECT_EQ(TextOf(c1), u"1234567.891");
    EXPECT_EQ(std::u16string(_bstr_t(Call(c1, X::dispidValue, DISPATCH_PROPERTYGET).value)), u"1234567.891234");
    EXPECT_EQ(Put(c1, X::dispidValue, _variant_t(123456789012.0)), S_OK);
    EXPECT_EQ(TextOf(c1), u"1.23457E+11");
    EXPECT_EQ(Put(c1, X::dispidValue, _variant_t(u"'007")), S_OK);
    EXPECT_EQ(TextOf(c1), u"007");
    EXPECT_EQ(Put(c1, X::dispidValue, _variant_t(true)), S_OK);
    EXPECT_EQ(TextOf(c1), u"TRUE");

    // In a locale with a decimal comma, "2,5" is the number and "2.5" is text.
    SetUserNumberSeparators(u',', u'.');
    EXPECT_EQ(Put(a1, X::dispidValue, _variant_t(u"2,5")), S_OK);
    EXPECT_EQ(Call(a1, X::dispidValue, DISPATCH_PROPERTYGET).value.dblVal, 2.5);
    EXPECT_EQ(TextOf(a1), u"2,5");
    EXPECT_EQ(Put(a1, X::dispidValue, _variant_t(u"2.5x")), S_OK);
    EXPECT_EQ(Call(a1, X::dispidValue, DISPATCH_PROPERTYGET).value.vt, VT_BSTR);
}

TEST_F(ExcelStandIn, CommentsAddOnceReadAndReplace)
{
    IDispatchPtr cell = CellOf(sheet_, 2, 1);
    Reply none = Call(cell, X::dispidComment, DISPATCH_PROPERTYGET);
    EXPECT_EQ(none.hr, S_OK);
    EXPECT_EQ(none.value.vt, VT_DISPATCH);
    EXPECT_EQ(none.value.pdispVal, nullptr);

    IDispatchPtr comment = Call(cell, X::dispidAddComment, DISPATCH_METHOD, {_variant_t(u"1F3")}).value;
    ASSERT_TRUE(comment);
    Reply again = Call(cell, X::dispidAddComment, DISPATCH_METHOD, {_variant_t(u"other")});
    EXPECT_EQ(again.hr, static_cast<HRESULT>(0x800A03EC));

    IDispatchPtr found = Get(cell, X::dispidComment);
    ASSERT_TRUE(found);
    Reply read = Call(found, X::dispidText, DISPATCH_METHOD, {vtMissing, vtMissing, vtMissing});
    EXPECT_EQ(std::u16string(read.value.bstrVal), u"1F3");
    Call(found, X::dispidText, DISPATCH_METHOD, {_variant_t(u"2A"), vtMissing, vtMissing});
    EXPECT_EQ(std::u16string(_bstr_t(Call(comment, X::dispidText, DISPATCH_METHOD).value)), u"2A");
    Call(found, X::dispidText, DISPATCH_METHOD, {_variant_t(u"x"), _variant_t(2L), vtMissing});
    EXPECT_EQ(std::u16string(_bstr_t(Call(comment, X::dispidText, DISPATCH_METHOD).value)), u"2xA");
    Call(found, X::dispidText, DISPATCH_METHOD, {_variant_t(u"yz"), _variant_t(2L), _variant_t(true)});
    EXPECT_EQ(std::u16string(_bstr_t(Call(comment, X::dispidText, DISPATCH_METHOD).value)), u"2yz");
}

TEST_F(ExcelStandIn, ItemIsOneBasedAndBoundedByTheGrid)
{
    IDispatchPtr cells = Get(sheet_, X::dispidCells);
    IDispatchPtr corner = Get(cells, X::dispidItem, {_variant_t(short(32767)), _variant_t(short(256))});
    EXPECT_EQ(Call(corner, X::dispidRow, DISPATCH_PROPERTYGET).value.lVal, 32767);
    EXPECT_EQ(Call(corner, X::dispidColumn, DISPATCH_PROPERTYGET).value.lVal, 256);
    EXPECT_TRUE(Get(cells, X::dispidItem, {_variant_t(65536L), _variant_t(1L)}));
    for (auto [row, column] : {std::pair{0L, 1L}, {1L, 0L}, {65537L, 1L}, {1L, 257L}}) {
        Reply r = Call(cells, X::dispidItem, DISPATCH_PROPERTYGET, {_variant_t(row), _variant_t(column)});
        EXPECT_EQ(r.hr, static_cast<HRESULT>(0x800A03EC)) << row << "," << column;
    }
    // Item of a smaller block counts from its own corner.
    IDispatchPtr block = Get(sheet_, X::dispidRange, {_variant_t(u"B3"), _variant_t(u"D5")});
    IDispatchPtr inner = Get(block, X::dispidItem, {_variant_t(2L), _variant_t(2L)});
    EXPECT_EQ(Call(inner, X::dispidRow, DISPATCH_PROPERTYGET).value.lVal, 4);
    EXPECT_EQ(Call(inner, X::dispidColumn, DISPATCH_PROPERTYGET).value.lVal, 3);
    EXPECT_EQ(Call(sheet_, X::dispidRange, DISPATCH_PROPERTYGET, {_variant_t(u"A0"), vtMissing}).hr,
              static_cast<HRESULT>(0x800A03EC));
}

TEST_F(ExcelStandIn, BoldRowsAndIncrementalAutoFit)
{
    IDispatchPtr row = Get(Get(sheet_, X::dispidRange, {_variant_t(u"A3"), _variant_t(u"A3")}), X::dispidEntireRow);
    EXPECT_EQ(Put(Get(row, X::dispidFont), X::dispidBold, _variant_t(true)), S_OK);
    Put(CellOf(sheet_, 1, 2), X::dispidValue, _variant_t(u"short"));
    Put(CellOf(sheet_, 2, 2), X::dispidValue, _variant_t(u"a much longer text"));
    // A cell that is not a whole row or column cannot be autofitted.
    EXPECT_EQ(Call(CellOf(sheet_, 1, 2), X::dispidAutoFit, DISPATCH_METHOD).hr, static_cast<HRESULT>(0x800A03EC));
    IDispatchPtr columns = Get(sheet_, X::dispidColumns);
    EXPECT_EQ(Call(columns, X::dispidAutoFit, DISPATCH_METHOD).hr, S_OK);
    Put(CellOf(sheet_, 2, 2), X::dispidValue, _variant_t(u"mid text"));
    Call(columns, X::dispidAutoFit, DISPATCH_METHOD);
    excel_->Running()->With([&](excelsim::AppData& data) {
        const excelsim::Sheet& sheet = *data.activeWorkbook->sheets[0];
        EXPECT_TRUE(sheet.RowBold(3));
        EXPECT_FALSE(sheet.RowBold(2));
        EXPECT_EQ(sheet.LongestText(2), 8u);
        EXPECT_NEAR(*sheet.ColumnWidth(2), 8.71, 1e-9);
        EXPECT_FALSE(sheet.ColumnWidth(1).has_value());
    });
    EXPECT_TRUE(Call(Get(CellOf(sheet_, 3, 7), X::dispidFont), X::dispidBold, DISPATCH_PROPERTYGET).value.boolVal);
}

TEST_F(ExcelStandIn, CallsAfterQuitReportTheDisconnection)
{
    excel_->Quit(excel_->Running());
    EXPECT_EQ(Call(sheet_, X::dispidName, DISPATCH_PROPERTYGET).hr, RPC_E_DISCONNECTED);
    EXPECT_EQ(Call(app_, X::dispidVisible, DISPATCH_PROPERTYPUT, {_variant_t(true)}).hr, RPC_E_DISCONNECTED);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(GetActiveObject(X::CLSID_Application, nullptr, &unknown), MK_E_UNAVAILABLE);
}

TEST_F(ExcelStandIn, InjectedFaultsCountedCallsAndInvokeRules)
{
    excel_->ResetCallCounts();
    runtime_.FailDispatch(X::dispidName, 2, static_cast<HRESULT>(0x800A03EC), u"Microsoft Office Excel", u"boom");
    EXPECT_EQ(Call(sheet_, X::dispidName, DISPATCH_PROPERTYGET).hr, S_OK);
    Reply failed = Call(sheet_, X::dispidName, DISPATCH_PROPERTYGET);
    EXPECT_EQ(failed.hr, static_cast<HRESULT>(0x800A03EC));
    EXPECT_STREQ(static_cast<const char*>(failed.description), "boom");
    EXPECT_EQ(Call(sheet_, X::dispidName, DISPATCH_PROPERTYGET).hr, S_OK);
    EXPECT_EQ(excel_->CallCount(X::dispidName), 3u);

    // The value of a put travels as the DISPID_PROPERTYPUT named argument.
    VARIANT value = _variant_t(u"x").Detach();
    DISPPARAMS unnamed{&value, nullptr, 1, 0};
    EXPECT_EQ(sheet_->Invoke(X::dispidName, GUID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr, nullptr),
              DISP_E_PARAMNOTFOUND);
    VariantClear(&value);
    EXPECT_EQ(Call(sheet_, 0x7777, DISPATCH_PROPERTYGET).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(sheet_, X::dispidActivate, DISPATCH_PROPERTYPUT, {_variant_t(1L)}).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(sheet_, X::dispidName, DISPATCH_PROPERTYGET, {_variant_t(1L)}).hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(excel_->TotalCalls(), 7u); // refused calls count too
}

TEST_F(ExcelStandIn, ACellObjectCoercesThroughItsValue)
{
    IDispatchPtr cell = CellOf(sheet_, 4, 4);
    Put(cell, X::dispidValue, _variant_t(u"42"));
    _variant_t object(static_cast<IDispatch*>(cell));
    EXPECT_EQ(static_cast<long>(object), 42);
    EXPECT_EQ(std::u16string(_bstr_t(object)), u"42");
}

} // namespace
