// Code-page conversions as Windows performs them.
#include "support/leak_checked_test.h"
#include <codepage.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct CodePageTest : LeakCheckedTest {
    void TearDown() override { SetAnsiCodePageForHost(CP_UTF8); }
};

std::u16string ToWide(UINT cp, const std::string& text, DWORD flags = 0)
{
    int n = MultiByteToWideChar(cp, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    if (n) {
        EXPECT_EQ(MultiByteToWideChar(cp, flags, text.data(), static_cast<int>(text.size()), out.data(), n), n);
    }
    return out;
}

std::string ToNarrow(UINT cp, const std::u16string& text, BOOL* usedDefault = nullptr)
{
    int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, usedDefault);
    std::string out(static_cast<std::size_t>(n), '\0');
    if (n)
        WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, usedDefault);
    return out;
}

TEST_F(CodePageTest, SingleByteTablesRoundTrip)
{
    EXPECT_EQ(ToWide(1252, "\x80\xE9\x9F"), u"\u20AC\u00E9\u0178");
    EXPECT_EQ(ToWide(1250, "\xB3\xF8\x8A"), u"\u0142\u0159\u0160");
    EXPECT_EQ(ToNarrow(1250, u"\u0142\u0159"), "\xB3\xF8");
    BOOL used = FALSE;
    EXPECT_EQ(ToNarrow(1252, u"a\u0142", &used), "a?");
    EXPECT_TRUE(used);
}

TEST_F(CodePageTest, AnsiCodePageFollowsTheHostSetting)
{
    EXPECT_EQ(GetACP(), 65001u);
    EXPECT_EQ(ToWide(CP_ACP, "\xC5\x82"), u"\u0142");
    ASSERT_TRUE(SetAnsiCodePageForHost(1250));
    EXPECT_EQ(ToWide(CP_ACP, "\xB3"), u"\u0142");
    EXPECT_FALSE(SetAnsiCodePageForHost(437));
    EXPECT_EQ(GetACP(), 1250u);
}

TEST_F(CodePageTest, InvalidUtf8FailsOnlyWhenAsked)
{
    const std::string bad = "a\xC3(b";
    EXPECT_EQ(ToWide(CP_UTF8, bad), u"a\uFFFD(b");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad.data(), -1, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    // Encoded surrogates and overlong forms are invalid too.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xED\xA0\x80", 3, nullptr, 0), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC0\xAF", 2, nullptr, 0), 0);
    EXPECT_EQ(ToWide(CP_UTF8, "\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST_F(CodePageTest, SizesTerminatorAndShortBuffers)
{
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, nullptr, 0), 4); // counts the NUL
    WCHAR two[2];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, two, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    char one[1];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00E9", 1, one, 1, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, two, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    BOOL used;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, one, 1, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

} // namespace
