// The smart pointer and string holders: ownership, interface conversion,
// creation by ProgID or class-id string.
#include "support/excel_fixture.h"

namespace {

using excelsim::ExcelInstall;
using ComPtrTest = ExcelTest;

TEST_F(ComPtrTest, OwnsOneReferenceAndConvertsBetweenInterfaces)
{
    InstallExcel(ExcelInstall::Installed);
    Excel::_ApplicationPtr app;
    ASSERT_EQ(app.CreateInstance("Excel.Application", nullptr, CLSCTX_LOCAL_SERVER), S_OK);
    IDispatchPtr plain = app; // asks the object for IDispatch
    ASSERT_TRUE(plain);
    Excel::_WorkbookPtr notABook = plain; // the application is no workbook
    EXPECT_FALSE(notABook);
    IUnknownPtr unknown(plain.GetInterfacePtr());
    EXPECT_TRUE(unknown);

    IDispatch* raw = plain.Detach();
    EXPECT_FALSE(plain);
    plain.Attach(raw); // takes the reference back without adding one
    _variant_t held(static_cast<IDispatch*>(plain));
    Excel::_ApplicationPtr fromVariant(held);
    EXPECT_TRUE(fromVariant);
    EXPECT_THROW(Excel::_ApplicationPtr(_variant_t(3L)), _com_error);
}

TEST_F(ComPtrTest, CreationByClassIdStringAndProgId)
{
    InstallExcel(ExcelInstall::Installed);
    Excel::_ApplicationPtr app;
    EXPECT_EQ(app.GetActiveObject(u"{00024500-0000-0000-C000-000000000046}"), MK_E_UNAVAILABLE);
    EXPECT_EQ(app.CreateInstance(u"{00024500-0000-0000-C000-000000000046}"), S_OK);
    Excel::_ApplicationPtr found;
    EXPECT_EQ(found.GetActiveObject("Excel.Application"), S_OK);
    EXPECT_EQ(found.GetActiveObject("No.Such.Program"), CO_E_CLASSSTRING);
    EXPECT_EQ(found.CreateInstance(u"{bad}"), CO_E_CLASSSTRING);
}

TEST_F(ComPtrTest, BstrHolderConvertsThroughTheAnsiCodePage)
{
    _bstr_t text("Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(text.length(), 5u);
    EXPECT_STREQ(static_cast<const char*>(text), "Gr\xC3\xBC\xC3\x9F" "e");
    ASSERT_TRUE(SetAnsiCodePageForHost(1252));
    EXPECT_STREQ(static_cast<const char*>(_bstr_t(text)), "Gr\xFC\xDF" "e"); // a copy converts afresh
    _bstr_t joined = text;
    joined += _bstr_t(u"!");
    EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(joined)), u"Grüße!");
    EXPECT_TRUE(_bstr_t(u"a") == _bstr_t("a"));
    EXPECT_EQ(static_cast<const char*>(_bstr_t()), nullptr);
}

} // namespace
