// The filter dialog opened from the block choice: the pattern narrows the
// block list, the layer choice becomes the module's layer filter on OK, the
// choices reappear when it is opened again from the same block choice, and
// a cancel changes nothing.
#include "block_choice_fixture.h"

#include <dbdatabase.h>

using NameFilterDialogTest = BlockChoiceFixture;

namespace {

// A filter dialog handler that sets the pattern filter and confirms.
ScriptedDialogs::Handler PatternFilter(const std::string& pattern)
{
    return [pattern](DialogSession& filter) {
        Act(filter, "check 1031 on");
        Act(filter, "text 1032 " + pattern);
        Act(filter, "ok");
    };
}

} // namespace

TEST_F(NameFilterDialogTest, OpensWithEveryLayerTheDefaultPatternAndItsBoxesOff)
{
    LoadMixedDrawing();
    DialogForm filterForm;
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.Next([&](DialogSession& filter) {
            filterForm = filter.form();
            Act(filter, "cancel");
        });
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "cancel");
    });
    Names names;
    EXPECT_FALSE(Choose(names));

    EXPECT_EQ(filterForm.templateId, 9u);
    EXPECT_EQ(Items(filterForm), (Names{"0", "WALLS", "DOORS"}));
    EXPECT_EQ(filterForm.control(1005)->columns, Names{"Layer name"});
    EXPECT_FALSE(filterForm.control(1005)->enabled);
    EXPECT_FALSE(filterForm.control(1032)->enabled);
    EXPECT_EQ(filterForm.control(1032)->text, "*");
    EXPECT_EQ(filterForm.control(1030)->check, BST_UNCHECKED);
    EXPECT_EQ(filterForm.control(1031)->check, BST_UNCHECKED);
    // Without a selection the selection box is not shown.
    EXPECT_FALSE(filterForm.control(1033)->visible);
    const std::string tip = "Examples of using: *, a*, *a, a?b?c\r  * - it stands for many characters\r"
                            "  ? - it stands for a one character\r  Case sensitive!";
    EXPECT_EQ(filterForm.control(1032)->tip, tip);
    EXPECT_EQ(filterForm.control(1031)->tip, tip);
}

TEST_F(NameFilterDialogTest, ThePatternIsCaseSensitiveAndMatchesWholeNames)
{
    LoadMixedDrawing();
    std::vector<Names> lists;
    dialogs.Next([&](DialogSession& blocks) {
        for (const char* pattern : {"A*", "a?c", "??*", "*"}) {
            dialogs.Next(PatternFilter(pattern));
            Act(blocks, "rclick 1005 1011");
            lists.push_back(Items(blocks.form()));
            // After the filter every listed name is selected.
            EXPECT_EQ(SelectedItems(blocks.form()), lists.back());
        }
        Act(blocks, "ok");
    });
    Names names;
    ASSERT_TRUE(Choose(names));
    ASSERT_EQ(lists.size(), 4u);
    EXPECT_EQ(lists[0], Names{});
    EXPECT_EQ(lists[1], Names{"abc"});
    EXPECT_EQ(lists[2], (Names{"DOOR", "abc", "abbc", "WINDOW"}));
    EXPECT_EQ(lists[3], (Names{"DOOR", "abc", "abbc", "WINDOW"}));
}

TEST_F(NameFilterDialogTest, AnEmptyPatternEmptiesTheListAndOkThenChoosesNothing)
{
    LoadMixedDrawing();
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.Next(PatternFilter(""));
        Act(blocks, "rclick 1005 1011");
        EXPECT_TRUE(Items(blocks.form()).empty());
        Act(blocks, "ok");
    });
    Names names{"stale"};
    ASSERT_TRUE(Choose(names));
    EXPECT_TRUE(names.empty());
}

TEST_F(NameFilterDialogTest, APatternLongerThanTheBoxTakesIsRefusedAndTheBoxKeepsItsText)
{
    LoadMixedDrawing();
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.Next([&](DialogSession& filter) {
            Act(filter, "check 1031 on");
            const ActionResult tooLong = filter.perform("text 1032 " + std::string(256, '*'));
            EXPECT_FALSE(tooLong.done);
            EXPECT_EQ(tooLong.why, "edit box 1032 takes at most 255 characters; the text has 256");
            EXPECT_EQ(filter.form().control(1032)->text, "*");
            Act(filter, "text 1032 " + std::string(254, '*') + "c");
            Act(filter, "ok");
        });
        Act(blocks, "rclick 1005 1011");
        EXPECT_EQ(Items(blocks.form()), (Names{"abc", "abbc"}));
        Act(blocks, "ok");
    });
    Names names;
    ASSERT_TRUE(Choose(names));
}

TEST_F(NameFilterDialogTest, RemovedNamesComeBackOnlyThroughAllBlocks)
{
    LoadMixedDrawing();
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.Next(PatternFilter("a*"));
        Act(blocks, "rclick 1005 1011");
        EXPECT_EQ(Items(blocks.form()), (Names{"abc", "abbc"}));
        // The pattern filter turned off again: the list stays as it is.
        dialogs.NextActions({"check 1031 off", "ok"});
        Act(blocks, "rclick 1005 1011");
        EXPECT_EQ(Items(blocks.form()), (Names{"abc", "abbc"}));
        Act(blocks, "rclick 1005 32777");
        EXPECT_EQ(Items(blocks.form()), (Names{"abc", "abbc", "DOOR", "PLAIN", "WINDOW", "xyz"}));
        Act(blocks, "cancel");
    });
    Names names;
    EXPECT_FALSE(Choose(names));
}

TEST_F(NameFilterDialogTest, OkWritesTheLayerFilterAndAReopenedDialogShowsTheLastChoice)
{
    LoadMixedDrawing();
    DialogForm reopened;
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.Next([&](DialogSession& filter) {
            Act(filter, "check 1030 on");
            EXPECT_TRUE(filter.form().control(1005)->enabled);
            Act(filter, "select 1005 2 1");
            Act(filter, "check 1031 on");
            Act(filter, "text 1032 *O*");
            Act(filter, "ok");
        });
        Act(blocks, "rclick 1005 1011");
        EXPECT_EQ(Items(blocks.form()), (Names{"DOOR", "WINDOW"}));
        dialogs.Next([&](DialogSession& filter) {
            reopened = filter.form();
            Act(filter, "cancel");
        });
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "ok");
    });
    Names names;
    ASSERT_TRUE(Choose(names));
    EXPECT_EQ(names, (Names{"DOOR", "WINDOW"}));

    const LayerFilterSettings& filter = TheModuleState().layerFilter;
    EXPECT_TRUE(filter.on);
    EXPECT_EQ(filter.layers, (Names{"WALLS", "DOORS"}));
    EXPECT_EQ(reopened.control(1032)->text, "*O*");
    EXPECT_EQ(reopened.control(1030)->check, BST_CHECKED);
    EXPECT_EQ(reopened.control(1031)->check, BST_CHECKED);
    EXPECT_EQ(SelectedItems(reopened), (Names{"WALLS", "DOORS"}));

    // A new block choice starts the filter afresh; the layer filter stays.
    DialogForm fresh;
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.Next([&](DialogSession& filter) {
            fresh = filter.form();
            Act(filter, "cancel");
        });
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "cancel");
    });
    EXPECT_FALSE(Choose(names));
    EXPECT_EQ(fresh.control(1032)->text, "*");
    EXPECT_EQ(fresh.control(1030)->check, BST_UNCHECKED);
    EXPECT_TRUE(SelectedItems(fresh).empty());
    EXPECT_TRUE(TheModuleState().layerFilter.on);
    EXPECT_EQ(TheModuleState().layerFilter.layers, (Names{"WALLS", "DOORS"}));
}

TEST_F(NameFilterDialogTest, CancelAtAnyPointChangesNeitherTheFilterNorTheBoxes)
{
    LoadMixedDrawing();
    TheModuleState().layerFilter = {true, {"WALLS"}};
    DialogForm reopened;
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.NextActions({"check 1030 on", "select 1005 0", "check 1031 on", "text 1032 D*", "cancel"});
        Act(blocks, "rclick 1005 1011");
        // The list is as it was, and the menu shows no filter on.
        EXPECT_EQ(Items(blocks.form()), (Names{"DOOR", "abc", "abbc", "WINDOW"}));
        dialogs.Next([&](DialogSession& filter) {
            reopened = filter.form();
            Act(filter, "cancel");
        });
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "rclick 1005");
        Act(blocks, "cancel");
    });
    Names names;
    EXPECT_FALSE(Choose(names));
    EXPECT_EQ(reopened.control(1030)->check, BST_UNCHECKED);
    EXPECT_EQ(reopened.control(1031)->check, BST_UNCHECKED);
    EXPECT_EQ(reopened.control(1032)->text, "*");
    EXPECT_FALSE(reopened.control(1005)->enabled);
    ASSERT_EQ(dialogs.popups.size(), 1u);
    EXPECT_FALSE(dialogs.popups[0].item(1011)->checked);
    EXPECT_TRUE(TheModuleState().layerFilter.on);
    EXPECT_EQ(TheModuleState().layerFilter.layers, Names{"WALLS"});
}

TEST_F(NameFilterDialogTest, AnUnreadableLayerTableGivesAnEmptyListAndAnEmptyFilter)
{
    LoadMixedDrawing();
    for (AcDbFault fault : {AcDbFault::Open, AcDbFault::NewIterator}) {
        SCOPED_TRACE(static_cast<int>(fault));
        TheModuleState().layerFilter = {false, {"WALLS"}};
        dialogs.Next([&](DialogSession& blocks) {
            dialogs.Next([&](DialogSession& filter) {
                EXPECT_TRUE(Items(filter.form()).empty());
                Act(filter, "check 1030 on");
                Act(filter, "ok");
            });
            InjectDatabaseFault(*database, fault, 1, Acad::eInvalidOpenState);
            Act(blocks, "rclick 1005 1011");
            Act(blocks, "cancel");
        });
        Names names;
        EXPECT_FALSE(Choose(names));
        EXPECT_TRUE(TheModuleState().layerFilter.on);
        EXPECT_TRUE(TheModuleState().layerFilter.layers.empty());
    }
}

TEST_F(NameFilterDialogTest, ASelectionShowsItsBoxAndUncheckingItLiftsTheLimitOnOk)
{
    LoadMixedDrawing();
    AcDbObjectIdArray& selected = TheModuleState().selectedReferences;
    selected.append(database->layerTableId()); // any id: only its presence counts here
    DialogForm filterForm;
    dialogs.Next([&](DialogSession& blocks) {
        // Marked as a filter even before the filter dialog was used.
        Act(blocks, "rclick 1005");
        dialogs.Next([&](DialogSession& filter) {
            filterForm = filter.form();
            Act(filter, "check 1033 off");
            Act(filter, "ok");
        });
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "cancel");
    });
    Names names;
    EXPECT_FALSE(Choose(names));
    ASSERT_EQ(dialogs.popups.size(), 1u);
    EXPECT_TRUE(dialogs.popups[0].item(1011)->checked);
    EXPECT_TRUE(filterForm.control(1033)->visible);
    EXPECT_EQ(filterForm.control(1033)->check, BST_CHECKED);
    // A cancelled block choice keeps the selection as it was.
    EXPECT_EQ(selected.length(), 1);

    dialogs.Next([&](DialogSession& blocks) {
        dialogs.NextActions({"check 1033 off", "ok"});
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "ok");
    });
    ASSERT_TRUE(Choose(names));
    EXPECT_EQ(selected.length(), 0);
}
