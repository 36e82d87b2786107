// What export gathers from the drawing: the block-name table, the merged
// attributes of a reference, the layer and selection filters and the pick.
#include "export_drawing_fixture.h"

#include "export/block_name_table.h"
#include "export/collect_attributes.h"
#include "export/reference_filters.h"
#include "export/select_references.h"
#include "res/resource.h"
#include "common/resource_strings.h"

#include <dbdatabase.h>
#include <dbents.h>
#include <dbobjptr.h>

namespace {

std::vector<std::string> Names(const BlockNameTable& table)
{
    std::vector<std::string> names;
    for (const auto& entry : table.entries())
        names.push_back(entry.name + (entry.hasAttributes ? "+" : ""));
    return names;
}

std::vector<std::string> Handles(const AcDbObjectIdArray& ids)
{
    std::vector<std::string> handles;
    for (const AcDbObjectId& id : ids) {
        char text[17];
        id.handle().getIntoAsciiBuffer(text);
        handles.emplace_back(text);
    }
    return handles;
}

class BlockCollection : public ExportDrawingFixture {
protected:
    AcDbObjectIdArray ReferencesOf(std::initializer_list<std::string> handles)
    {
        AcDbObjectIdArray ids;
        for (const std::string& handle : handles)
            ids.append(IdOf(handle));
        return ids;
    }
};

} // namespace

TEST_F(BlockCollection, TableOffersNamedBlocksOnlyAndTellsWhenThereIsNone)
{
    DxfDrawing drawing;
    drawing.block("*U1", {{"A", "a?", "", false}}, 1).block("*Paper_Space7").block("*PAPER_SPACEX");
    Load(drawing);
    BlockNameTable table;
    EXPECT_TRUE(BuildBlockNameTable(table));
    EXPECT_TRUE(table.empty());
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].caption, ResourceString(IDS_NO_BLOCKS_CAPTION));
    EXPECT_EQ(messageBoxes.boxes[0].text, ResourceString(IDS_ERROR_TEXT));
    EXPECT_EQ(messageBoxes.boxes[0].type & MB_ICONMASK, MB_ICONERROR);

    DxfDrawing named;
    named.block("DOOR", {{"NUMBER", "Number?", "1", false}}).block("*U2", {}, 1).block("PLAIN");
    Load(named);
    messageBoxes.boxes.clear();
    EXPECT_TRUE(BuildBlockNameTable(table));
    EXPECT_EQ(Names(table), (std::vector<std::string>{"DOOR+", "PLAIN"}));
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(BlockCollection, TableFailsQuietlyWithoutBlockTableOrIterator)
{
    DxfDrawing drawing;
    drawing.block("DOOR");
    Load(drawing);
    BlockNameTable table;
    InjectDatabaseFault(*database, AcDbFault::Open, 1, Acad::eInvalidOpenState);
    EXPECT_FALSE(BuildBlockNameTable(table));
    InjectDatabaseFault(*database, AcDbFault::NewIterator, 1, Acad::eOutOfMemory);
    EXPECT_FALSE(BuildBlockNameTable(table));
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(BlockCollection, ReferenceTextsFillTheirDefinitionsRecords)
{
    DxfDrawing drawing;
    drawing.block("B", {{"TAG1", "one?", "constant one", true}, {"TAG2", "two?", "d2", false},
                        {"TAG3", "three?", "d3", false}});
    const std::string inOrder = drawing.insert({"B", "0", 0, 0, 0, 0, 1, 1, 1, {{"TAG2", "v2"}, {"TAG3", "v3"}}});
    const std::string reordered = drawing.insert({"B", "0", 0, 0, 0, 0, 1, 1, 1, {{"TAG3", "v3"}, {"TAG2", "v2"}}});
    Load(drawing);

    std::vector<AttributeRecord> records;
    {
        AcDbBlockReferencePointer reference(IdOf(inOrder), AcDb::kForRead);
        ASSERT_EQ(reference.openStatus(), Acad::eOk);
        ASSERT_TRUE(CollectAttributes(reference, records));
    }
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].tag, "TAG1");
    EXPECT_TRUE(records[0].constant);
    EXPECT_EQ(records[0].value, "constant one");
    EXPECT_EQ(records[1].prompt, "two?");
    EXPECT_EQ(records[1].value, "v2");
    EXPECT_EQ(records[2].value, "v3");

    {
        AcDbBlockReferencePointer reference(IdOf(reordered), AcDb::kForRead);
        ASSERT_TRUE(CollectAttributes(reference, records));
    }
    // The order the reference keeps its attributes in decides nothing.
    EXPECT_EQ(records[1].value, "v2");
    EXPECT_EQ(records[2].value, "v3");
}

TEST_F(BlockCollection, LayerFilterKeepsListedLayersInAnyCaseAndDropsTheRest)
{
    DxfDrawing drawing;
    drawing.layer("Doors").layer("Walls").block("B");
    const std::string a = drawing.insert({"B", "Doors"});
    const std::string b = drawing.insert({"B", "Walls"});
    const std::string c = drawing.insert({"B", "0"});
    const std::string d = drawing.insert({"B", "doors"});
    Load(drawing);

    AcDbObjectIdArray ids = ReferencesOf({a, b, c, d});
    ApplyLayerFilter(ids, {.on = true, .layers = {"DOORS", "Walls"}});
    EXPECT_EQ(Handles(ids), (std::vector<std::string>{a, b, d}));

    ids = ReferencesOf({a, b, c, d});
    ApplyLayerFilter(ids, {.on = true, .layers = {}});
    EXPECT_TRUE(ids.isEmpty());

    // A reference that does not open is dropped.
    ids = ReferencesOf({a, b});
    InjectDatabaseFault(*database, AcDbFault::Open, 1, Acad::eWasOpenForWrite);
    ApplyLayerFilter(ids, {.on = true, .layers = {"Doors", "Walls"}});
    EXPECT_EQ(Handles(ids), (std::vector<std::string>{b}));
}

TEST_F(BlockCollection, SelectionFilterKeepsPickedReferencesInListOrder)
{
    DxfDrawing drawing;
    drawing.block("B");
    std::vector<std::string> handles;
    for (int i = 0; i < 6; ++i)
        handles.push_back(drawing.insert({"B"}));
    Load(drawing);
    AcDbObjectIdArray ids = ReferencesOf({handles[0], handles[1], handles[2], handles[3], handles[4], handles[5]});
    ApplySelectionFilter(ids, ReferencesOf({handles[4], handles[1], handles[5]}));
    EXPECT_EQ(Handles(ids), (std::vector<std::string>{handles[1], handles[4], handles[5]}));
}

TEST_F(BlockCollection, PickTakesTheImpliedSelectionElseAsksAndCountsOnlyReferences)
{
    DxfDrawing drawing;
    drawing.block("B");
    const std::string a = drawing.insert({"B"});
    const std::string b = drawing.insert({"B"});
    Load(drawing);

    AcDbObjectIdArray picked;
    drawingHost.setImpliedSelection({IdOf(b)});
    EXPECT_EQ(SelectReferences(picked), 1);
    EXPECT_EQ(Handles(picked), std::vector<std::string>{b});

    // No implied selection any more: the user is asked.
    Type({a + " " + b, ""});
    EXPECT_EQ(SelectReferences(picked), 2);
    EXPECT_EQ(Handles(picked), (std::vector<std::string>{b, a, b}));

    Type({"^C"});
    EXPECT_EQ(SelectReferences(picked), 0);
    EXPECT_EQ(picked.length(), 3);
}
