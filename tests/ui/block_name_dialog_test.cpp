// The block choice dialog of the dialog export: its list, its context menu
// and its result, run through the dialog driver as a user would.
#include "block_choice_fixture.h"

using BlockNameDialogTest = BlockChoiceFixture;

TEST_F(BlockNameDialogTest, OffersTheBlocksWithAttributesSelectedAndReturnsTheSelectedOnesInListOrder)
{
    LoadMixedDrawing();
    DialogForm opened;
    long relayed = 0;
    dialogs.Next([&](DialogSession& session) {
        opened = session.form();
        Act(session, "select 1005 3 1");
        // The click went through the dialog to its tooltip first.
        relayed = session.form().relayedToTooltips;
        Act(session, "ok");
    });
    Names names;
    ASSERT_TRUE(Choose(names));
    EXPECT_EQ(names, (Names{"abc", "WINDOW"}));

    EXPECT_EQ(opened.templateId, 131u);
    EXPECT_EQ(Items(opened), (Names{"DOOR", "abc", "abbc", "WINDOW"}));
    EXPECT_EQ(SelectedItems(opened), Items(opened));
    const FormControl* list = opened.control(1005);
    EXPECT_TRUE(list->hasFocus);
    EXPECT_EQ(list->columns, Names{"Block name"});
    EXPECT_EQ(list->tip, "Press right mouse button for more options.");
    EXPECT_EQ(opened.relayedToTooltips, 0);
    EXPECT_EQ(relayed, 1);
}

TEST_F(BlockNameDialogTest, CancelYieldsNoChoiceAndNothingSelectedYieldsAnEmptyOne)
{
    LoadMixedDrawing();
    dialogs.NextActions({"cancel"});
    Names names{"stale"};
    EXPECT_FALSE(Choose(names));
    EXPECT_TRUE(names.empty());

    dialogs.NextActions({"select 1005", "ok"});
    EXPECT_TRUE(Choose(names));
    EXPECT_TRUE(names.empty());
}

TEST_F(BlockNameDialogTest, SelectionCommandsOfTheContextMenu)
{
    LoadMixedDrawing();
    std::vector<Names> seen;
    dialogs.Next([&](DialogSession& session) {
        auto step = [&](const std::string& action) {
            Act(session, action);
            seen.push_back(SelectedItems(session.form()));
        };
        step("rclick 1005 32775"); // none
        step("select 1005 0 2");
        step("rclick 1005 32774"); // invert
        step("focus 1005 1");
        step("rclick 1005 32776"); // all but the focused
        step("select 1005");
        step("rclick 1005 32773"); // all
        EXPECT_TRUE(session.form().control(1005)->hasFocus);
        Act(session, "cancel");
    });
    Names names;
    EXPECT_FALSE(Choose(names));
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0], Names{});
    EXPECT_EQ(seen[2], (Names{"abc", "WINDOW"}));
    EXPECT_EQ(seen[4], (Names{"DOOR", "abbc", "WINDOW"}));
    EXPECT_EQ(seen[6], (Names{"DOOR", "abc", "abbc", "WINDOW"}));
}

TEST_F(BlockNameDialogTest, AllBlocksAndBackToBlocksWithAttributes)
{
    LoadMixedDrawing();
    std::vector<PopupForm> menus;
    dialogs.popupAnswers = {32777, 32777, 32778};
    dialogs.Next([&](DialogSession& session) {
        Act(session, "select 1005 0");
        Act(session, "rclick 1005"); // the driver answers 32777: all blocks
        const DialogForm all = session.form();
        EXPECT_EQ(Items(all), (Names{"DOOR", "abc", "abbc", "WINDOW", "PLAIN", "xyz"}));
        EXPECT_EQ(SelectedItems(all), Names{"DOOR"});
        Act(session, "rclick 1005"); // again: nothing changes
        EXPECT_EQ(Items(session.form()), Items(all));
        Act(session, "select 1005 4 5 1");
        Act(session, "rclick 1005"); // 32778: attribute blocks only, whatever was selected
        EXPECT_EQ(Items(session.form()), (Names{"DOOR", "abc", "abbc", "WINDOW"}));
        EXPECT_EQ(SelectedItems(session.form()), Names{"abc"});
        Act(session, "ok");
    });
    Names names;
    ASSERT_TRUE(Choose(names));
    EXPECT_EQ(names, Names{"abc"});
    // The menu marks the mode, and the filter item only when a filter is on.
    ASSERT_EQ(dialogs.popups.size(), 3u);
    EXPECT_TRUE(dialogs.popups[0].item(32778)->checked);
    EXPECT_FALSE(dialogs.popups[0].item(32777)->checked);
    EXPECT_FALSE(dialogs.popups[0].item(1011)->checked);
    EXPECT_TRUE(dialogs.popups[1].item(32777)->checked);
    EXPECT_FALSE(dialogs.popups[1].item(32778)->checked);
}

TEST_F(BlockNameDialogTest, ADrawingWithoutAttributeDefinitionsOpensEmptyAndAllBlocksFillsIt)
{
    DxfDrawing drawing;
    drawing.block("B1").block("B2");
    Load(drawing);
    ASSERT_TRUE(BuildBlockNameTable(table));
    dialogs.Next([&](DialogSession& session) {
        EXPECT_TRUE(Items(session.form()).empty());
        Act(session, "rclick 1005 32777");
        EXPECT_EQ(Items(session.form()), (Names{"B1", "B2"}));
        EXPECT_TRUE(SelectedItems(session.form()).empty());
        Act(session, "rclick 1005 32773");
        Act(session, "ok");
    });
    Names names;
    ASSERT_TRUE(Choose(names));
    EXPECT_EQ(names, (Names{"B1", "B2"}));
}

TEST_F(BlockNameDialogTest, ABadActionIsRefusedWithoutClosingTheDialog)
{
    LoadMixedDrawing();
    dialogs.Next([&](DialogSession& session) {
        EXPECT_EQ(session.perform("click 1030").why, "there is no control 1030");
        EXPECT_EQ(session.perform("select 1005 4").why, "list 1005 has 4 items; there is no item 4");
        EXPECT_EQ(session.perform("rclick 1005 32771").why, "32771 is not a command of the menu");
        EXPECT_EQ(SelectedItems(session.form()).size(), 4u);
        EXPECT_FALSE(session.ended());
        Act(session, "ok");
    });
    Names names;
    ASSERT_TRUE(Choose(names));
    EXPECT_EQ(names.size(), 4u);
}
