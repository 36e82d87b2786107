// The options dialog's file button drawing itself through the test driver's
// recording device context: the frame, the caption left of the middle and
// the down arrow after it, grey when disabled, and the focus rectangle.
#include "export/export_drawing_fixture.h"

#include "res/resource.h"
#include "ui/options_dialog.h"

namespace {

using Shape = DrawnShape::Kind;

class MenuButtonTest : public ExportDrawingFixture {
protected:
    // Paints the file button in the options dialog after `actions`.
    std::vector<DrawnShape> Paint(bool pushed, std::initializer_list<std::string> actions = {})
    {
        std::vector<DrawnShape> shapes;
        dialogs.Next([&](DialogSession& session) {
            for (const std::string& action : actions)
                Act(session, action);
            const ActionResult done = session.paint(IDC_OPTIONS_FILE, shapes, pushed);
            EXPECT_TRUE(done.done) << done.why;
            caption = session.form().control(IDC_OPTIONS_FILE)->text;
            Act(session, "cancel");
        });
        RunOptionsDialog();
        return shapes;
    }
    std::string caption;
};

// Pins: the owner-drawn menu button draws a push frame over the whole item
// (pushed when selected), its caption on one line in a rectangle half the
// caption width plus 5 pixels left of the middle and half its height above
// it, then six 1-pixel lines in the button-text colour, line k from
// (x + k, y + k) to (x + 10 - k, y + k) with x = caption right + 5 and
// y = middle - 3; no focus rectangle without the focus.
TEST_F(MenuButtonTest, DrawsTheCaptionLeftOfTheMiddleAndADownArrowAfterIt)
{
    const std::vector<DrawnShape> shapes = Paint(false);
    ASSERT_EQ(shapes.size(), 8u);
    ASSERT_EQ(shapes[0].kind, Shape::Frame);
    EXPECT_EQ(shapes[0].flags, static_cast<UINT>(DFCS_BUTTONPUSH));
    const RECT item = shapes[0].rect;
    EXPECT_EQ(item.left, 0);
    EXPECT_EQ(item.top, 0);
    ASSERT_GT(item.right, 0);

    ASSERT_EQ(shapes[1].kind, Shape::Text);
    EXPECT_EQ(shapes[1].text, caption);
    EXPECT_FALSE(caption.empty());
    EXPECT_EQ(shapes[1].flags, static_cast<UINT>(DT_SINGLELINE));
    CDC measure;
    const CSize extent = measure.GetTextExtent(caption.c_str(), -1);
    const int middleX = (item.left + item.right) / 2;
    const int middleY = (item.top + item.bottom) / 2;
    const RECT text = shapes[1].rect;
    EXPECT_EQ(text.left, middleX - extent.cx / 2 - 5);
    EXPECT_EQ(text.top, middleY - extent.cy / 2);
    EXPECT_EQ(text.right - text.left, extent.cx);
    EXPECT_EQ(text.bottom - text.top, extent.cy);

    const int x = text.right + 5;
    const int y = middleY - 3;
    for (int k = 0; k < 6; ++k) {
        const DrawnShape& line = shapes[2 + static_cast<std::size_t>(k)];
        ASSERT_EQ(line.kind, Shape::Line) << k;
        EXPECT_EQ(line.from.x, x + k) << k;
        EXPECT_EQ(line.from.y, y + k) << k;
        EXPECT_EQ(line.to.x, x + 10 - k) << k;
        EXPECT_EQ(line.to.y, y + k) << k;
        EXPECT_EQ(line.penWidth, 1) << k;
        EXPECT_EQ(line.colour, GetSysColor(COLOR_BTNTEXT)) << k;
    }
}

// Pins: a selected item draws a pushed frame; the item with the focus gets
// the focus rectangle 3 pixels inside the item rectangle.
TEST_F(MenuButtonTest, PushedFrameAndTheFocusRectangleInsideTheItem)
{
    // Dropping the menu and dismissing it (no answer queued: 0) leaves the
    // focus on the button.
    const std::vector<DrawnShape> pushed = Paint(true, {"click 3"});
    ASSERT_EQ(pushed.size(), 9u);
    EXPECT_EQ(pushed[0].flags, static_cast<UINT>(DFCS_BUTTONPUSH | DFCS_PUSHED));
    ASSERT_EQ(pushed.back().kind, Shape::FocusRect);
    const RECT item = pushed[0].rect;
    EXPECT_EQ(pushed.back().rect.left, item.left + 3);
    EXPECT_EQ(pushed.back().rect.top, item.top + 3);
    EXPECT_EQ(pushed.back().rect.right, item.right - 3);
    EXPECT_EQ(pushed.back().rect.bottom, item.bottom - 3);
}

// Pins: a disabled button draws its arrow in the grey-text colour.
TEST_F(MenuButtonTest, ADisabledButtonsArrowIsGrey)
{
    std::vector<DrawnShape> shapes;
    dialogs.Next([&](DialogSession& session) {
        CWnd::FromHandle(session.window())->GetDlgItem(IDC_OPTIONS_FILE)->EnableWindow(FALSE);
        EXPECT_TRUE(session.paint(IDC_OPTIONS_FILE, shapes).done);
        Act(session, "cancel");
    });
    RunOptionsDialog();
    ASSERT_EQ(shapes.size(), 8u);
    ASSERT_NE(GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_BTNTEXT));
    for (std::size_t k = 2; k < 8; ++k) {
        ASSERT_EQ(shapes[k].kind, Shape::Line) << k;
        EXPECT_EQ(shapes[k].colour, GetSysColor(COLOR_GRAYTEXT)) << k;
    }
}

// Pins: the refusal of the driver for a control that is not an owner-draw
// button; nothing is drawn.
TEST_F(MenuButtonTest, OnlyOwnerDrawButtonsArePainted)
{
    std::vector<DrawnShape> shapes;
    std::string why;
    dialogs.Next([&](DialogSession& session) {
        why = session.paint(IDOK, shapes).why;
        Act(session, "cancel");
    });
    RunOptionsDialog();
    EXPECT_NE(why.find("owner-draw"), std::string::npos) << why;
    EXPECT_TRUE(shapes.empty());
}

} // namespace
