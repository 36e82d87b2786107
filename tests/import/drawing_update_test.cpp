// The drawing update operations on real drawing data: attribute texts by
// tag, position, scale, rotation and layer with the attribute refresh, and
// the silent status check and assertion box.
#include "support/drawing_fixture.h"
#include <dbdatabase.h>
#include "support/leak_checked_test.h"
#include "support/host_fixture.h"

#include "import/cell_number.h"
#include "import/drawing_update.h"
#include "import/status_check.h"

#include <oleauto.h>

#include <cmath>

namespace {

std::string HandleText(AcDbObjectId id)
{
    char text[17];
    id.handle().getIntoAsciiBuffer(text);
    return text;
}

struct Attr {
    std::string tag, text;
    AcGePoint3d position;
    double rotation, height;
    int fieldLength;
};

class DrawingUpdate : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        SetMessageBoxDriver(&boxes);
        load(DxfBuilder()
                 .layer("Doors")
                 .block("DOOR", {{"NUMBER", "Number?", "0"}, {"Width", "Width?", "90"}})
                 .block("PLAIN", {})
                 .insert("1001", "DOOR", {{"NUMBER", "D1"}, {"WIDTH", "80"}}, 5, 6)
                 .insert("1002", "PLAIN", {}, 1, 1)
                 .line("1003")
                 .text());
    }
    void TearDown() override
    {
        SetMessageBoxDriver(nullptr);
        DrawingTest::TearDown();
    }

    std::vector<Attr> attributes(const char* handle)
    {
        std::vector<Attr> out;
        AcDbBlockReferencePointer ref(idOf(handle), AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
        for (it->start(); !it->done(); it->step()) {
            AcDbAttribute* att = nullptr;
            if (ref->openAttribute(att, it->objectId(), AcDb::kForRead) != Acad::eOk)
                continue;
            char* tag = att->tag();
            char* text = att->textString();
            out.push_back({tag, text, att->position(), att->rotation(), att->height(), att->fieldLength()});
            acutDelString(tag);
            acutDelString(text);
            att->close();
        }
        return out;
    }
    std::string layerOf(const char* handle)
    {
        AcDbEntityPointer e(idOf(handle), AcDb::kForRead, true);
        char* layer = e->layer();
        std::string name = layer;
        acutDelString(layer);
        return name;
    }
    AcGePoint3d positionOf(const char* handle)
    {
        AcDbBlockReferencePointer ref(idOf(handle), AcDb::kForRead);
        return ref->position();
    }
    void eraseDefinition(const char* tag)
    {
        AcDbBlockTable* table = nullptr;
        ASSERT_EQ(db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
        AcDbBlockTableRecord* block = nullptr;
        table->getAt("DOOR", block, AcDb::kForRead);
        table->close();
        AcDbBlockTableRecordIterator* it = nullptr;
        block->newIterator(it);
        for (; !it->done(); it->step()) {
            AcDbEntity* e = nullptr;
            it->getEntity(e, AcDb::kForWrite);
            auto* def = AcDbAttributeDefinition::cast(e);
            char* defTag = def ? def->tag() : nullptr;
            if (defTag && std::string(defTag) == tag)
                e->erase();
            acutDelString(defTag);
            e->close();
        }
        delete it;
        block->close();
    }

    RecordingMessageBoxes boxes;
};

TEST_F(DrawingUpdate, MovingRotatingAndScalingCarryTheAttributesAlongWithTheirTexts)
{
    SetBlockPosition("1001", AcGePoint3d(100, 200, 0));
    auto atts = attributes("1001");
    ASSERT_EQ(atts.size(), 2u);
    EXPECT_TRUE(positionOf("1001").isEqualTo(AcGePoint3d(100, 200, 0)));
    EXPECT_TRUE(atts[0].position.isEqualTo(AcGePoint3d(100, 200, 0)));
    EXPECT_TRUE(atts[1].position.isEqualTo(AcGePoint3d(110, 200, 0)));
    EXPECT_EQ(atts[0].text, "D1");
    EXPECT_EQ(atts[1].text, "80");
    EXPECT_EQ(atts[0].fieldLength, 3); // after a refresh: byte length plus one
    EXPECT_EQ(atts[1].tag, "Width");    // the definition's spelling

    SetBlockRotation("1001", M_PI / 2);
    atts = attributes("1001");
    EXPECT_TRUE(atts[1].position.isEqualTo(AcGePoint3d(100, 210, 0), 1e-9));
    EXPECT_NEAR(atts[1].rotation, M_PI / 2, 1e-12);

    SetBlockScale("1001", AcGeScale3d(2, 2, 2));
    atts = attributes("1001");
    EXPECT_TRUE(atts[1].position.isEqualTo(AcGePoint3d(100, 220, 0), 1e-9));
    EXPECT_DOUBLE_EQ(atts[1].height, 5.0);
    EXPECT_EQ(atts[1].text, "80");
}

TEST_F(DrawingUpdate, AnAttributeWithoutDefinitionIsNotRefreshedButItsTextCanBeSet)
{
    eraseDefinition("Width");
    SetBlockPosition("1001", AcGePoint3d(100, 200, 0));
    auto atts = attributes("1001");
    EXPECT_TRUE(atts[0].position.isEqualTo(AcGePoint3d(100, 200, 0)));
    EXPECT_TRUE(atts[1].position.isEqualTo(AcGePoint3d(15, 6, 0))); // where it was
    UpdateAttributesByTag("1001", {"width"}, {"75"});
    EXPECT_EQ(attributes("1001")[1].text, "75");
}

TEST_F(DrawingUpdate, TagsMatchWithoutCaseAndTheLaterOfTwoValuesStays)
{
    UpdateAttributesByTag("1001", {"number", "WIDTH", "Number", "COLOR"}, {"first", "100", "second", "red"});
    auto atts = attributes("1001");
    EXPECT_EQ(atts[0].text, "second");
    EXPECT_EQ(atts[0].fieldLength, 6); // after a value update: the byte length
    EXPECT_EQ(atts[1].text, "100");
    ASSERT_EQ(atts.size(), 2u); // no attribute is added for COLOR
    UpdateAttributesByTag("1001", {"NUMBER", "WIDTH"}, {"only one"}); // lists differ in length
    EXPECT_EQ(attributes("1001")[0].text, "second");
}

TEST_F(DrawingUpdate, RepeatedTagsPairUpInTurnWhenTheReferenceHasAsManyAttributesOfTheTag)
{
    load(DxfBuilder()
             .block("TWICE", {{"PART", "", ""}, {"PART", "", ""}})
             .insert("2001", "TWICE", {{"PART", "second"}, {"part", "first"}})
             .text());
    // Export writes the two PART attributes as two columns, in turn; the
    // unchanged row must give each attribute back its own text.
    EXPECT_FALSE(UpdateAttributesByTag("2001", {"PART", "PART"}, {"second", "first"}));
    auto atts = attributes("2001");
    ASSERT_EQ(atts.size(), 2u);
    EXPECT_EQ(atts[0].text, "second");
    EXPECT_EQ(atts[1].text, "first");
    EXPECT_EQ(atts[0].fieldLength, 0); // untouched

    EXPECT_TRUE(UpdateAttributesByTag("2001", {"PART", "PART"}, {"second", "new"}));
    atts = attributes("2001");
    EXPECT_EQ(atts[0].text, "second");
    EXPECT_EQ(atts[1].text, "new");

    // One column for two attributes of its tag: both take it.
    UpdateAttributesByTag("2001", {"PART"}, {"both"});
    atts = attributes("2001");
    EXPECT_EQ(atts[0].text, "both");
    EXPECT_EQ(atts[1].text, "both");
}

TEST_F(DrawingUpdate, AReferenceWithoutAttributesStillMovesScalesRotatesAndChangesLayer)
{
    SetBlockPosition("1002", AcGePoint3d(3, 4, 5));
    SetBlockScale("1002", AcGeScale3d(2, 3, 4));
    SetBlockRotation("1002", 1.0);
    SetEntityLayer("1002", "DOORS");
    AcDbBlockReferencePointer ref(idOf("1002"), AcDb::kForRead);
    EXPECT_TRUE(ref->position().isEqualTo(AcGePoint3d(3, 4, 5)));
    EXPECT_EQ(ref->scaleFactors(), AcGeScale3d(2, 3, 4));
    EXPECT_NEAR(ref->rotation(), 1.0, 1e-12);
    ref.close();
    EXPECT_EQ(layerOf("1002"), "Doors");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DrawingUpdate, LayerChangesTakeTheAttributesAlongAndAFailedOneChangesNothing)
{
    SetEntityLayer("1001", "Doors");
    EXPECT_EQ(layerOf("1001"), "Doors");
    AcDbBlockReferencePointer ref(idOf("1001"), AcDb::kForRead);
    std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
    EXPECT_EQ(layerOf(HandleText(it->objectId()).c_str()), "Doors");
    ref.close();

    SetEntityLayer("1001", "Missing");
    EXPECT_EQ(layerOf("1001"), "Doors");
    InjectDatabaseFault(*db, AcDbFault::Setter, 1, Acad::eOnLockedLayer);
    SetEntityLayer("1001", "0");
    EXPECT_EQ(layerOf("1001"), "Doors");
    // A line has no class check for its layer.
    SetEntityLayer("1003", "Doors");
    EXPECT_EQ(layerOf("1003"), "Doors");
    EXPECT_TRUE(boxes.boxes.empty()); // failures are silent
    EXPECT_STREQ(LastStatusDiagnostic(), "Acad::ErrorStatus = 87");
}

TEST_F(DrawingUpdate, WhatCannotBeOpenedOrIsNotAReferenceChangesNothing)
{
    std::string before = DxfOutText(*db);
    for (const char* handle : {"", "XYZ", "FFFF", "1003"}) {
        UpdateAttributesByTag(handle, {"NUMBER"}, {"x"});
        SetBlockPosition(handle, AcGePoint3d(1, 1, 1));
        SetBlockScale(handle, AcGeScale3d(3));
        SetBlockRotation(handle, 1);
    }
    SetEntityLayer("FFFF", "Doors");
    {
        AcDbEntityPointer ref(idOf("1001"), AcDb::kForWrite);
        ref->erase();
    }
    UpdateAttributesByTag("1001", {"NUMBER"}, {"x"});
    SetEntityLayer("1001", "Doors");
    AcDbEntity* e = nullptr;
    EXPECT_FALSE(OpenEntityByHandle("1001", AcDb::kForRead, e));
    EXPECT_EQ(e, nullptr);
    {
        AcDbEntityPointer ref(idOf("1001"), AcDb::kForWrite, true);
        ref->erase(false);
    }
    EXPECT_EQ(DxfOutText(*db), before);
    EXPECT_TRUE(OpenEntityByHandle("1001", AcDb::kForRead, e));
    e->close();
    host.setWorkingDatabase(nullptr);
    EXPECT_FALSE(OpenEntityByHandle("1001", AcDb::kForRead, e));
    host.setWorkingDatabase(db.get());
}

TEST_F(DrawingUpdate, AFailedSetterSkipsTheRefreshAndAnAttributeThatDoesNotOpenIsPassedOver)
{
    InjectDatabaseFault(*db, AcDbFault::Setter, 1, Acad::eInvalidInput);
    SetBlockPosition("1001", AcGePoint3d(100, 200, 0));
    EXPECT_TRUE(positionOf("1001").isEqualTo(AcGePoint3d(5, 6, 0)));
    EXPECT_TRUE(attributes("1001")[0].position.isEqualTo(AcGePoint3d(5, 6, 0)));

    // Opens: the reference, then its first attribute, which fails.
    InjectDatabaseFault(*db, AcDbFault::Open, 2, Acad::eWasOpenForWrite);
    UpdateAttributesByTag("1001", {"NUMBER", "WIDTH"}, {"n", "w"});
    auto atts = attributes("1001");
    EXPECT_EQ(atts[0].text, "D1");
    EXPECT_EQ(atts[1].text, "w");

    // Opens during a refresh: reference, attribute 1, its block, its entities...
    InjectDatabaseFault(*db, AcDbFault::Open, 2, Acad::eWasOpenForWrite);
    SetBlockPosition("1001", AcGePoint3d(100, 200, 0));
    atts = attributes("1001");
    EXPECT_TRUE(atts[0].position.isEqualTo(AcGePoint3d(5, 6, 0)));
    EXPECT_TRUE(atts[1].position.isEqualTo(AcGePoint3d(110, 200, 0)));
}

TEST_F(DrawingUpdate, MissingObjectsRaiseTheAssertionBox)
{
    EXPECT_FALSE(RefreshAttributesFromBlock(nullptr));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Assertion failed");
    EXPECT_EQ(boxes.boxes[0].type & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(boxes.boxes[0].text.rfind("Module: cmd\\cmdgwell\nLine: ", 0), 0u);
    EXPECT_NE(boxes.boxes[0].text.find("\nCondition: pRef != NULL"), std::string::npos);

    AcDbBlockReferencePointer ref(idOf("1001"), AcDb::kForRead);
    EXPECT_EQ(FindAttributeDefinition(nullptr, ref.object(), AcDb::kForRead), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_NE(boxes.boxes[1].text.find("Condition: pAtt != NULL"), std::string::npos);
    // A reference that is not open is refused without a box.
    AcDbBlockReference* closed = ref.object();
    ref.close();
    EXPECT_FALSE(RefreshAttributesFromBlock(closed));
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

TEST_F(DrawingUpdate, TheFirstDefinitionOfATagIsFoundAndLeftOpen)
{
    AcDbBlockReferencePointer ref(idOf("1001"), AcDb::kForRead);
    std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
    it->step();
    AcDbAttribute* att = nullptr;
    ASSERT_EQ(ref->openAttribute(att, it->objectId(), AcDb::kForRead), Acad::eOk);
    AcDbAttributeDefinition* def = FindAttributeDefinition(att, ref.object(), AcDb::kForWrite);
    ASSERT_NE(def, nullptr);
    EXPECT_TRUE(def->isWriteEnabled());
    char* prompt = def->prompt();
    EXPECT_STREQ(prompt, "Width?");
    acutDelString(prompt);
    def->close();
    att->close();
    EXPECT_EQ(OpenObjectCount(*db), 1); // the reference only
}

using CheckStatusTest = LeakCheckedTest;

TEST_F(CheckStatusTest, ReturnsTheStatusUnchangedAndShowsNothing)
{
    RecordingMessageBoxes boxes;
    SetMessageBoxDriver(&boxes);
    EXPECT_EQ(CheckStatus(Acad::eOk, 1, "m"), Acad::eOk);
    EXPECT_EQ(CheckStatus(Acad::eWasErased, 2, "m"), Acad::eWasErased);
    EXPECT_STREQ(LastStatusDiagnostic(), "Acad::ErrorStatus = 80");
    EXPECT_TRUE(boxes.boxes.empty());
    SetMessageBoxDriver(nullptr);
}

} // namespace
