// Reading and writing DXF: damaged input, text encodings, and saving only
// what changed.
#include "support/drawing_fixture.h"
#include <dbdatabase.h>

#include "codepage.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

using Att = DxfBuilder::Att;

std::string Text(char* copy)
{
    std::string text = copy ? copy : "<null>";
    acutDelString(copy);
    return text;
}

std::string Small(bool r12 = false)
{
    return DxfBuilder(r12).layer("Walls").block("B", {{"T", "T?", "x"}}).insert("1001", "B", {{"T", "v"}}).text();
}

using DxfRead = DrawingTest;

TEST_F(DxfRead, DamagedTextIsRefusedWithItsLineAndLoadsNothing)
{
    load(Small());
    const std::string good = Small();
    struct Case {
        std::string text, message;
    };
    std::string dupHandle = good;
    dupHandle.replace(dupHandle.find("5\n1001\n"), 7, "5\n10\n"); // the handle of layer 0
    std::vector<Case> cases = {
        {good.substr(0, good.size() / 2), "line"},
        {good.substr(0, good.find("EOF")), "cut short"},
        {"  0\nSECTION\n  2\nSTUFF\n  0\nENDSEC\n  0\nEOF\n", "line 3: unknown section 'STUFF'"},
        {"  0\nSECTION\n  2\nENTITIES\n abc\nLINE\n  0\nENDSEC\n  0\nEOF\n", "line 5: bad group code 'abc'"},
        {"  0\nSECTION\n  2\nENTITIES\n99999\nLINE\n", "bad group code '99999'"},
        {"  0\nSECTION\n  2\nENTITIES\n  0\nATTRIB\n  2\nT\n  0\nENDSEC\n  0\nEOF\n", "line 5: ATTRIB without"},
        {"  0\nSECTION\n  2\nENTITIES\n  0\nINSERT\n  2\nB\n 10\n1,5\n  0\nENDSEC\n  0\nEOF\n", "line 10: bad number"},
        {dupHandle, "handle 10 is used twice"},
        // Damage in the HEADER section, after its object was made.
        {"  0\nSECTION\n  2\nHEADER\n  9\n$LUNITS\n 70\nx\n  0\nENDSEC\n  0\nEOF\n", "line 8: bad integer 'x'"},
        {"  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nX\n  0\nENDSEC\n  0\nEOF\n", "without ENDBLK"},
        {"AutoCAD Binary DXF\r\n\x1a", "binary"},
        {"", "no EOF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(ReadDxfText(*db, c.text, "bad.dxf"), Acad::eDxfReadAborted);
        EXPECT_NE(DxfErrorMessage(*db).find(c.message), std::string::npos) << DxfErrorMessage(*db);
        EXPECT_EQ(DxfErrorMessage(*db).rfind("bad.dxf: ", 0), 0u);
        // The drawing that was there stays.
        EXPECT_FALSE(idOf("1001").isNull());
    }
}

TEST_F(DxfRead, MissingFileAndTheEmptyDrawing)
{
    EXPECT_EQ(db->readDxfFile("/nonexistent/x.dxf"), Acad::eFileNotFound);
    EXPECT_NE(DxfErrorMessage(*db).find("/nonexistent/x.dxf"), std::string::npos);
    AcDbDatabase empty;
    AcDbLayerTable* layers = nullptr;
    ASSERT_EQ(empty.getLayerTable(layers, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(layers->has("0"));
    layers->close();
    EXPECT_EQ(DxfAcadVersion(empty), "AC1009");
    EXPECT_FALSE(empty.currentSpaceId().isNull());
}

TEST_F(DxfRead, HeaderUnitsAreRead)
{
    load(DxfBuilder()
             .header("$LUNITS", 70, "4")
             .header("$LUPREC", 70, "3")
             .header("$AUNITS", 70, "1")
             .header("$AUPREC", 70, "2")
             .header("$UNITMODE", 70, "1")
             .header("$DIMZIN", 70, "8")
             .text());
    EXPECT_EQ(db->lunits(), 4);
    EXPECT_EQ(db->luprec(), 3);
    EXPECT_EQ(db->aunits(), 1);
    EXPECT_EQ(db->auprec(), 2);
    EXPECT_EQ(db->unitmode(), 1);
    EXPECT_EQ(db->dimzin(), 8);
}

class DxfEncoding : public DrawingTest {
protected:
    void TearDown() override
    {
        SetAnsiCodePageForHost(CP_UTF8);
        DrawingTest::TearDown();
    }
    std::string attributeText(const char* handle)
    {
        AcDbBlockReferencePointer ref(idOf(handle), AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
        AcDbAttribute* att = nullptr;
        ref->openAttribute(att, it->objectId(), AcDb::kForRead);
        std::string text = Text(att->textString());
        att->close();
        return text;
    }
    void setAttributeText(const char* handle, const char* text)
    {
        AcDbBlockReferencePointer ref(idOf(handle), AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
        AcDbAttribute* att = nullptr;
        ASSERT_EQ(ref->openAttribute(att, it->objectId(), AcDb::kForWrite), Acad::eOk);
        EXPECT_EQ(att->setTextString(text), Acad::eOk);
        att->close();
    }
};

TEST_F(DxfEncoding, OldFilesUseTheirCodePageAndEscapesNewOnesUtf8)
{
    // "Žluť" in a Windows-1250 R12 file, with an escaped snowman.
    std::string r12 = DxfBuilder(true, "ANSI_1250").block("B", {{"T", "", ""}}).insert("1001", "B", {{"T", "\x8Elu\x9D \\U+2603"}}).text();
    load(r12);
    EXPECT_EQ(attributeText("1001"), "\xC5\xBDlu\xC5\xA5 \xE2\x98\x83"); // UTF-8 host
    setAttributeText("1001", "\xC5\xA0\xC3\xA9\xE2\x82\xAC^x"); // Š é € ^x
    std::string saved = DxfOutText(*db);
    // Š is 0x8A, é is 0xE9 and € 0x80 in 1250; a caret is written as "^ ".
    EXPECT_NE(saved.find("\n\x8A\xE9\x80^ x\n"), std::string::npos);

    std::string r2018 = DxfBuilder(false).block("B", {{"T", "", ""}}).insert("1001", "B", {{"T", "\xC5\xBDlu\xC5\xA5"}}).text();
    r2018.replace(r2018.find("AC1015"), 6, "AC1032");
    load(r2018);
    EXPECT_EQ(attributeText("1001"), "\xC5\xBDlu\xC5\xA5");
    setAttributeText("1001", "\xE2\x98\x83\tx");
    EXPECT_NE(DxfOutText(*db).find("\n\xE2\x98\x83^Ix\n"), std::string::npos);
}

TEST_F(DxfEncoding, AHost1252CodePageHoldsEscapesForWhatItCannotShow)
{
    ASSERT_TRUE(SetAnsiCodePageForHost(1252));
    std::string r2018 = DxfBuilder(false).block("B", {{"T", "", ""}}).insert("1001", "B", {{"T", "\xC5\xA4\xC3\xA9"}}).text();
    r2018.replace(r2018.find("AC1015"), 6, "AC1032");
    load(r2018);
    EXPECT_EQ(attributeText("1001"), "\\U+0164\xE9"); // Ť has no place in 1252, é is 0xE9
    setAttributeText("1001", "\xE9\\U+0164!");
    EXPECT_NE(DxfOutText(*db).find("\n\xC3\xA9\xC5\xA4!\n"), std::string::npos);
}

using DxfWrite = DrawingTest;

TEST_F(DxfWrite, OnlyChangedGroupsChangeAndMissingOnesAreAddedInPlace)
{
    for (bool r12 : {true, false}) {
        SCOPED_TRACE(r12 ? "R12" : "R2000");
        std::string original = Small(r12);
        load(original);
        EXPECT_EQ(DxfOutText(*db), original);
        {
            AcDbBlockReferencePointer ref(idOf("1001"), AcDb::kForWrite);
            ASSERT_EQ(ref->setRotation(M_PI / 2), Acad::eOk);
            ASSERT_EQ(ref->setScaleFactors(AcGeScale3d(2, 2, 1)), Acad::eOk);
            EXPECT_EQ(ref->setScaleFactors(AcGeScale3d(0, 1, 1)), Acad::eInvalidInput);
            ASSERT_EQ(ref->setPosition(AcGePoint3d(0, 7.25, 0)), Acad::eOk); // x and z as they were
        }
        std::string saved = DxfOutText(*db);
        // Within the changed record too, the groups nobody set keep their
        // lines as read ("2", "10", "30" unpadded, as the file spells them);
        // the set and added ones are in the writer's spelling.
        std::string insert = r12 ? "2\nB\n10\n0.000000\n 20\n7.25\n30\n0.0\n 41\n2.0\n 42\n2.0\n 50\n90.0\n"
                                 : "100\nAcDbBlockReference\n66\n1\n2\nB\n10\n0.000000\n 20\n7.25\n30\n0.0\n 41\n2.0\n 42\n2.0\n 50\n90.0\n";
        EXPECT_NE(saved.find(insert), std::string::npos) << saved.substr(saved.find("INSERT"), 300);
        // Everything else is as it was: the text before the INSERT and from its first attribute on.
        std::size_t insertAt = original.find("0\nINSERT\n");
        EXPECT_EQ(saved.substr(0, insertAt), original.substr(0, insertAt));
        EXPECT_EQ(saved.substr(saved.find("0\nATTRIB\n")), original.substr(original.find("0\nATTRIB\n")));
        AcDbDatabase again(false);
        ASSERT_EQ(ReadDxfText(again, saved), Acad::eOk) << DxfErrorMessage(again);
        AcDbObjectId id;
        again.getAcDbObjectId(id, false, AcDbHandle("1001"));
        AcDbBlockReferencePointer ref(id, AcDb::kForRead);
        EXPECT_NEAR(ref->rotation(), M_PI / 2, 1e-15);
        EXPECT_EQ(ref->scaleFactors(), AcGeScale3d(2, 2, 1));
    }
}

// A changed record is written from the lines it was read from: the groups
// nobody set keep their spelling and line ends (here CRLF) byte for byte, a
// group inside an application group ("102 {...") is not the record's own and
// stays, and only the set group's lines are new.
TEST_F(DxfWrite, AChangedRecordKeepsTheLinesOfEveryGroupNobodySet)
{
    std::string text = Small(false);
    const std::string marker = "100\nAcDbEntity\n8\n0\n100\nAcDbText\n";
    const std::size_t attrib = text.find("0\nATTRIB\n");
    ASSERT_NE(attrib, std::string::npos);
    const std::size_t at = text.find(marker, attrib);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, marker.size(), "100\nAcDbEntity\n102\n{GW_TEST\n8\ninside\n102\n}\n8\n0\n100\nAcDbText\n");
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    load(crlf);
    {
        AcDbEntityPointer ref(idOf("1001"), AcDb::kForWrite);
        ASSERT_EQ(ref->setLayer("Walls"), Acad::eOk);
    }
    const std::string saved = DxfOutText(*db);
    EXPECT_NE(saved.find("102\r\n{GW_TEST\r\n8\r\ninside\r\n102\r\n}\r\n  8\r\nWalls\r\n100\r\nAcDbText\r\n"),
              std::string::npos);
    EXPECT_NE(saved.find("1\r\nv\r\n100\r\nAcDbAttribute\r\n2\r\nT\r\n"), std::string::npos);
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i] == '\n') {
            ASSERT_TRUE(i > 0 && saved[i - 1] == '\r') << "a bare line feed at " << i;
        }
    }
    // Besides the layer's value lines nothing changed: the same text with
    // the new layer names put back.
    std::string expected = crlf;
    const std::string layer0 = "\r\n8\r\n0\r\n", walls = "\r\n  8\r\nWalls\r\n";
    for (std::size_t p = expected.find("ENTITIES"); (p = expected.find(layer0, p)) != std::string::npos; p += walls.size())
        expected.replace(p, layer0.size(), walls);
    EXPECT_EQ(saved, expected);
}

TEST_F(DxfWrite, ErasedReferencesLeaveWithTheirAttributesAndSavingReplacesTheFileWhole)
{
    load(Small(false));
    {
        AcDbEntityPointer ref(idOf("1001"), AcDb::kForWrite);
        ASSERT_EQ(ref->erase(), Acad::eOk);
    }
    std::string saved = DxfOutText(*db);
    EXPECT_EQ(saved.find("INSERT"), std::string::npos);
    EXPECT_EQ(saved.find("ATTRIB"), std::string::npos);
    EXPECT_EQ(saved.find("SEQEND"), std::string::npos);
    EXPECT_NE(saved.find("ATTDEF"), std::string::npos);

    auto dir = std::filesystem::temp_directory_path() / ("gw_dxf_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string target = (dir / "out.dxf").string();
    { std::ofstream(target) << "old"; }
    ASSERT_EQ(db->dxfOut(target.c_str()), Acad::eOk);
    std::ifstream in(target, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1); // no temporary file left
    EXPECT_EQ(db->dxfOut((dir / "missing" / "x.dxf").string().c_str()), Acad::eFileAccessErr);
    std::filesystem::remove_all(dir);
}

} // namespace

namespace {

TEST_F(DxfWrite, DrawingsWithoutHandlesGetHandlesThatAreNeverWritten)
{
    const std::string text = "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nB\n 70\n2\n 10\n0\n 20\n0\n"
                             "  0\nATTDEF\n  8\n0\n 10\n0\n 20\n0\n 40\n1\n  1\nd\n  3\np\n  2\nT\n 70\n0\n"
                             "  0\nENDBLK\n  0\nENDSEC\n"
                             "  0\nSECTION\n  2\nENTITIES\n"
                             "  0\nINSERT\n  8\n0\n 66\n1\n  2\nB\n 10\n1\n 20\n2\n"
                             "  0\nATTRIB\n  8\n0\n 10\n1\n 20\n2\n 40\n1\n  1\nold\n  2\nT\n 70\n0\n"
                             "  0\nSEQEND\n  8\n0\n"
                             "  0\nENDSEC\n  0\nEOF\n";
    load(text);
    AcDbBlockTableRecordPointer model(db->currentSpaceId(), AcDb::kForRead);
    AcDbBlockTableRecordIterator* it = nullptr;
    ASSERT_EQ(model->newIterator(it), Acad::eOk);
    AcDbObjectId id;
    ASSERT_EQ(it->getEntityId(id), Acad::eOk);
    delete it;
    model.close();
    ASSERT_FALSE(id.handle().isNull());
    AcDbObjectId again;
    ASSERT_EQ(db->getAcDbObjectId(again, false, id.handle()), Acad::eOk);
    EXPECT_EQ(again, id);
    {
        AcDbBlockReferencePointer ref(id, AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> atts(ref->attributeIterator());
        AcDbAttribute* att = nullptr;
        ASSERT_EQ(ref->openAttribute(att, atts->objectId(), AcDb::kForWrite), Acad::eOk);
        att->setTextString("new");
        att->close();
    }
    std::string saved = DxfOutText(*db);
    EXPECT_EQ(saved.find("\n  5\n"), std::string::npos);
    std::string expected = text;
    expected.replace(expected.find("old"), 3, "new");
    EXPECT_EQ(saved, expected);
}

} // namespace

namespace {

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

unsigned ModeOf(const std::filesystem::path& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Saving over what the user has: modes kept, links followed, read-only
// files refused, nothing left behind.
TEST_F(DxfWrite, SavingKeepsModesFollowsLinksAndRefusesReadOnlyFiles)
{
    load(Small(false));
    const std::string saved = DxfOutText(*db);
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("gw_dxf_modes_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
    fs::create_directories(dir / "links");

    const fs::path plain = dir / "plain.dxf";
    { std::ofstream(plain) << "old"; }
    fs::permissions(plain, fs::perms(0604));
    ASSERT_EQ(db->dxfOut(plain.c_str()), Acad::eOk) << DxfErrorMessage(*db);
    EXPECT_EQ(FileText(plain), saved);
    EXPECT_EQ(ModeOf(plain), 0604u);

    const fs::path target = dir / "real" / "target.dxf";
    { std::ofstream(target) << "old"; }
    fs::permissions(target, fs::perms(0620));
    const fs::path link = dir / "links" / "link.dxf";
    fs::create_symlink("../real/target.dxf", link);
    ASSERT_EQ(db->dxfOut(link.c_str()), Acad::eOk) << DxfErrorMessage(*db);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(FileText(target), saved);
    EXPECT_EQ(ModeOf(target), 0620u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "links"), {}), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), {}), 1);

    // A dangling link: the file it names is made, the link stays.
    const fs::path dangling = dir / "links" / "later.dxf";
    fs::create_symlink("../real/later.dxf", dangling);
    ASSERT_EQ(db->dxfOut(dangling.c_str()), Acad::eOk) << DxfErrorMessage(*db);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(FileText(dir / "real" / "later.dxf"), saved);

    // No write bit for anyone: refused, for root as for anyone else.
    const fs::path readOnly = dir / "ro.dxf";
    { std::ofstream(readOnly) << "old"; }
    fs::permissions(readOnly, fs::perms(0444));
    EXPECT_EQ(db->dxfOut(readOnly.c_str()), Acad::eFileAccessErr);
    EXPECT_NE(DxfErrorMessage(*db).find("read-only"), std::string::npos) << DxfErrorMessage(*db);
    EXPECT_EQ(FileText(readOnly), "old");
    EXPECT_EQ(ModeOf(readOnly), 0444u);

    // A directory in the target's place.
    fs::create_directories(dir / "folder.dxf");
    EXPECT_EQ(db->dxfOut((dir / "folder.dxf").c_str()), Acad::eFileAccessErr);
    EXPECT_TRUE(fs::is_directory(dir / "folder.dxf"));

    // real, links, plain.dxf, ro.dxf, folder.dxf: no temporary file anywhere.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 5);
    fs::remove_all(dir);
}

} // namespace
