// The bundled sample drawing holds what the walk-through needs.
#include "support/drawing_fixture.h"

#include <map>

namespace {

using SampleDrawing = DrawingTest;

TEST_F(SampleDrawing, HoldsAttributedPlainAndAnonymousBlocksReferencedEverywhere)
{
    loadFile(std::string(GW_SOURCE_DIR) + "/samples/sample.dxf");
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
    AcDbBlockTableIterator* it = nullptr;
    ASSERT_EQ(table->newIterator(it), Acad::eOk);
    std::map<std::string, std::pair<bool, int>> blocks; // name -> attributes?, references
    int anonymous = 0;
    for (; !it->done(); it->step()) {
        AcDbBlockTableRecord* record = nullptr;
        ASSERT_EQ(it->getRecord(record, AcDb::kForRead), Acad::eOk);
        AcDbObjectIdArray refs;
        record->getBlockReferenceIds(refs);
        if (record->isAnonymous()) {
            ++anonymous;
            EXPECT_EQ(refs.length(), 1);
        } else if (!record->isLayout()) {
            const char* name = nullptr;
            record->getName(name);
            blocks[name] = {record->hasAttributeDefinitions(), refs.length()};
        }
        record->close();
    }
    delete it;
    table->close();
    EXPECT_EQ(anonymous, 1);
    EXPECT_EQ(blocks["DOOR"], std::make_pair(true, 4)); // three in model space, one inside ROOM
    EXPECT_EQ(blocks["WINDOW"], std::make_pair(true, 2));
    EXPECT_EQ(blocks["TITLE"], std::make_pair(true, 2)); // one in each paper layout
    EXPECT_EQ(blocks["CHAIR"], std::make_pair(false, 2));
    EXPECT_EQ(blocks["ROOM"], std::make_pair(false, 1));
    EXPECT_EQ(db->lunits(), 2);
}

} // namespace
