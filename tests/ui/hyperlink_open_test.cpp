// What a hyperlink click does without its window: the shell's "open" first,
// then the classes root's ".htm" handler with the URL in place of its "%1";
// a link that does not open beeps and says why; a link that opens does not.
#include "support/host_fixture.h"

#include "ui/hyperlink_open.h"

#include <registry_context.h>
#include <shell.h>
#include <shellapi.h>
#include <windows.h>

namespace {

class HyperlinkOpenTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        registry.Install();
        before = SetShellLauncher(&launcher);
        ClearRecordedBeeps();
    }
    void TearDown() override
    {
        SetShellLauncher(before);
        ClearRecordedBeeps();
        HostFixture::TearDown();
    }
    // Seeds the classes root as a browser's installer would.
    void SetClassesRootText(const std::string& subKey, const std::string& text)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
    void InstallHtmHandler(const std::string& command)
    {
        SetClassesRootText(".htm", "htmlfile");
        SetClassesRootText("htmlfile\\shell\\open\\command", command);
    }
    INT_PTR Goto(const std::string& url) { return reinterpret_cast<INT_PTR>(GotoURL(url.c_str(), SW_SHOWNORMAL)); }

    RegistryContext registry;
    RecordingShellLauncher launcher;
    ShellLauncher* before = nullptr;
};

TEST_F(HyperlinkOpenTest, ALinkTheShellOpensIsVisitedWithoutAWord)
{
    EXPECT_TRUE(FollowHyperlink("https://gridwell.example/"));
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].verb, "open");
    EXPECT_EQ(launcher.launches[0].file, "https://gridwell.example/");
    EXPECT_EQ(launcher.launches[0].showCommand, SW_SHOWNORMAL);
    EXPECT_TRUE(RecordedBeeps().empty());
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(HyperlinkOpenTest, TheHtmHandlerTakesTheUrlInPlaceOfItsPlaceholder)
{
    const std::string url = "https://gridwell.example/a b";
    struct Case {
        const char* command;
        std::string expected;
    } cases[] = {
        // Quoted "%1": cut before the opening quote.
        {"\"C:\\Browser\\b.exe\" -nohome \"%1\"", "\"C:\\Browser\\b.exe\" -nohome  " + url},
        {"C:\\Browser\\b.exe %1 -new", "C:\\Browser\\b.exe  " + url},
        // No placeholder: the URL follows the whole command.
        {"C:\\Browser\\b.exe", "C:\\Browser\\b.exe " + url},
    };
    for (const Case& c : cases) {
        InstallHtmHandler(c.command);
        launcher.launches.clear();
        launcher.results = {SE_ERR_NOASSOC, 33};
        EXPECT_EQ(Goto(url), 33) << "the handler's result is the answer";
        ASSERT_EQ(launcher.launches.size(), 2u);
        EXPECT_EQ(launcher.launches[1].kind, ShellLaunch::Kind::WinExec);
        EXPECT_EQ(launcher.launches[1].file, c.expected);
        EXPECT_EQ(launcher.launches[1].showCommand, SW_SHOWNORMAL);
    }
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(HyperlinkOpenTest, ALongUrlReachesTheHandlerWhole)
{
    // The handler's command is read into a path-sized buffer; the URL is not
    // bounded by it and must not be cut or overrun it.
    InstallHtmHandler("b.exe \"%1\"");
    const std::string url = "https://gridwell.example/?q=" + std::string(5000, 'x');
    launcher.results = {SE_ERR_NOASSOC, 33};
    Goto(url);
    ASSERT_EQ(launcher.launches.size(), 2u);
    EXPECT_EQ(launcher.launches[1].file, "b.exe  " + url);
}

TEST_F(HyperlinkOpenTest, WithoutAUsableHandlerTheShellsAnswerStands)
{
    launcher.result = SE_ERR_NOASSOC;
    EXPECT_EQ(Goto("https://x.example/"), SE_ERR_NOASSOC) << "no .htm key";
    SetClassesRootText(".htm", "htmlfile");
    EXPECT_EQ(Goto("https://x.example/"), SE_ERR_NOASSOC) << "no command key";
    // A command longer than the 260 characters the read takes.
    SetClassesRootText("htmlfile\\shell\\open\\command", std::string(300, 'c'));
    EXPECT_EQ(Goto("https://x.example/"), SE_ERR_NOASSOC);
    for (const ShellLaunch& launch : launcher.launches)
        EXPECT_EQ(launch.kind, ShellLaunch::Kind::ShellExecute);
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(HyperlinkOpenTest, AFailedLinkBeepsAndSaysWhy)
{
    launcher.result = SE_ERR_NOASSOC;
    EXPECT_FALSE(FollowHyperlink("https://x.example/"));
    EXPECT_EQ(RecordedBeeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].text,
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(messageBoxes.boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);

    // The handler's own failure is what is reported.
    InstallHtmHandler("absent.exe %1");
    launcher.results = {SE_ERR_NOASSOC, ERROR_FILE_NOT_FOUND};
    EXPECT_FALSE(FollowHyperlink("https://x.example/"));
    EXPECT_EQ(messageBoxes.boxes.back().text, "Unable to open hyperlink:\n\nThe specified file was not found.");
    EXPECT_EQ(HyperlinkErrorText(0), "The operating system is out\nof memory or resources.");
    EXPECT_EQ(HyperlinkErrorText(ERROR_BAD_FORMAT), "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    EXPECT_EQ(HyperlinkErrorText(99), "Unknown Error (99) occurred.");
}

} // namespace
