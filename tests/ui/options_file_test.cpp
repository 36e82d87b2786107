// The options dialog's settings file: Save and Load through the file button's
// menu and the common file dialogs, answered through the test driver. Loading
// and saving touch neither the registry nor the stored options; only OK does.
#include "export/export_drawing_fixture.h"

#include "common/resource_strings.h"
#include "res/resource.h"
#include "settings/settings_registry.h"
#include "support/scratch_dir.h"
#include "ui/options_dialog.h"

namespace {

class OptionsFileTest : public ExportDrawingFixture {
protected:
    Settings Stored()
    {
        Settings settings;
        LoadSettings(settings);
        return settings;
    }
    ScratchDir scratch;
};

} // namespace

TEST_F(OptionsFileTest, SavedOptionsComeBackAfterAResetAndOkStoresThem)
{
    const std::string file = scratch.File("mine");
    dialogs.popupAnswers = {ID_SETTINGS_SAVE, ID_SETTINGS_LOAD};
    dialogs.fileAnswers = {file, file + ".ini"};
    messageBoxes.answers = {IDYES};
    dialogs.Next([&](DialogSession& session) {
        Act(session, "click 1004");
        Act(session, "check 1016 on");
        Act(session, "check 1024 on");
        Act(session, "tab 1");
        Act(session, "text 1006 12");
        Act(session, "click 3"); // save
        Act(session, "click 4"); // reset
        EXPECT_EQ(session.form().control(1006)->text, "1");
        Act(session, "click 3"); // load
        EXPECT_EQ(session.form().control(1006)->text, "12");
        Act(session, "tab 0");
        const DialogForm form = session.form();
        EXPECT_EQ(form.control(1004)->check, BST_CHECKED);
        EXPECT_EQ(form.control(1016)->check, BST_CHECKED);
        EXPECT_TRUE(form.control(1005)->enabled) << "the enabling rule ran after the load";
        Act(session, "ok");
    });
    EXPECT_TRUE(RunOptionsDialog());
    // The name typed without an extension got the default one.
    ASSERT_EQ(dialogs.files.size(), 2u);
    EXPECT_FALSE(dialogs.files[0].open);
    EXPECT_TRUE(dialogs.files[1].open);
    EXPECT_EQ(dialogs.files[0].fileName, ResourceString(IDS_SETTINGS_FILE_NAME));
    EXPECT_EQ(dialogs.files[0].defaultExtension, "ini");
    EXPECT_NE(ReadFileBytes(file + ".ini").find("StartCol=12"), std::string::npos);
    const Settings stored = Stored();
    EXPECT_EQ(stored.WorksheetSettings, 1);
    EXPECT_TRUE(stored.JTSK);
    EXPECT_TRUE(stored.NoAutofit);
    EXPECT_EQ(stored.StartCol, 12);
}

TEST_F(OptionsFileTest, ALoadedActiveSheetWithBlankRowsEnablesOnlyTheHeaderAndBlankRowBoxes)
{
    const std::string file = scratch.File("blank.ini");
    WriteFileBytes(file, "[Export]\nWorksheetSettings=1\nFindNextBlankLine=1\nJTSK=garbage\n[Import]\nStartCol=\n");
    dialogs.popupAnswers = {ID_SETTINGS_LOAD};
    dialogs.fileAnswers = {file};
    DialogForm form;
    dialogs.Next([&](DialogSession& session) {
        Act(session, "click 3");
        form = session.form();
        Act(session, "tab 1");
        EXPECT_EQ(session.form().control(1006)->text, "1") << "an empty key leaves the field";
        Act(session, "cancel");
    });
    EXPECT_FALSE(RunOptionsDialog());
    EXPECT_FALSE(form.control(1005)->enabled);
    EXPECT_FALSE(form.control(1007)->enabled);
    EXPECT_TRUE(form.control(1011)->enabled);
    EXPECT_TRUE(form.control(1017)->enabled);
    EXPECT_EQ(form.control(1016)->check, BST_UNCHECKED);
    EXPECT_EQ(Stored(), Settings{}) << "a load writes nothing";
}

TEST_F(OptionsFileTest, ARefusedValueOrAnUnwritableFileSavesNothingAndSaysWhy)
{
    const std::string file = scratch.File("refused.ini");
    const std::string unwritable = scratch.File("no/such/folder.ini");
    dialogs.popupAnswers = {ID_SETTINGS_SAVE, ID_SETTINGS_SAVE, ID_SETTINGS_SAVE};
    dialogs.fileAnswers = {unwritable, std::nullopt};
    dialogs.Next([&](DialogSession& session) {
        Act(session, "tab 1");
        Act(session, "text 1006 999");
        Act(session, "click 3"); // refused before the file dialog
        Act(session, "text 1006 9");
        Act(session, "click 3"); // a file that cannot be written
        Act(session, "click 3"); // the file dialog cancelled
        Act(session, "cancel");
    });
    EXPECT_FALSE(RunOptionsDialog());
    EXPECT_EQ(dialogs.files.size(), 2u);
    EXPECT_FALSE(FileExists(file));
    ASSERT_EQ(messageBoxes.boxes.size(), 2u);
    EXPECT_EQ(messageBoxes.boxes[0].text, "Enter an integer between 1 and 256.");
    EXPECT_NE(messageBoxes.boxes[1].text.find(unwritable), std::string::npos);
    EXPECT_EQ(Stored(), Settings{});
}
