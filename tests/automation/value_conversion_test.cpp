// Conversions of cell values and of texts across the automation boundary.
#include "automation/ansi_text.h"
#include "automation/value_conversion.h"
#include "support/com_fixture.h"

#include <windows.h>

namespace {

using ValueConversion = ComTest;

template <class F>
HRESULT Raised(F&& f)
{
    try {
        f();
    } catch (const _com_error& e) {
        return e.Error();
    }
    return S_OK;
}

TEST_F(ValueConversion, NumbersFromEveryKindOfCell)
{
    EXPECT_EQ(VariantToLong(_variant_t()), 0);
    EXPECT_EQ(VariantToText(_variant_t()), "");
    EXPECT_EQ(VariantToLong(_variant_t(7.5)), 8);
    EXPECT_EQ(VariantToLong(_variant_t(u"-3")), -3);
    EXPECT_EQ(VariantToText(_variant_t(true)), "-1");
    EXPECT_EQ(VariantToText(_variant_t(2.5)), "2.5");
    SetUserNumberSeparators(u',', u' ');
    EXPECT_EQ(VariantToText(_variant_t(2.5)), "2,5");
}

TEST_F(ValueConversion, RefusedConversionsRaiseTheCoercionsCode)
{
    EXPECT_EQ(Raised([] { VariantToLong(_variant_t(u"P-101")); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Raised([] { VariantToLong(_variant_t(3e10)); }), DISP_E_OVERFLOW);
    EXPECT_EQ(Raised([] { VariantToText(_variant_t(static_cast<long>(kErrorNotAvailable), VT_ERROR)); }),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Raised([] { VariantToObject(_variant_t(5L)); }), DISP_E_TYPEMISMATCH);
    EXPECT_FALSE(VariantToObject(_variant_t()));
    EXPECT_FALSE(VariantToObject(_variant_t(static_cast<IDispatch*>(nullptr))));
}

TEST_F(ValueConversion, AnsiTextFollowsTheHostCodePage)
{
    EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(AnsiToBstr("\xC5\x82\xC3\xB3"))), u"\u0142\u00F3");
    ASSERT_TRUE(SetAnsiCodePageForHost(1250));
    _bstr_t polish = AnsiToBstr("\xB3\xF3");
    EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(polish)), u"\u0142\u00F3");
    EXPECT_EQ(BstrToAnsi(polish), "\xB3\xF3");
    EXPECT_EQ(BstrToAnsi(_bstr_t(u"\u20AC\u4E2D")), "\x80?"); // no such character in the code page
}

TEST_F(ValueConversion, TextsPastTheStackBufferConvertWhole)
{
    // Short texts convert straight into a stack buffer; one that does not fit
    // there, by its characters or only by its bytes, must not come back cut.
    const std::size_t fits = static_cast<std::size_t>(kStackConversionChars);
    for (std::size_t length : {fits, fits + 1, 3 * fits}) {
        std::u16string wide(length, u'x');
        wide.back() = u'z';
        const std::string narrow = BstrToAnsi(wide.data(), static_cast<UINT>(wide.size()));
        EXPECT_EQ(narrow.size(), length);
        EXPECT_EQ(narrow.back(), 'z');
    }
    // 3,000 characters, 6,000 bytes in UTF-8.
    std::u16string polish(3000, u'\u0142');
    polish.back() = u'\u00F3';
    const std::string utf8 = BstrToAnsi(polish.data(), static_cast<UINT>(polish.size()));
    ASSERT_EQ(utf8.size(), 6000u);
    EXPECT_EQ(utf8.substr(0, 2), "\xC5\x82");
    EXPECT_EQ(utf8.substr(5998), "\xC3\xB3");
    ASSERT_TRUE(SetAnsiCodePageForHost(1250));
    EXPECT_EQ(BstrToAnsi(polish.data(), static_cast<UINT>(polish.size())), std::string(2999, '\xB3') + "\xF3");
}

TEST_F(ValueConversion, InvalidAnsiBytesRaiseTheWin32Code)
{
    EXPECT_EQ(Raised([] { AnsiToBstr("ok\xC3("); }), static_cast<HRESULT>(0x80070459));
    std::string longBad(6000, 'a');
    longBad[5000] = '\xFF';
    EXPECT_EQ(Raised([&] { AnsiToBstr(longBad.c_str()); }), static_cast<HRESULT>(0x80070459));
    EXPECT_EQ(AnsiToBstr(nullptr).GetBSTR(), nullptr);
}

} // namespace
