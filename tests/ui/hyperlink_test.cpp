// The link control's own behaviour through the test driver: the underlined
// font it is given, the window fitted to its text for each alignment, the
// tooltip that shows the URL, the cursor it asks for and the hover state the
// mouse drives (with the capture that tells it the pointer has left).
#include "export/export_drawing_fixture.h"

#include "common/resource_strings.h"
#include "res/resource.h"
#include "ui/hyperlink.h"

#include <functional>
#include <optional>
#include <vector>

namespace
{

// The About page's template with only the link attached; `addStyle` and
// `box` change the static text before the link is attached to it.
class FitDialog : public CDialog
{
public:
    explicit FitDialog(DWORD addStyle = 0)
        : CDialog(IDD_ABOUT_PAGE)
        , m_addStyle(addStyle)
    {
    }
    CHyperLink link;
    std::string url = "https://gridwell.example/manual";
    HCURSOR cursor = nullptr;
    std::optional<RECT> box;
    RECT before {};

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_ABOUT_LINK, link);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        link.ModifyStyle(0, m_addStyle);
        if (box)
            link.SetWindowPos(
                nullptr, box->left, box->top, box->right - box->left, box->bottom - box->top, SWP_NOZORDER);
        link.GetWindowRect(&before);
        link.SetWindowText("");
        link.SetURL(url);
        if (cursor)
            link.SetLinkCursor(cursor);
        link.AttachLink();
        return TRUE;
    }

private:
    DWORD m_addStyle;
};

using HyperLinkTest = ExportDrawingFixture;

// Runs `dialog`; `during` acts while it is open.
void RunLink(FitDialog& dialog, ScriptedDialogs& dialogs, const std::function<void(DialogSession&)>& during)
{
    dialogs.Next([&](DialogSession& session) {
        during(session);
        Act(session, "cancel");
    });
    ResourceSourceScope resources;
    dialog.DoModal();
}

// The link's text in the shell font's 6 x 13 cell.
constexpr LONG kTextWidth = 31 * 6; // "https://gridwell.example/manual"
constexpr LONG kTextHeight = 13;

// Pins: the link's font is the dialog's font with underlining and nothing
// else changed, the link's tooltip is active and shows the URL, and the
// window is fitted to its text from the old left and top when the static is
// left-aligned.
TEST_F(HyperLinkTest, AttachUnderlinesTheFontShowsTheUrlAsTipAndFitsALeftText)
{
    FitDialog dialog;
    ASSERT_EQ(dialog.url.size(), 31u);
    LOGFONTA linkFont {}, plainFont {};
    DialogForm form;
    RunLink(dialog, dialogs, [&](DialogSession& session) {
        ASSERT_NE(dialog.link.GetFont(), nullptr);
        EXPECT_EQ(dialog.link.GetFont()->GetLogFont(&linkFont), static_cast<int>(sizeof(LOGFONTA)));
        CWnd* plain = dialog.GetDlgItem(IDC_ABOUT_TEXT);
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(plain->GetFont()->GetLogFont(&plainFont), static_cast<int>(sizeof(LOGFONTA)));
        form = session.form();
    });
    EXPECT_EQ(linkFont.lfUnderline, TRUE);
    EXPECT_EQ(plainFont.lfUnderline, FALSE);
    EXPECT_STREQ(linkFont.lfFaceName, plainFont.lfFaceName);
    EXPECT_EQ(linkFont.lfHeight, plainFont.lfHeight);
    EXPECT_EQ(linkFont.lfWeight, plainFont.lfWeight);

    const FormControl* link = form.control(IDC_ABOUT_LINK);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->tip, dialog.url);
    EXPECT_EQ(link->rect.left, dialog.before.left);
    EXPECT_EQ(link->rect.top, dialog.before.top);
    EXPECT_EQ(link->rect.right, dialog.before.left + kTextWidth);
    EXPECT_EQ(link->rect.bottom, dialog.before.top + kTextHeight);
    // The template box is wider than the text: fitting did change it.
    EXPECT_GT(dialog.before.right - dialog.before.left, kTextWidth);
}

// Pins: a centred static keeps the middle of its old box, a right-aligned
// one its old right edge; with SS_CENTERIMAGE the text height is centred on
// the old box, and without it taken from the old top.
TEST_F(HyperLinkTest, FittingFollowsTheStaticsAlignment)
{
    FitDialog centred(SS_CENTER | SS_CENTERIMAGE);
    centred.box = RECT { 20, 40, 420, 81 }; // 400 x 41
    DialogForm form;
    RunLink(centred, dialogs, [&](DialogSession& session) { form = session.form(); });
    const RECT c = form.control(IDC_ABOUT_LINK)->rect;
    EXPECT_EQ(c.left, 20 + (400 - kTextWidth) / 2);
    EXPECT_EQ(c.right - c.left, kTextWidth);
    EXPECT_EQ(c.top, 40 + (41 - kTextHeight) / 2);
    EXPECT_EQ(c.bottom - c.top, kTextHeight);

    FitDialog right(SS_RIGHT);
    right.box = RECT { 20, 40, 420, 81 };
    RunLink(right, dialogs, [&](DialogSession& session) { form = session.form(); });
    const RECT r = form.control(IDC_ABOUT_LINK)->rect;
    EXPECT_EQ(r.right, 420);
    EXPECT_EQ(r.left, 420 - kTextWidth);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.bottom, 40 + kTextHeight);
}

// Pins: without a link cursor (there is no help program to load it from) a
// cursor request over the link shows the normal arrow; with one set, the
// link shows it and says it handled the request.
TEST_F(HyperLinkTest, TheCursorRequestShowsTheLinkCursorOnlyWhenThereIsOne)
{
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(arrow, hand);

    FitDialog plain;
    HCURSOR shownPlain = nullptr;
    RunLink(plain, dialogs, [&](DialogSession&) {
        EXPECT_EQ(plain.link.GetLinkCursor(), nullptr);
        SetCursor(hand);
        plain.link.SendMessage(
            WM_SETCURSOR, reinterpret_cast<WPARAM>(plain.link.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        shownPlain = GetCursor();
    });
    EXPECT_EQ(shownPlain, arrow);

    FitDialog linked;
    linked.cursor = hand;
    HCURSOR shownLinked = nullptr;
    LRESULT handled = FALSE;
    RunLink(linked, dialogs, [&](DialogSession&) {
        SetCursor(arrow);
        handled = linked.link.SendMessage(
            WM_SETCURSOR, reinterpret_cast<WPARAM>(linked.link.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        shownLinked = GetCursor();
    });
    EXPECT_EQ(shownLinked, hand);
    EXPECT_TRUE(handled);
    SetCursor(nullptr);
}

// Pins: the first mouse move over the link starts hovering, captures the
// mouse and repaints in the hover colour; moves inside keep it; a move
// outside the client area ends it, releases the capture and repaints in the
// link colour. Destroying a window that holds the capture releases it.
TEST_F(HyperLinkTest, MouseMovesHoverCaptureAndReleaseTheLink)
{
    FitDialog dialog;
    dialog.link.SetColours(RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9));
    long repaintsBefore = 0, repaintsHover = 0, repaintsLeft = 0;
    bool hoverIn = false, hoverStill = false, hoverOut = true;
    HWND captureIn = nullptr, captureStill = nullptr, captureOut = nullptr;
    COLORREF colourIn = 0, colourOut = 0;
    std::vector<DrawnShape> painted;
    HWND linkWindow = nullptr;
    RunLink(dialog, dialogs, [&](DialogSession& session) {
        CHyperLink& link = dialog.link;
        linkWindow = link.m_hWnd;
        repaintsBefore = session.form().control(IDC_ABOUT_LINK)->repaints;
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
        hoverIn = link.GetHovering();
        captureIn = GetCapture();
        repaintsHover = session.form().control(IDC_ABOUT_LINK)->repaints;
        EXPECT_TRUE(session.paint(IDC_ABOUT_LINK, painted).done);
        colourIn = painted.empty() ? 0 : painted[0].colour;

        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
        hoverStill = link.GetHovering();
        captureStill = GetCapture();

        // Left of the window: a captured mouse reports negative coordinates.
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-2, 4));
        hoverOut = link.GetHovering();
        captureOut = GetCapture();
        repaintsLeft = session.form().control(IDC_ABOUT_LINK)->repaints;
        painted.clear();
        EXPECT_TRUE(session.paint(IDC_ABOUT_LINK, painted).done);
        colourOut = painted.empty() ? 0 : painted[0].colour;

        // Hover again and leave the capture for the window's end.
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    });
    EXPECT_TRUE(hoverIn);
    EXPECT_EQ(captureIn, linkWindow);
    EXPECT_EQ(repaintsHover, repaintsBefore + 1);
    EXPECT_EQ(colourIn, RGB(7, 8, 9));
    EXPECT_TRUE(hoverStill);
    EXPECT_EQ(captureStill, linkWindow);
    EXPECT_FALSE(hoverOut);
    EXPECT_EQ(captureOut, nullptr);
    EXPECT_EQ(repaintsLeft, repaintsHover + 1);
    EXPECT_EQ(colourOut, RGB(1, 2, 3));
    EXPECT_EQ(GetCapture(), nullptr);
}

// Pins: setting the colours or the visited flag repaints a link whose window
// exists; a link without a window just keeps the values.
TEST_F(HyperLinkTest, ColourChangesRepaintTheLink)
{
    FitDialog dialog;
    long before = 0, after = 0;
    RunLink(dialog, dialogs, [&](DialogSession& session) {
        before = session.form().control(IDC_ABOUT_LINK)->repaints;
        dialog.link.SetColours(RGB(1, 1, 1), RGB(2, 2, 2));
        dialog.link.SetVisited(true);
        after = session.form().control(IDC_ABOUT_LINK)->repaints;
    });
    EXPECT_EQ(after, before + 2);
    CHyperLink unattached;
    unattached.SetVisited(true);
    EXPECT_EQ(unattached.TextColour(), CHyperLink::kVisitedColour);
}

// Pins: the driver's mousemove action asks for the cursor first (the link
// cursor shows), then hovers the link; once the link holds the capture a
// move outside leaves it; a malformed action is refused and changes nothing.
TEST_F(HyperLinkTest, TheDriversMouseMoveHoversAndLeavesTheLink)
{
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    FitDialog dialog;
    dialog.cursor = hand;
    bool hoverIn = false, hoverOut = true, hoverAfterRefused = true;
    HCURSOR shown = nullptr;
    RunLink(dialog, dialogs, [&](DialogSession& session) {
        SetCursor(nullptr);
        Act(session, "mousemove 1018 2 3");
        hoverIn = dialog.link.GetHovering();
        shown = GetCursor();
        Act(session, "mousemove 1018 2 500");
        hoverOut = dialog.link.GetHovering();
        const ActionResult refused = session.perform("mousemove 1018 2");
        EXPECT_FALSE(refused.done);
        EXPECT_NE(refused.why.find("X and Y"), std::string::npos) << refused.why;
        hoverAfterRefused = dialog.link.GetHovering();
    });
    EXPECT_TRUE(hoverIn);
    EXPECT_EQ(shown, hand);
    EXPECT_FALSE(hoverOut);
    EXPECT_FALSE(hoverAfterRefused);
    SetCursor(nullptr);
}

} // namespace
