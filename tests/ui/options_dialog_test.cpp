// The options dialog through the test driver: the stored options on two tab
// pages, the rule that enables the row controls, the spin controls that step
// the numbers in their edit boxes, validation, the coordinate notice, reset,
// and what reaches the registry (only OK writes, and a failed write is told).
#include "export/export_drawing_fixture.h"

#include "common/module_state.h"
#include "common/resource_strings.h"
#include "res/resource.h"
#include "settings/settings_registry.h"
#include "ui/options_dialog.h"

#include <registry_context.h>

namespace {

class OptionsDialogTest : public ExportDrawingFixture {
protected:
    Settings Stored()
    {
        Settings settings;
        LoadSettings(settings);
        return settings;
    }
    static bool Enabled(const DialogForm& form, int id) { return form.control(id)->enabled; }
};

} // namespace

TEST_F(OptionsDialogTest, OpensOnTheStoredOptionsWithTheRowControlsOffForNewWorksheets)
{
    DialogForm exportTab, importTab;
    dialogs.Next([&](DialogSession& session) {
        exportTab = session.form();
        Act(session, "tab 1");
        importTab = session.form();
        Act(session, "cancel");
    });
    EXPECT_FALSE(RunOptionsDialog());

    EXPECT_EQ(exportTab.title, ResourceString(IDS_OPTIONS_TITLE));
    const FormControl* tabs = exportTab.control(1012);
    ASSERT_EQ(tabs->items.size(), 3u);
    EXPECT_EQ(tabs->items[0].text, ResourceString(IDS_TAB_EXPORT));
    EXPECT_TRUE(tabs->items[0].selected);
    // The defaults: a new worksheet per block, so no row controls.
    EXPECT_EQ(exportTab.control(1003)->check, BST_CHECKED);
    for (int id : {1005, 1007, 1011, 1017})
        EXPECT_FALSE(Enabled(exportTab, id)) << id;
    EXPECT_EQ(exportTab.control(1006)->check, BST_CHECKED); // X
    EXPECT_EQ(exportTab.control(1025)->check, BST_CHECKED); // as text
    EXPECT_EQ(exportTab.control(1016)->check, BST_UNCHECKED); // JTSK
    EXPECT_EQ(exportTab.control(1005)->text, "1");
    // The import page's 1005 is its own start row, not the export page's.
    EXPECT_EQ(importTab.control(1005)->text, "2");
    EXPECT_EQ(importTab.control(1006)->text, "1");
    EXPECT_EQ(importTab.control(1015)->check, BST_CHECKED);
    EXPECT_EQ(importTab.control(1013)->check, BST_CHECKED);
    // Cancel wrote nothing: the store holds no options at all.
    EXPECT_EQ(Stored(), Settings{});
}

TEST_F(OptionsDialogTest, TheRowControlsFollowTheWorksheetChoiceAndTheBlankRowBox)
{
    dialogs.Next([&](DialogSession& session) {
        Act(session, "click 1004");
        DialogForm form = session.form();
        for (int id : {1005, 1007, 1011, 1017})
            EXPECT_TRUE(Enabled(form, id)) << id;
        Act(session, "click 1017");
        form = session.form();
        EXPECT_FALSE(Enabled(form, 1005));
        EXPECT_FALSE(Enabled(form, 1007));
        EXPECT_TRUE(Enabled(form, 1011));
        Act(session, "click 1017");
        EXPECT_TRUE(Enabled(session.form(), 1005));
        Act(session, "click 1003");
        form = session.form();
        for (int id : {1005, 1007, 1011, 1017})
            EXPECT_FALSE(Enabled(form, id)) << id;
        Act(session, "cancel");
    });
    EXPECT_FALSE(RunOptionsDialog());
}

TEST_F(OptionsDialogTest, SpinsStepTheValueInTheirEditBoxWithinTheRange)
{
    Settings stored;
    stored.WorksheetSettings = 1;
    stored.ExportStartRow = 65536;
    ASSERT_TRUE(SaveSettings(stored));
    dialogs.Next([&](DialogSession& session) {
        Act(session, "spin 1007 up");
        EXPECT_EQ(session.form().control(1005)->text, "65536");
        Act(session, "text 1005 12.5");
        Act(session, "spin 1007 up");
        EXPECT_EQ(session.form().control(1005)->text, "13.5");
        Act(session, "text 1005 14");
        Act(session, "spin 1007 down");
        // Once shown with a decimal, values keep it.
        EXPECT_EQ(session.form().control(1005)->text, "13.0");
        // The page takes whole numbers only.
        Act(session, "ok");
        EXPECT_FALSE(session.ended());
        Act(session, "text 1005 13");
        Act(session, "tab 1");
        Act(session, "text 1006 1");
        Act(session, "spin 1008 down");
        EXPECT_EQ(session.form().control(1006)->text, "1");
        Act(session, "text 1006 256");
        Act(session, "spin 1008 up");
        EXPECT_EQ(session.form().control(1006)->text, "256");
        Act(session, "spin 1008 down");
        Act(session, "ok");
    });
    EXPECT_TRUE(RunOptionsDialog());
    EXPECT_EQ(Stored().StartCol, 255);
    EXPECT_EQ(Stored().ExportStartRow, 13);
}

TEST_F(OptionsDialogTest, OutOfRangeNumbersKeepTheDialogOpenWithTheRangeMessage)
{
    dialogs.Next([&](DialogSession& session) {
        Act(session, "click 1004");
        for (const char* row : {"0", "65537"}) {
            Act(session, std::string("text 1005 ") + row);
            Act(session, "ok");
            EXPECT_FALSE(session.ended()) << row;
        }
        Act(session, "text 1005 7");
        Act(session, "tab 1");
        Act(session, "text 1006 257");
        Act(session, "ok");
        EXPECT_FALSE(session.ended());
        Act(session, "text 1006 3");
        Act(session, "ok");
    });
    EXPECT_TRUE(RunOptionsDialog());
    ASSERT_EQ(messageBoxes.boxes.size(), 3u);
    EXPECT_EQ(messageBoxes.boxes[0].text, "Enter an integer between 1 and 65536.");
    EXPECT_EQ(messageBoxes.boxes[1].text, "Enter an integer between 1 and 65536.");
    EXPECT_EQ(messageBoxes.boxes[2].text, "Enter an integer between 1 and 256.");
    const Settings stored = Stored();
    EXPECT_EQ(stored.ExportStartRow, 7);
    EXPECT_EQ(stored.WorksheetSettings, 1);
    EXPECT_EQ(stored.StartCol, 3);
}

TEST_F(OptionsDialogTest, MixedCoordinatesAreNoticedOnTheExportPageOnlyAndStillSaved)
{
    dialogs.NextActions({"check 1013 off", "tab 1", "ok"});
    EXPECT_TRUE(RunOptionsDialog());
    EXPECT_TRUE(messageBoxes.boxes.empty());
    EXPECT_FALSE(Stored().YCoord);

    dialogs.NextActions({"ok"});
    EXPECT_TRUE(RunOptionsDialog());
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].caption, ResourceString(IDS_COORDS_CAPTION));
    EXPECT_EQ(messageBoxes.boxes[0].type & MB_ICONMASK, MB_ICONINFORMATION);
    EXPECT_FALSE(Stored().YCoord);
    EXPECT_TRUE(Stored().XCoord);
}

TEST_F(OptionsDialogTest, ResetPutsTheDefaultsBackButTwoBoxesAndWritesNothingUntilOk)
{
    Settings stored;
    stored.WorksheetSettings = 1;
    stored.IncludeConstant = true;
    stored.JTSK = true;
    stored.StartCol = 9;
    ASSERT_TRUE(SaveSettings(stored));

    // Answered No: nothing changes.
    messageBoxes.answers = {IDNO, IDYES};
    dialogs.Next([&](DialogSession& session) {
        Act(session, "click 4");
        EXPECT_EQ(session.form().control(1016)->check, BST_CHECKED);
        Act(session, "click 4");
        const DialogForm form = session.form();
        EXPECT_EQ(form.control(1016)->check, BST_UNCHECKED);
        EXPECT_EQ(form.control(1021)->check, BST_CHECKED) << "constant attributes keep their box";
        EXPECT_EQ(form.control(1003)->check, BST_CHECKED);
        EXPECT_FALSE(Enabled(form, 1005));
        EXPECT_FALSE(Enabled(form, 1017));
        Act(session, "tab 1");
        EXPECT_EQ(session.form().control(1006)->text, "1");
        Act(session, "cancel");
    });
    EXPECT_FALSE(RunOptionsDialog());
    ASSERT_EQ(messageBoxes.boxes.size(), 2u);
    EXPECT_EQ(messageBoxes.boxes[0].text, ResourceString(IDS_RESET_QUESTION));
    EXPECT_EQ(messageBoxes.boxes[0].type & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(Stored(), stored) << "reset and cancel leave the registry as it was";
}

TEST_F(OptionsDialogTest, AnOkWhoseOptionsCannotBeStoredSaysSoAndStaysOpen)
{
    dialogs.Next([&](DialogSession& session) {
        Act(session, "check 1016 on");
        registry.FailCall(RegCall::Set, 3, ERROR_ACCESS_DENIED);
        Act(session, "ok");
        EXPECT_FALSE(session.ended());
        Act(session, "ok");
    });
    EXPECT_TRUE(RunOptionsDialog());
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].text, ResourceString(IDS_OPTIONS_NOT_SAVED));
    EXPECT_TRUE(Stored().JTSK);
}
