// Bytes from files shown in messages: text stays readable, anything a
// terminal would act on or could not show is written as \xHH.
#include "text_for_terminal.h"
#include "support/leak_checked_test.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TextForTerminalTest = LeakCheckedTest;

TEST_F(TextForTerminalTest, KeepsPrintableUtf8)
{
    EXPECT_EQ(TextForTerminal("plain ASCII ~"), "plain ASCII ~");
    EXPECT_EQ(TextForTerminal("\xC3\x84rger \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\xA0"),
              "\xC3\x84rger \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\xA0");
}

TEST_F(TextForTerminalTest, EscapesControlsAndBytesThatAreNotUtf8)
{
    using namespace std::string_literals;
    EXPECT_EQ(TextForTerminal("a\x1B[2Jb\r\n\t\x7F"), "a\\x1B[2Jb\\x0D\\x0A\\x09\\x7F");
    EXPECT_EQ(TextForTerminal("nul\0end"s), "nul\\x00end");
    // C1 controls: CSI (U+009B) moves the cursor like ESC [ does.
    EXPECT_EQ(TextForTerminal("\xC2\x9B" "2J"), "\\xC2\\x9B2J");
    // Latin-1 text, a stray continuation byte, a sequence cut short.
    EXPECT_EQ(TextForTerminal("caf\xE9"), "caf\\xE9");
    EXPECT_EQ(TextForTerminal("\x80x"), "\\x80x");
    EXPECT_EQ(TextForTerminal("\xE2\x82"), "\\xE2\\x82");
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF.
    EXPECT_EQ(TextForTerminal("\xC0\xAF"), "\\xC0\\xAF");
    EXPECT_EQ(TextForTerminal("\xE0\x80\xAF"), "\\xE0\\x80\\xAF");
    EXPECT_EQ(TextForTerminal("\xED\xA0\x80"), "\\xED\\xA0\\x80");
    EXPECT_EQ(TextForTerminal("\xF4\x90\x80\x80"), "\\xF4\\x90\\x80\\x80");
    EXPECT_EQ(TextForTerminal("\xF8\x88\x80\x80\x80"), "\\xF8\\x88\\x80\\x80\\x80");
}

} // namespace
