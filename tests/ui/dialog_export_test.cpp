// The dialog exports ("Export", "Selection+export") with the block choice and
// its filter answered through the test driver, from the keyword to the
// worksheets; a cancel anywhere leaves no workbook, no open drawing object and
// no live COM object (the fixture checks the last two).
#include "export/export_fixture.h"

#include "support/scripted_dialogs.h"

#include <algorithm>

namespace {

using Texts = std::vector<std::string>;

class DialogExport : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        DxfDrawing drawing;
        drawing.layer("Doors");
        drawing.block("DOOR", {{"NUMBER", "Number?", "0", false}}).block("WINDOW", {{"TAG", "Tag?", "W", false}});
        door1 = drawing.insert({"DOOR", "Doors", 1, 2, 0, 0, 1, 1, 1, {{"NUMBER", "D1"}}});
        window1 = drawing.insert({"WINDOW", "0", 5, 6, 0, 0, 1, 1, 1, {{"TAG", "W1"}}});
        door2 = drawing.insert({"DOOR", "0", 3, 4, 0, 0, 1, 1, 1, {{"NUMBER", "D2"}}});
        Load(drawing);
        Store(AttributesOnly());
    }

    // The handles in column A's comments of a sheet, top down.
    Texts Handles(const std::string& sheet) const
    {
        Texts handles;
        for (int row = 2; row < 20; ++row)
            if (auto comment = Comment(Sheet(sheet), row, 1))
                handles.push_back(*comment);
        return handles;
    }

    // The filter dialog's handler: layer `layer` only, and `pattern`.
    ScriptedDialogs::Handler LayerAndPattern(const std::string& layer, const std::string& pattern)
    {
        return [layer, pattern](DialogSession& filter) {
            const DialogForm form = filter.form();
            const FormControl* list = form.control(1005);
            const auto at = std::find_if(list->items.begin(), list->items.end(),
                                         [&](const FormItem& item) { return item.text == layer; });
            ASSERT_NE(at, list->items.end());
            Act(filter, "check 1030 on");
            Act(filter, "select 1005 " + std::to_string(at - list->items.begin()));
            Act(filter, "check 1031 on");
            Act(filter, "text 1032 " + pattern);
            Act(filter, "ok");
        };
    }

    std::string door1, door2, window1;
};

} // namespace

TEST_F(DialogExport, ACancelledChoiceEndsBeforeTheProgramIsStarted)
{
    StartExcel(excelsim::ExcelInstall::Installed);
    dialogs.NextActions({"cancel"});
    Gwell({"Export"});
    EXPECT_EQ(App(), nullptr);

    // Cancelled inside the filter too: the filter stays as it was.
    drawingHost.setImpliedSelection({IdOf(door1)});
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.NextActions({"check 1030 on", "select 1005 0", "cancel"});
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "cancel");
    });
    Gwell({"Selection+export"});
    EXPECT_EQ(App(), nullptr);
    EXPECT_FALSE(TheModuleState().layerFilter.on);
    EXPECT_EQ(dialogs.opened.size(), 3u);
}

TEST_F(DialogExport, TheFilterChosenInTheDialogLimitsThisExportAndTheLaterOnes)
{
    StartExcel();
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.Next(LayerAndPattern("Doors", "D*"));
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "ok");
    });
    Gwell({"Export"});
    EXPECT_EQ(SheetNames(), (Texts{"DOOR", "Sheet1"}));
    EXPECT_EQ(Handles("DOOR"), Texts{door1}) << "door2 lies on layer 0";

    // The layer filter outlives the command; the pattern does not.
    Gwell({"Export2", "DOOR,WINDOW"});
    EXPECT_EQ(Handles("DOOR"), Texts{door1});
    EXPECT_EQ(Sheet("WINDOW"), nullptr) << "no WINDOW lies on Doors";
}

TEST_F(DialogExport, UntickingTheSelectionBoxExportsEveryReferenceOfTheChosenBlocks)
{
    StartExcel();
    drawingHost.setImpliedSelection({IdOf(door2)});
    Gwell({"Selection+export"}); // the choice confirmed as it opened
    EXPECT_EQ(Handles("DOOR"), Texts{door2});

    drawingHost.setImpliedSelection({IdOf(door2)});
    dialogs.Next([&](DialogSession& blocks) {
        dialogs.NextActions({"check 1033 off", "ok"});
        Act(blocks, "rclick 1005 1011");
        Act(blocks, "ok");
    });
    Gwell({"Selection+export"});
    EXPECT_EQ(Handles("DOOR"), (Texts{door1, door2}));
    EXPECT_EQ(Handles("WINDOW"), Texts{window1});
}
