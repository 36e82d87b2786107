#include "automation/com_error_report.h"
#include "support/leak_checked_test.h"

#include <com_object.h>
#include <comdef.h>
#include <oleauto.h>

#include <gtest/gtest.h>

namespace {

// A COM error with error information carrying these texts.
_com_error ErrorWithInfo(HRESULT hr, const char16_t* source, const char16_t* description)
{
    ICreateErrorInfo* create = nullptr;
    EXPECT_EQ(CreateErrorInfo(&create), S_OK);
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    create->QueryInterface(__uuidof(IErrorInfo), reinterpret_cast<void**>(&info));
    create->Release();
    return _com_error(hr, info); // takes over the reference
}

using ComErrorMeaningTest = LeakCheckedTest;

TEST_F(ComErrorMeaningTest, SystemTextLosesItsLineEndAndFallbacksFollowTheRanges)
{
    EXPECT_EQ(ComErrorMeaning(E_POINTER), "Invalid pointer");
    EXPECT_EQ(ComErrorMeaning(static_cast<HRESULT>(0x80040200)), "Unknown error 0x80040200");
    EXPECT_EQ(ComErrorMeaning(static_cast<HRESULT>(0x80040205)), "IDispatch error #5");
    EXPECT_EQ(ComErrorMeaning(static_cast<HRESULT>(0x8004FFFF)), "IDispatch error #65023");
    EXPECT_EQ(ComErrorMeaning(static_cast<HRESULT>(0x80050000)), "Unknown error 0x80050000");
    EXPECT_EQ(ComErrorMeaning(static_cast<HRESULT>(0x00000123)), "Unknown error 0x123");
}

using ComErrorReportTest = LeakCheckedTest;

TEST_F(ComErrorReportTest, WithoutErrorInformationSourceAndDescriptionAreNull)
{
    const std::string text = ComErrorReportText(_com_error(static_cast<HRESULT>(0x800A03EC)));
    EXPECT_EQ(text, "COM error!\nCode = 800a03ec\nCode meaning = Unknown error 0x800A03EC\n"
                    "Source = null\nDescription = null\n");
    EXPECT_EQ(ComLiveObjectCount(), 0);
}

TEST_F(ComErrorReportTest, ErrorInformationTextsAreShownAndEmptyOnesAreNull)
{
    {
        const std::string text
            = ComErrorReportText(ErrorWithInfo(DISP_E_EXCEPTION, u"Microsoft Excel", u"That name is taken."));
        EXPECT_EQ(text, "COM error!\nCode = 80020009\nCode meaning = Exception occurred.\n"
                        "Source = Microsoft Excel\nDescription = That name is taken.\n");
        const std::string empty = ComErrorReportText(ErrorWithInfo(E_FAIL, u"", u"only this"));
        EXPECT_NE(empty.find("Source = null\nDescription = only this\n"), std::string::npos);
    }
    EXPECT_EQ(ComLiveObjectCount(), 0);
}

TEST_F(ComErrorReportTest, OverlongDescriptionIsCutToItsLineBuffer)
{
    std::u16string longText(3000, u'x');
    const std::string text = ComErrorReportText(ErrorWithInfo(E_FAIL, u"S", longText.c_str()));
    const std::size_t start = text.find("Description = ");
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(text.size() - start, 1023u) << "one line of at most 1023 characters and its terminator";
    EXPECT_EQ(ComLiveObjectCount(), 0);
}

} // namespace
