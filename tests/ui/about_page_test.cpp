// The About page and its link through the test driver: the module's own
// version line, the link that opens its URL with the shell (a recording
// launcher: no viewer starts), the beep and message when it cannot, the
// colours a link answers with, and F1 in the options dialog.
#include "export/export_drawing_fixture.h"

#include "common/resource_strings.h"
#include "res/resource.h"
#include "settings/settings_registry.h"
#include "ui/hyperlink.h"
#include "ui/options_dialog.h"

#include <shell.h>
#include <shellapi.h>

namespace {

int g_helpRequests = 0;
void CountHelpRequest() { ++g_helpRequests; }

// The About page's template with only the link attached, so a test can see
// the link's state after its dialog has closed.
class LinkDialog : public CDialog {
public:
    LinkDialog() : CDialog(IDD_ABOUT_PAGE) {}
    CHyperLink link;
    std::string url = "https://gridwell.example/manual";

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_ABOUT_LINK, link);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        link.SetWindowText("");
        link.SetURL(url);
        link.AttachLink();
        return TRUE;
    }
};

class AboutPageTest : public ExportDrawingFixture {
protected:
    void SetUp() override
    {
        ExportDrawingFixture::SetUp();
        before = SetShellLauncher(&launcher);
        ClearRecordedBeeps();
        g_helpRequests = 0;
    }
    void TearDown() override
    {
        SetShellLauncher(before);
        ClearRecordedBeeps();
        ExportDrawingFixture::TearDown();
    }
    // Runs the link dialog with `actions`; the form as the last action left it.
    DialogForm RunLink(LinkDialog& dialog, std::initializer_list<std::string> actions)
    {
        DialogForm form;
        dialogs.Next([&](DialogSession& session) {
            for (const std::string& action : actions)
                Act(session, action);
            form = session.form();
            Act(session, "cancel");
        });
        ResourceSourceScope resources;
        dialog.DoModal();
        return form;
    }

    RecordingShellLauncher launcher;
    ShellLauncher* before = nullptr;
};

// Pins: the About page shows the file version of the module it is given
// ("%u.%u.%u.%u" of the fixed file version), not the host's, and its link
// shows the link text and opens the link URL with the shell's "open" verb,
// shown normally, without a beep or a message.
TEST_F(AboutPageTest, ShowsTheModulesVersionAndALinkThatOpensItsUrl)
{
    HMODULE module = LoadLibraryA(GW_BIN_DIR "/version_test_module.so");
    ASSERT_NE(module, nullptr);
    DialogForm about;
    dialogs.Next([&](DialogSession& session) {
        Act(session, "tab 2");
        about = session.form();
        Act(session, "click 1018");
        Act(session, "cancel");
    });
    EXPECT_FALSE(RunOptionsDialog({module, nullptr}));
    FreeLibrary(module);

    EXPECT_EQ(about.control(IDC_ABOUT_VERSION)->text, "16.2.54.300");
    EXPECT_EQ(about.control(IDC_ABOUT_TEXT)->text, ResourceString(IDS_ABOUT_TEXT));
    EXPECT_EQ(about.control(IDC_ABOUT_LINK)->text, ResourceString(IDS_ABOUT_LINK_TEXT));
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].verb, "open");
    EXPECT_EQ(launcher.launches[0].file, ResourceString(IDS_ABOUT_LINK_URL));
    EXPECT_EQ(launcher.launches[0].showCommand, SW_SHOWNORMAL);
    EXPECT_TRUE(RecordedBeeps().empty());
    EXPECT_TRUE(messageBoxes.boxes.empty());

    // Without a module there is no version to read: the line stays empty.
    dialogs.Next([&](DialogSession& session) {
        Act(session, "tab 2");
        about = session.form();
        Act(session, "cancel");
    });
    RunOptionsDialog();
    EXPECT_EQ(about.control(IDC_ABOUT_VERSION)->text, "");
}

// Pins: a link whose shell call fails (31, no association) and has no ".htm"
// handler to fall back on sounds the exclamation beep, shows "Unable to open
// hyperlink:" with the text for 31 and an exclamation icon, and stays
// unvisited (link colour); one that opens turns to the visited colour.
TEST_F(AboutPageTest, ALinkThatFailsBeepsSaysWhyAndStaysUnvisited)
{
    launcher.result = SE_ERR_NOASSOC;
    LinkDialog failed;
    RunLink(failed, {"click 1018"});
    EXPECT_EQ(RecordedBeeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].text,
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(messageBoxes.boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_FALSE(failed.link.GetVisited());
    EXPECT_EQ(failed.link.TextColour(), RGB(0, 0, 238));

    launcher.result = 42;
    LinkDialog opened;
    const DialogForm form = RunLink(opened, {"click 1018"});
    EXPECT_TRUE(opened.link.GetVisited());
    EXPECT_EQ(opened.link.TextColour(), RGB(85, 26, 139));
    // An empty window text shows the URL, which is what is opened.
    EXPECT_EQ(form.control(IDC_ABOUT_LINK)->text, opened.url);
    EXPECT_EQ(launcher.launches.back().file, opened.url);
    EXPECT_EQ(RecordedBeeps().size(), 1u);
}

// Pins: the link answers the colour request reflected from its parent with
// its text colour (link colour before, visited colour after a click that
// opened), a transparent background and the hollow brush; a plain static
// text leaves the request to the dialog (no brush).
TEST_F(AboutPageTest, TheColourRequestIsAnsweredByTheLinkItself)
{
    std::vector<DrawnShape> before, after, plain;
    LinkDialog dialog;
    dialogs.Next([&](DialogSession& session) {
        EXPECT_TRUE(session.paint(IDC_ABOUT_LINK, before).done);
        Act(session, "click 1018");
        EXPECT_TRUE(session.paint(IDC_ABOUT_LINK, after).done);
        EXPECT_TRUE(session.paint(IDC_ABOUT_TEXT, plain).done);
        Act(session, "cancel");
    });
    {
        ResourceSourceScope resources;
        dialog.DoModal();
    }
    const HGDIOBJ hollow = GetStockObject(HOLLOW_BRUSH);
    ASSERT_NE(hollow, nullptr);
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(before[0].kind, DrawnShape::Kind::TextColour);
    EXPECT_EQ(before[0].colour, CHyperLink::kLinkColour);
    EXPECT_EQ(before[1].kind, DrawnShape::Kind::BkMode);
    EXPECT_EQ(before[1].flags, static_cast<UINT>(TRANSPARENT));
    EXPECT_EQ(before[2].kind, DrawnShape::Kind::Brush);
    EXPECT_EQ(before[2].brush, hollow);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0].colour, CHyperLink::kVisitedColour);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].kind, DrawnShape::Kind::Brush);
    EXPECT_EQ(plain[0].brush, nullptr);
}

// Pins: the colour request answers the hover colour while the pointer is
// over the link, the system highlight colour when the hover colour is -1,
// and the caller's colours otherwise; a static text without SS_NOTIFY does
// not take clicks (the link sets it when attached).
TEST_F(AboutPageTest, ColoursFollowHoverAndVisitedAndOnlyANotifyingStaticTakesClicks)
{
    CHyperLink link;
    link.SetColours(RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9));
    EXPECT_EQ(link.TextColour(), RGB(1, 2, 3));
    link.SetVisited(true);
    EXPECT_EQ(link.TextColour(), RGB(4, 5, 6));
    link.SetHovering(true);
    EXPECT_EQ(link.TextColour(), RGB(7, 8, 9));
    link.SetColours(RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(link.TextColour(), GetSysColor(COLOR_HIGHLIGHT));

    LinkDialog dialog;
    dialogs.Next([&](DialogSession& session) {
        const ActionResult plain = session.perform("click 1028");
        EXPECT_FALSE(plain.done);
        EXPECT_NE(plain.why.find("SS_NOTIFY"), std::string::npos) << plain.why;
        Act(session, "cancel");
    });
    ResourceSourceScope resources;
    dialog.DoModal();
    EXPECT_TRUE(launcher.launches.empty());
}

// Pins: F1 in the options dialog runs the Help keyword's work and counts as
// handled; the dialog stays open and nothing reaches the registry.
TEST_F(AboutPageTest, F1InTheOptionsDialogOpensTheHelpAndKeepsTheDialogOpen)
{
    bool openAfterHelp = false;
    dialogs.Next([&](DialogSession& session) {
        Act(session, "help");
        Act(session, "tab 1");
        Act(session, "help");
        openAfterHelp = !session.ended();
        EXPECT_FALSE(session.perform("help me").done);
        Act(session, "cancel");
    });
    EXPECT_FALSE(RunOptionsDialog({nullptr, &CountHelpRequest}));
    EXPECT_EQ(g_helpRequests, 2);
    EXPECT_TRUE(openAfterHelp);
    Settings stored;
    LoadSettings(stored);
    EXPECT_EQ(stored, Settings{});

    // Without a help opener F1 is still answered, and does nothing.
    dialogs.NextActions({"help", "cancel"});
    EXPECT_FALSE(RunOptionsDialog());
    EXPECT_EQ(g_helpRequests, 2);
}

} // namespace
