#include "support/corpus.h"
#include "support/drawing_fixture.h"
#include <dbdatabase.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> CorpusFiles()
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder()))
        if (entry.path().extension() == ".dxf")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

using DxfCorpus = DrawingTest;

TEST_F(DxfCorpus, EveryDrawingLoadsAndSavesUntouchedByteForByte)
{
    GW_SKIP_WITHOUT_CORPUS();
    auto files = CorpusFiles();
    ASSERT_GE(files.size(), 10u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        AcDbDatabase database(false);
        ASSERT_EQ(database.readDxfFile(file.c_str()), Acad::eOk) << DxfErrorMessage(database);
        EXPECT_EQ(DxfOutText(database), ReadFile(file));
    }
}

} // namespace

namespace {

TEST_F(DxfCorpus, AMultiInsertIsAReferenceWithRowsColumnsAndAttributes)
{
    GW_SKIP_WITHOUT_CORPUS();
    loadFile(CorpusFolder() + "/ezdxf_multi_insert_with_attribs.dxf");
    AcDbObjectPointer<AcDbMInsertBlock> grid(idOf("3B"), AcDb::kForRead);
    ASSERT_EQ(grid.openStatus(), Acad::eOk);
    EXPECT_EQ(grid->columns(), 5);
    EXPECT_EQ(grid->rows(), 5);
    EXPECT_GT(grid->columnSpacing(), 0);
    std::unique_ptr<AcDbObjectIterator> atts(grid->attributeIterator());
    std::vector<std::string> tags;
    for (atts->start(); !atts->done(); atts->step()) {
        AcDbAttribute* att = nullptr;
        ASSERT_EQ(grid->openAttribute(att, atts->objectId(), AcDb::kForRead), Acad::eOk);
        char* tag = att->tag();
        tags.push_back(tag);
        acutDelString(tag);
        att->close();
    }
    EXPECT_EQ(tags, (std::vector<std::string>{"NAME", "XPOS", "YPOS"}));
}

TEST_F(DxfCorpus, ThePaperLayoutIsActiveWhenModelSpaceIsNot)
{
    loadFile(std::string(GW_SOURCE_DIR) + "/samples/sample.dxf");
    db->setTilemode(false);
    char* name = nullptr;
    ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->getActiveLayoutName(name, true), Acad::eOk);
    EXPECT_STREQ(name, "Layout1");
    acutDelString(name);
    // The header change is saved.
    EXPECT_NE(DxfOutText(*db).find("$TILEMODE\n 70\n0\n"), std::string::npos);
}

} // namespace
