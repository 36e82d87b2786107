// hhctrl.ocx of this platform: found by its bare name, its entry point by
// ordinal 14 as Windows' module exports it, and how it shows a help file
// (the page beside it, on the desktop or named on the command line).
#include "support/environment_scope.h"
#include "support/fake_opener.h"
#include "support/host_fixture.h"
#include "support/scratch_dir.h"

#include <htmlhelp.h>
#include <loader.h>
#include <shell.h>
#include <shellapi.h>
#include <windows.h>

namespace {

using HtmlHelpProc = decltype(&HtmlHelpA);

class HtmlHelpTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        library = LoadLibraryA("hhctrl.ocx");
        ASSERT_NE(library, nullptr) << "a bare name is found beside the program";
        htmlHelp = reinterpret_cast<HtmlHelpProc>(GetProcAddress(library, MAKEINTRESOURCEA(14)));
        ASSERT_NE(htmlHelp, nullptr);
        WriteFileBytes(dir.File("gwell.html"), "<h1>Manual</h1>");
    }
    void TearDown() override
    {
        FreeLibrary(library);
        HostFixture::TearDown();
    }

    ScratchDir dir;
    EnvironmentScope environment;
    HMODULE library = nullptr;
    HtmlHelpProc htmlHelp = nullptr;
};

// Native: hhctrl.ocx exports HtmlHelpA as ordinal 14; an unknown ordinal is ERROR_PROC_NOT_FOUND.
TEST_F(HtmlHelpTest, TheEntryPointIsOrdinal14AndHtmlHelpA)
{
    EXPECT_EQ(reinterpret_cast<HtmlHelpProc>(GetProcAddress(library, "HtmlHelpA")), htmlHelp);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(15)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // The fault injection a test uses to take the entry point away.
    LoaderFailProcAddressOf("hhctrl.ocx", 1);
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(14)), nullptr);
    EXPECT_NE(GetProcAddress(library, MAKEINTRESOURCEA(14)), nullptr) << "only the next call fails";
}

// No desktop: the user is told where the page is.
TEST_F(HtmlHelpTest, WithoutADesktopThePageIsNamedOnTheCommandLine)
{
    environment.WithoutDesktop();
    RecordingShellLauncher launcher;
    ShellLauncher* before = SetShellLauncher(&launcher);
    const std::string chm = "Z:" + dir.File("gwell.chm");
    EXPECT_NE(htmlHelp(nullptr, chm.c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
    SetShellLauncher(before);
    EXPECT_EQ(commandLine.output, "\nHelp: " + dir.File("gwell.html") + "\n");
    EXPECT_TRUE(launcher.launches.empty());
}

// The viewer shows the default topic; "::/topic" after the file name is not part of it.
TEST_F(HtmlHelpTest, OnADesktopTheOpenerShowsThePage)
{
    FakeOpener opener(dir, environment);
    RecordingShellLauncher launcher;
    ShellLauncher* before = SetShellLauncher(&launcher);
    const std::string chm = "Z:" + dir.File("gwell.chm") + "::/index.htm";
    EXPECT_NE(htmlHelp(nullptr, chm.c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
    SetShellLauncher(before);
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].file, dir.File("gwell.html"));
    EXPECT_EQ(launcher.launches[0].verb, "open");
    EXPECT_EQ(commandLine.output, "");
}

// Native: the viewer itself reports a help file it cannot open and answers null.
TEST_F(HtmlHelpTest, AMissingHelpFileIsReportedInOneLine)
{
    environment.WithoutDesktop();
    const std::string chm = "Z:" + dir.File("other.chm");
    EXPECT_EQ(htmlHelp(nullptr, chm.c_str(), HH_DISPLAY_TOPIC, 0), nullptr);
    EXPECT_EQ(commandLine.output, "\nHTML Help: cannot open the file " + chm + ".\n");
    commandLine.output.clear();
    EXPECT_EQ(htmlHelp(nullptr, ("Z:" + dir.File("gwell.chm")).c_str(), 0x0F /* another command */, 0), nullptr);
    EXPECT_EQ(commandLine.output, "");
}

} // namespace
