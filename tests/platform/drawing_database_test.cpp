// The drawing database as the module sees it: handles, opening rules, the
// tables, block references and attributes, layers, layouts, faults.
#include "support/drawing_fixture.h"
#include <dbdatabase.h>

#include <cmath>
#include <memory>

namespace {

using Def = DxfBuilder::Def;
using Att = DxfBuilder::Att;

std::string Text(char* copy)
{
    std::string text = copy ? copy : "<null>";
    acutDelString(copy);
    return text;
}

// Block DOOR (two definitions), block PLAIN without any, references in
// model space, paper space and inside block FRAME.
std::string Doors(bool r12)
{
    return DxfBuilder(r12)
        .layer("Walls")
        .block("DOOR", {{"NUMBER", "Number?", "0"}, {"WIDTH", "Width?", "90", 2}})
        .block("PLAIN", {})
        .block("FRAME", {})
        .insert("1001", "DOOR", {{"NUMBER", "D1"}}, 5, 6)
        .insert("1002", "door", {{"NUMBER", "D2"}}, 0, 0, "paper")
        .insert("1003", "DOOR", {{"NUMBER", "D3"}}, 0, 0, "FRAME")
        .insert("1004", "PLAIN", {})
        .line("1005", "Walls")
        .text();
}

class Database : public DrawingTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Database, HandlesNameObjectsAndTextOutsideHexNamesNothing)
{
    load(Doors(GetParam()));
    AcDbObjectId id;
    EXPECT_EQ(db->getAcDbObjectId(id, false, AcDbHandle("1001")), Acad::eOk);
    EXPECT_EQ(id.handle(), AcDbHandle("1001"));
    char text[17];
    id.handle().getIntoAsciiBuffer(text);
    EXPECT_STREQ(text, "1001");
    AcDbHandle lower("abc");
    lower.getIntoAsciiBuffer(text);
    EXPECT_STREQ(text, "ABC");
    EXPECT_EQ(db->getAcDbObjectId(id, false, AcDbHandle("FFFF")), Acad::eUnknownHandle);
    EXPECT_TRUE(id.isNull());
    EXPECT_TRUE(AcDbHandle("").isNull());
    EXPECT_TRUE(AcDbHandle("12G").isNull());
    EXPECT_TRUE(AcDbHandle("11112222333344445").isNull());
    EXPECT_EQ(db->getAcDbObjectId(id, false, AcDbHandle("xyz")), Acad::eNullHandle);
}

TEST_P(Database, OpenRulesReadersWriterErasedAndClass)
{
    load(Doors(GetParam()));
    AcDbObjectId ref = idOf("1001"), line = idOf("1005"), layerTable = db->layerTableId();
    AcDbEntity* a = nullptr;
    AcDbEntity* b = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(a, ref, AcDb::kForRead), Acad::eOk);
    ASSERT_EQ(acdbOpenAcDbEntity(b, ref, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(OpenObjectCount(*db), 2);
    AcDbEntity* w = nullptr;
    EXPECT_EQ(acdbOpenAcDbEntity(w, ref, AcDb::kForWrite), Acad::eWasOpenForRead);
    EXPECT_EQ(w, nullptr);
    EXPECT_TRUE(a->isReadEnabled());
    EXPECT_FALSE(a->isWriteEnabled());
    EXPECT_EQ(a->setLayer("Walls"), Acad::eNotOpenForWrite);
    a->close();
    b->close();
    EXPECT_FALSE(a->isReadEnabled());
    ASSERT_EQ(acdbOpenAcDbEntity(w, ref, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(acdbOpenAcDbEntity(a, ref, AcDb::kForRead), Acad::eWasOpenForWrite);
    EXPECT_EQ(w->erase(), Acad::eOk);
    w->close();
    EXPECT_TRUE(ref.isErased());
    EXPECT_EQ(acdbOpenAcDbEntity(a, ref, AcDb::kForRead), Acad::eWasErased);
    ASSERT_EQ(acdbOpenAcDbEntity(a, ref, AcDb::kForRead, true), Acad::eOk);
    a->close();

    AcDbBlockReference* asRef = nullptr;
    EXPECT_EQ(acdbOpenObject(asRef, line, AcDb::kForRead), Acad::eNotThatKindOfClass);
    EXPECT_EQ(asRef, nullptr);
    EXPECT_EQ(acdbOpenAcDbEntity(a, layerTable, AcDb::kForRead), Acad::eNotAnEntity);
    EXPECT_EQ(acdbOpenAcDbEntity(a, AcDbObjectId(), AcDb::kForRead), Acad::eNullObjectId);
    EXPECT_EQ(OpenObjectCount(*db), 0);
}

TEST_P(Database, BlockTableNamesFlagsAndReferenceLists)
{
    load(Doors(GetParam()));
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
    AcDbBlockTableRecord* door = nullptr;
    ASSERT_EQ(table->getAt("door", door, AcDb::kForRead), Acad::eOk); // names ignore case
    EXPECT_TRUE(door->hasAttributeDefinitions());
    EXPECT_FALSE(door->isAnonymous());
    AcDbObjectIdArray refs;
    door->getBlockReferenceIds(refs);
    ASSERT_EQ(refs.length(), 3);
    EXPECT_TRUE(refs.contains(idOf("1001")));
    EXPECT_TRUE(refs.contains(idOf("1002"))); // paper space
    EXPECT_TRUE(refs.contains(idOf("1003"))); // inside FRAME
    door->close();

    std::vector<std::string> names;
    AcDbBlockTableIterator* it = nullptr;
    ASSERT_EQ(table->newIterator(it), Acad::eOk);
    for (; !it->done(); it->step()) {
        AcDbBlockTableRecord* record = nullptr;
        ASSERT_EQ(it->getRecord(record, AcDb::kForRead), Acad::eOk);
        const char* name = nullptr;
        record->getName(name);
        names.push_back(name + std::string(record->isLayout() ? "(layout)" : "")
                        + (record->hasAttributeDefinitions() ? "(atts)" : ""));
        record->close();
    }
    delete it;
    table->close();
    EXPECT_EQ(names, (std::vector<std::string>{"*Model_Space(layout)", "*Paper_Space(layout)", "DOOR(atts)", "PLAIN",
                                               "FRAME"}));
    AcDbBlockTableRecord* missing = nullptr;
    AcDbBlockTable* again = nullptr;
    ASSERT_EQ(db->getBlockTable(again, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(again->getAt("NOPE", missing, AcDb::kForRead), Acad::eKeyNotFound);
    again->close();
}

TEST_P(Database, ReferenceGeometryAttributesAndDefinitions)
{
    load(Doors(GetParam()));
    AcDbBlockReferencePointer ref(idOf("1001"), AcDb::kForRead);
    ASSERT_EQ(ref.openStatus(), Acad::eOk);
    EXPECT_TRUE(ref->position().isEqualTo(AcGePoint3d(5, 6, 0)));
    EXPECT_EQ(ref->scaleFactors(), AcGeScale3d(1, 1, 1));
    std::unique_ptr<AcDbObjectIterator> atts(ref->attributeIterator());
    atts->start();
    ASSERT_FALSE(atts->done());
    AcDbAttribute* att = nullptr;
    ASSERT_EQ(ref->openAttribute(att, atts->objectId(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(Text(att->tag()), "NUMBER");
    EXPECT_EQ(Text(att->textString()), "D1");
    att->close();
    atts->step();
    EXPECT_TRUE(atts->done());
    // An attribute of another reference is not this one's to open.
    AcDbBlockReferencePointer other(idOf("1002"), AcDb::kForRead);
    std::unique_ptr<AcDbObjectIterator> otherAtts(other->attributeIterator());
    EXPECT_EQ(ref->openAttribute(att, otherAtts->objectId(), AcDb::kForRead), Acad::eNotInBlock);

    AcDbBlockTableRecordPointer block(ref->blockTableRecord(), AcDb::kForRead);
    AcDbBlockTableRecordIterator* it = nullptr;
    ASSERT_EQ(block->newIterator(it), Acad::eOk);
    std::vector<std::string> defs;
    for (; !it->done(); it->step()) {
        AcDbEntity* e = nullptr;
        ASSERT_EQ(it->getEntity(e, AcDb::kForRead), Acad::eOk);
        if (auto* def = AcDbAttributeDefinition::cast(e))
            defs.push_back(Text(def->tag()) + "|" + Text(def->prompt()) + "|" + Text(def->textString()) + "|"
                           + (def->isConstant() ? "const" : ""));
        e->close();
    }
    delete it;
    EXPECT_EQ(defs, (std::vector<std::string>{"NUMBER|Number?|0|", "WIDTH|Width?|90|const"}));
}

TEST_P(Database, IteratorsSkipErasedEntities)
{
    load(Doors(GetParam()));
    AcDbEntity* line = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(line, idOf("1005"), AcDb::kForWrite), Acad::eOk);
    line->erase();
    line->close();
    AcDbBlockTableRecordPointer model(db->currentSpaceId(), AcDb::kForRead);
    AcDbBlockTableRecordIterator* it = nullptr;
    ASSERT_EQ(model->newIterator(it, true, true), Acad::eOk);
    int live = 0;
    for (; !it->done(); it->step(true, true))
        ++live;
    it->start(true, false);
    int all = 0;
    for (; !it->done(); it->step(true, false))
        ++all;
    delete it;
    EXPECT_EQ(live, 2);
    EXPECT_EQ(all, 3);
}

TEST_P(Database, LayersMustExistAndAttributesFollowTheirReference)
{
    load(Doors(GetParam()));
    AcDbEntityPointer ref(idOf("1001"), AcDb::kForWrite);
    EXPECT_EQ(ref->setLayer("NoSuchLayer"), Acad::eKeyNotFound);
    EXPECT_EQ(Text(ref->layer()), "0");
    EXPECT_EQ(ref->setLayer("walls"), Acad::eOk);
    EXPECT_EQ(Text(ref->layer()), "Walls"); // the table's spelling
    std::unique_ptr<AcDbObjectIterator> atts(AcDbBlockReference::cast(ref.object())->attributeIterator());
    AcDbEntityPointer att(atts->objectId(), AcDb::kForRead);
    EXPECT_EQ(Text(att->layer()), "Walls");

    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db->getLayerTable(layers, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(layers->has("WALLS"));
    EXPECT_FALSE(layers->has("Doors"));
    layers->close();
}

TEST_P(Database, ActiveLayoutIsModelOrThePaperLayout)
{
    load(Doors(GetParam()));
    char* name = nullptr;
    ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->getActiveLayoutName(name, true), Acad::eOk);
    EXPECT_EQ(Text(name), "Model");
    ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->getActiveLayoutName(name, false), Acad::eOk);
    EXPECT_EQ(Text(name), "Layout1");
    db->setTilemode(false);
    ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->getActiveLayoutName(name, true), Acad::eOk);
    EXPECT_EQ(Text(name), "Layout1");
    host.setWorkingDatabase(nullptr);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
    EXPECT_EQ(acdbHostApplicationServices()->layoutManager()->getActiveLayoutName(name, true), Acad::eNoDatabase);
}

TEST_P(Database, InjectedFaultsFailTheNthCallOfTheirKindOnly)
{
    load(Doors(GetParam()));
    InjectDatabaseFault(*db, AcDbFault::Open, 2, Acad::eWasOpenForWrite);
    AcDbEntity* e = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(e, idOf("1005"), AcDb::kForRead), Acad::eOk);
    e->close();
    EXPECT_EQ(acdbOpenAcDbEntity(e, idOf("1005"), AcDb::kForRead), Acad::eWasOpenForWrite);
    EXPECT_EQ(e, nullptr);
    ASSERT_EQ(acdbOpenAcDbEntity(e, idOf("1005"), AcDb::kForWrite), Acad::eOk);
    InjectDatabaseFault(*db, AcDbFault::Setter, 1, Acad::eInvalidLayer);
    EXPECT_EQ(e->setLayer("Walls"), Acad::eInvalidLayer);
    EXPECT_EQ(Text(e->layer()), "Walls"); // line 1005 was on Walls already
    EXPECT_EQ(e->setLayer("0"), Acad::eOk);
    e->close();
    InjectDatabaseFault(*db, AcDbFault::GetObjectId, 1, Acad::eUnknownHandle);
    AcDbObjectId id;
    EXPECT_EQ(db->getAcDbObjectId(id, false, AcDbHandle("1005")), Acad::eUnknownHandle);
    EXPECT_EQ(db->getAcDbObjectId(id, false, AcDbHandle("1005")), Acad::eOk);
    InjectDatabaseFault(*db, AcDbFault::NewIterator, 1, Acad::eOutOfMemory);
    AcDbBlockTableRecordPointer model(db->currentSpaceId(), AcDb::kForRead);
    AcDbBlockTableRecordIterator* it = nullptr;
    EXPECT_EQ(model->newIterator(it), Acad::eOutOfMemory);
    EXPECT_EQ(it, nullptr);
}

INSTANTIATE_TEST_SUITE_P(R12AndR2000, Database, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "R12" : "R2000"; });

using Selection = DrawingTest;

const resbuf kInsertFilter = {nullptr, 0, {.rstring = const_cast<char*>("INSERT")}};

TEST_F(Selection, ImpliedSelectionIsFilteredAndTakenOnce)
{
    load(Doors(false));
    host.setImpliedSelection({idOf("1005"), idOf("1001"), idOf("1004")});
    ads_name ss;
    ASSERT_EQ(acedSSGet("_I", nullptr, nullptr, &kInsertFilter, ss), RTNORM);
    long length = 0;
    ASSERT_EQ(acedSSLength(ss, &length), RTNORM);
    ASSERT_EQ(length, 2);
    ads_name ent;
    AcDbObjectId id;
    ASSERT_EQ(acedSSName(ss, 1, ent), RTNORM);
    ASSERT_EQ(acdbGetObjectId(id, ent), Acad::eOk);
    EXPECT_EQ(id, idOf("1004"));
    EXPECT_EQ(acedSSName(ss, 2, ent), RTERROR);
    EXPECT_EQ(host.openSelectionSetCount(), 1);
    EXPECT_EQ(acedSSFree(ss), RTNORM);
    EXPECT_EQ(acedSSFree(ss), RTERROR);
    EXPECT_EQ(acedSSGet("_I", nullptr, nullptr, &kInsertFilter, ss), RTERROR); // taken
}

TEST_F(Selection, InteractivePickReadsHandlesOfTheCurrentSpaceUntilAnEmptyLine)
{
    load(Doors(false));
    input = {"1001 1005", "1002 ZZZ", "1004", ""};
    ads_name ss;
    ASSERT_EQ(acedSSGet("", nullptr, nullptr, &kInsertFilter, ss), RTNORM);
    long length = 0;
    acedSSLength(ss, &length);
    EXPECT_EQ(length, 2); // 1005 is a line, 1002 lies in paper space
    acedSSFree(ss);
    EXPECT_NE(output.find("Select objects: "), std::string::npos);
    EXPECT_NE(output.find("2 found"), std::string::npos);

    input = {"1005", ""};
    EXPECT_EQ(acedSSGet(nullptr, nullptr, nullptr, &kInsertFilter, ss), RTERROR); // nothing passes
    input = {"1001", "^C"};
    EXPECT_EQ(acedSSGet("", nullptr, nullptr, &kInsertFilter, ss), RTCAN);
    EXPECT_EQ(host.openSelectionSetCount(), 0);
}

} // namespace
