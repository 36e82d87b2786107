// ShellExecuteA, WinExec and MessageBeep as the module relies on them: the
// old-style result (above 32 on success, the error code otherwise), the
// desktop opener for links and documents, and the launcher and beep record
// of the control face.
#include "support/environment_scope.h"
#include "support/fake_opener.h"
#include "support/leak_checked_test.h"
#include "support/scratch_dir.h"

#include <shell.h>
#include <shellapi.h>
#include <windows.h>

#include <unistd.h>

namespace {

using ShellExecuteTest = LeakCheckedTest;

INT_PTR Open(const std::string& file, const char* verb = "open")
{
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, verb, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

// Native: a missing file is ERROR_FILE_NOT_FOUND (2), a missing folder ERROR_PATH_NOT_FOUND (3).
TEST_F(ShellExecuteTest, MissingTargetsAnswerTheirWin32Codes)
{
    ScratchDir dir;
    // Windows tells a missing file from a missing folder.
    EXPECT_EQ(Open(dir.File("absent.htm")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(dir.File("no-folder/absent.htm")), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Open(""), ERROR_FILE_NOT_FOUND);
    // A DOS path of the module's view names the same file.
    EXPECT_EQ(Open("Z:" + dir.File("absent.htm")), ERROR_FILE_NOT_FOUND);
}

// Native: nothing registered for the target or verb answers SE_ERR_NOASSOC (31).
TEST_F(ShellExecuteTest, WithoutAnOpenerNothingIsAssociated)
{
    ScratchDir empty;
    EnvironmentScope environment;
    environment.Set("PATH", empty.Path());
    // The "no association" answer a machine without a browser gives.
    EXPECT_EQ(Open("https://gridwell.example/"), SE_ERR_NOASSOC);
    // A verb the stand-in has no handler for, on a file that exists.
    WriteFileBytes(empty.File("page.htm"), "<p>");
    EXPECT_EQ(Open(empty.File("page.htm"), "print"), SE_ERR_NOASSOC);
}

// Native: success is an HINSTANCE above 32 (42 on current Windows) and the call does not wait for the viewer.
TEST_F(ShellExecuteTest, LinksAndDocumentsGoToTheDesktopOpenerWithoutWaiting)
{
    ScratchDir dir;
    EnvironmentScope environment;
    FakeOpener opener(dir, environment);
    // Success is a value above 32; Windows answers 42.
    EXPECT_GT(Open("https://gridwell.example/manual?x=1&y=2"), 32);
    EXPECT_EQ(opener.Opened(), "https://gridwell.example/manual?x=1&y=2\n") << "one argument, no shell";
    WriteFileBytes(dir.File("page one.htm"), "<p>");
    EXPECT_GT(Open("Z:" + dir.File("page one.htm")), 32);
    EXPECT_NE(opener.Opened().find(dir.File("page one.htm") + "\n"), std::string::npos)
        << "a DOS path reaches the opener as the Unix path";
}

// Control face: a test decides every result, so any failure code can be produced without a viewer.
TEST_F(ShellExecuteTest, AnInstalledLauncherSeesEveryCallAndAnswersForIt)
{
    RecordingShellLauncher launcher;
    launcher.results = {SE_ERR_NOASSOC, 0};
    ShellLauncher* before = SetShellLauncher(&launcher);
    EXPECT_EQ(Open("https://a.example/"), SE_ERR_NOASSOC);
    EXPECT_EQ(Open("https://b.example/", nullptr), 0);
    EXPECT_EQ(Open("https://c.example/"), 42);
    EXPECT_EQ(WinExec("\"C:\\Program Files\\browser.exe\" https://d.example/", SW_SHOW), 42u);
    SetShellLauncher(before);
    ASSERT_EQ(launcher.launches.size(), 4u);
    EXPECT_EQ(launcher.launches[0].verb, "open");
    EXPECT_EQ(launcher.launches[0].showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(launcher.launches[1].verb, "") << "the null default verb";
    EXPECT_EQ(launcher.launches[3].kind, ShellLaunch::Kind::WinExec);
    EXPECT_EQ(launcher.launches[3].file, "\"C:\\Program Files\\browser.exe\" https://d.example/");
}

// Native: WinExec takes the quoted program from the command line and answers above 31 or an error code.
TEST_F(ShellExecuteTest, WinExecRunsTheQuotedProgramWithItsArguments)
{
    ScratchDir dir;
    const std::string program = dir.File("my browser");
    WriteFileBytes(program, "#!/bin/sh\nprintf '%s|' \"$@\" >'" + dir.File("args.txt") + "'\n");
    chmod(program.c_str(), 0755);
    // Above 31 is success for WinExec.
    EXPECT_GT(WinExec(("\"" + program + "\" -new https://x.example/").c_str(), SW_SHOW), 31u);
    for (int i = 0; i < 200 && !FileExists(dir.File("args.txt")); ++i)
        usleep(10000);
    usleep(20000);
    EXPECT_EQ(ReadFileBytes(dir.File("args.txt")), "-new|https://x.example/|");
    EXPECT_EQ(WinExec(("\"" + dir.File("absent") + "\" x").c_str(), SW_SHOW), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    WriteFileBytes(dir.File("plain.txt"), "not a program");
    chmod(dir.File("plain.txt").c_str(), 0755);
    EXPECT_EQ(WinExec(dir.File("plain.txt").c_str(), SW_SHOW), static_cast<UINT>(ERROR_BAD_FORMAT))
        << "a file that cannot be run";
}

} // namespace
