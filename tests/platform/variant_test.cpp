// Conformance of the variant and BSTR stand-ins with Windows' coercion rules.
#include "support/com_fixture.h"

#include <comdef.h>

#include <string>

namespace {

using VariantTest = ComTest;

std::u16string TextOf(const VARIANT& v) { return std::u16string(v.bstrVal, SysStringLen(v.bstrVal)); }

std::u16string Coerced(const _variant_t& source)
{
    _variant_t out;
    EXPECT_EQ(VariantChangeType(&out, &source, 0, VT_BSTR), S_OK);
    return out.vt == VT_BSTR ? TextOf(out) : u"<not text>";
}

HRESULT CoerceFails(const _variant_t& source, VARTYPE type)
{
    _variant_t out(7L);
    HRESULT hr = VariantChangeType(&out, &source, 0, type);
    EXPECT_EQ(out.vt, VT_I4) << "a failed coercion must leave the destination alone";
    return hr;
}

TEST_F(VariantTest, BstrKeepsLengthAndEmbeddedNul)
{
    const char16_t text[] = {u'a', 0, u'b'};
    BSTR b = SysAllocStringLen(text, 3);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringLen(b), 3u);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[3], 0);
    SysFreeString(b);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
}

TEST_F(VariantTest, EmptyCoercesToZeroAndEmptyText)
{
    _variant_t empty;
    EXPECT_EQ(static_cast<long>(empty), 0);
    EXPECT_EQ(static_cast<short>(empty), 0);
    EXPECT_EQ(static_cast<double>(empty), 0.0);
    _bstr_t text = empty;
    EXPECT_NE(text.GetBSTR(), nullptr);
    EXPECT_EQ(text.length(), 0u);
}

TEST_F(VariantTest, NumbersAndBooleansToText)
{
    EXPECT_EQ(Coerced(_variant_t(true)), u"-1");
    EXPECT_EQ(Coerced(_variant_t(false)), u"0");
    EXPECT_EQ(Coerced(_variant_t(12.5)), u"12.5");
    EXPECT_EQ(Coerced(_variant_t(0.1)), u"0.1");
    EXPECT_EQ(Coerced(_variant_t(1e20)), u"1E+20");
    EXPECT_EQ(Coerced(_variant_t(1.0 / 3.0)), u"0.333333333333333");
    EXPECT_EQ(Coerced(_variant_t(-42L)), u"-42");
    EXPECT_EQ(Coerced(_variant_t(2.5f)), u"2.5");
    SetUserNumberSeparators(u',', u'.');
    EXPECT_EQ(Coerced(_variant_t(12.5)), u"12,5");
}

TEST_F(VariantTest, TextToNumbersInTheUserLocale)
{
    EXPECT_EQ(static_cast<double>(_variant_t(u" 1,234.5 ")), 1234.5);
    EXPECT_EQ(static_cast<double>(_variant_t(u"-2.5E3")), -2500.0);
    EXPECT_EQ(static_cast<long>(_variant_t(u"2.5")), 2);  // halves go to even
    EXPECT_EQ(static_cast<long>(_variant_t(u"3.5")), 4);
    EXPECT_EQ(static_cast<short>(_variant_t(-1.5)), -2);
    SetUserNumberSeparators(u',', u'.');
    EXPECT_EQ(static_cast<double>(_variant_t(u"12,5")), 12.5);
    EXPECT_EQ(static_cast<double>(_variant_t(u"1.000,25")), 1000.25);
}

TEST_F(VariantTest, RefusedCoercionsGiveWindowsCodes)
{
    EXPECT_EQ(CoerceFails(_variant_t(u"abc"), VT_R8), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(CoerceFails(_variant_t(u""), VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(CoerceFails(_variant_t(u"1.5x"), VT_R8), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(CoerceFails(vtMissing, VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(CoerceFails(_variant_t(u"40000"), VT_I2), DISP_E_OVERFLOW);
    EXPECT_EQ(CoerceFails(_variant_t(3e9), VT_I4), DISP_E_OVERFLOW);
    EXPECT_EQ(CoerceFails(_variant_t(1e300), VT_R4), DISP_E_OVERFLOW);
    VARIANT null;
    VariantInit(&null);
    null.vt = VT_NULL;
    EXPECT_EQ(CoerceFails(_variant_t(null), VT_I4), DISP_E_TYPEMISMATCH);
    try {
        double d = _variant_t(u"no number");
        ADD_FAILURE() << d;
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), DISP_E_TYPEMISMATCH);
    }
}

TEST_F(VariantTest, InPlaceChangeAndCopyOwnTheirData)
{
    _variant_t v(u"17");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 17);
    _variant_t a(u"text");
    _variant_t b = a;
    EXPECT_NE(a.bstrVal, b.bstrVal);
    a.Clear();
    EXPECT_EQ(TextOf(b), u"text");
    EXPECT_EQ(vtMissing.vt, VT_ERROR);
    EXPECT_EQ(vtMissing.scode, DISP_E_PARAMNOTFOUND);
}

} // namespace
