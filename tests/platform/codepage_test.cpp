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

// Texts of ASCII runs between other characters, in every code page: the
// size asked for is the size written, the text comes back whole, and a
// buffer one unit short fails holding exactly the units that fitted.
TEST_F(CodePageTest, MixedTextsFillBuffersOfEverySize)
{
    const std::u16string texts[] = {
        u"plain ASCII text of some length, longer than any small buffer",
        u"\u00E9t\u00E9 caf\u00E9",
        u"\u20AC 12,50 \u2014 Gr\u00F6\u00DFe",
        u"a\U0001F600b",
        u"\u00FC",
    };
    for (UINT cp : {static_cast<UINT>(CP_UTF8), 1252u}) {
        for (const std::u16string& text : texts) {
            if (cp == 1252 && text.find(u'\xD83D') != std::u16string::npos)
                continue; // no such character in 1252
            const std::string narrow = ToNarrow(cp, text);
            EXPECT_EQ(ToWide(cp, narrow), text) << cp;
            const int size = static_cast<int>(narrow.size());
            if (text.size() < 2)
                continue; // a buffer one short would be no buffer: a size query
            std::string shortNarrow(narrow.size(), '#');
            EXPECT_EQ(WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), shortNarrow.data(),
                                          size - 1, nullptr, nullptr),
                      0);
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
            EXPECT_EQ(shortNarrow.substr(0, narrow.size() - 1), narrow.substr(0, narrow.size() - 1));
            EXPECT_EQ(shortNarrow.back(), '#') << "written past the buffer";
            std::u16string shortWide(text.size(), u'#');
            EXPECT_EQ(MultiByteToWideChar(cp, 0, narrow.data(), size, shortWide.data(),
                                          static_cast<int>(text.size()) - 1),
                      0);
            EXPECT_EQ(shortWide.substr(0, text.size() - 1), text.substr(0, text.size() - 1));
            EXPECT_EQ(shortWide.back(), u'#') << "written past the buffer";
        }
    }
    // NUL-terminated input counts and converts its terminator.
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab\xC3\xA9", -1, wide, 8), 4);
    EXPECT_EQ(std::u16string(wide), u"ab\u00E9");
    char narrow[8];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"ab\u00E9", -1, narrow, 8, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(narrow), "ab\xC3\xA9");
}

} // namespace
