#include "drawing_fixture.h"
#include <dbdatabase.h>

void DrawingTest::SetUp()
{
    host.install();
    db = std::make_unique<AcDbDatabase>();
    host.setWorkingDatabase(db.get());
    host.setPromptIO(
        [this](std::string& line) {
            if (input.empty())
                return false;
            line = input.front();
            input.pop_front();
            return line != "^C";
        },
        [this](const std::string& text) { output += text; });
}

void DrawingTest::TearDown()
{
    EXPECT_EQ(OpenObjectCount(*db), 0) << "drawing objects left open";
    EXPECT_EQ(host.openSelectionSetCount(), 0) << "selection sets not freed";
}

void DrawingTest::load(const std::string& dxf)
{
    ASSERT_EQ(ReadDxfText(*db, dxf, "test.dxf"), Acad::eOk) << DxfErrorMessage(*db);
}

void DrawingTest::loadFile(const std::string& path)
{
    ASSERT_EQ(db->readDxfFile(path.c_str()), Acad::eOk) << DxfErrorMessage(*db);
}

AcDbObjectId DrawingTest::idOf(const char* handle)
{
    AcDbObjectId id;
    db->getAcDbObjectId(id, false, AcDbHandle(handle));
    return id;
}
