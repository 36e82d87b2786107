// Saving a workbook opened from a file keeps what the stand-in does not
// model, writes nothing when nothing changed, and keeps the file's mode.
#include "xlsx_file.h"
#include "support/leak_checked_test.h"
#include "support/zip_parts.h"
#include "utf8_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

using namespace excelsim;
namespace fs = std::filesystem;

class XlsxSave : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("gw_xlsx_save_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

using Parts = ZipParts;

void WriteZip(const std::string& path, const Parts& parts)
{
    int err = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, data] : parts)
        zip_file_add(archive, name.c_str(), zip_source_buffer(archive, data.data(), data.size(), 0), 0);
    ASSERT_EQ(zip_close(archive), 0);
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const char* kNs = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// A workbook with what the stand-in does not model: a formula with its
// cached result, a filled cell style, merged cells, page setup, a defined
// name, document properties and a calculation chain.
Parts SourceParts()
{
    std::string ns = kNs, rel = kRel;
    return {
        {"[Content_Types].xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/worksheets/sheet2.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/><Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/><Override PartName="/docProps/custom.xml" ContentType="application/vnd.openxmlformats-officedocument.custom-properties+xml"/></Types>)"},
        {"_rels/.rels",
         R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type=")" +
             rel + R"(officeDocument" Target="xl/workbook.xml"/><Relationship Id="rId2" Type=")" + rel +
             R"(custom-properties" Target="docProps/custom.xml"/></Relationships>)"},
        {"docProps/custom.xml", R"(<?xml version="1.0"?><Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/custom-properties"/>)"},
        {"xl/workbook.xml", R"(<?xml version="1.0"?><workbook )" + ns +
                                R"(><sheets><sheet name="Data" sheetId="1" r:id="rId1"/><sheet name="Other" sheetId="2" r:id="rId2"/></sheets><definedNames><definedName name="Total">Data!$A$1</definedName></definedNames></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type=")" +
             rel + R"(worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type=")" + rel +
             R"(worksheet" Target="worksheets/sheet2.xml"/><Relationship Id="rId3" Type=")" + rel +
             R"(styles" Target="styles.xml"/><Relationship Id="rId4" Type=")" + rel +
             R"(calcChain" Target="calcChain.xml"/></Relationships>)"},
        {"xl/styles.xml", R"(<?xml version="1.0"?><styleSheet )" + ns +
                              R"(><fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts><fills count="3"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill><fill><patternFill patternType="solid"><fgColor rgb="FFFFFF00"/></patternFill></fill></fills><borders count="1"><border/></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="0" fontId="0" fillId="2" borderId="0" xfId="0" applyFill="1"/></cellXfs></styleSheet>)"},
        {"xl/calcChain.xml", R"(<?xml version="1.0"?><calcChain )" + ns + R"(><c r="A1" i="1"/><c r="C2" i="1"/></calcChain>)"},
        {"xl/worksheets/sheet1.xml",
         R"(<?xml version="1.0"?><worksheet )" + ns +
             R"(><dimension ref="A1:C5"/><sheetData><row r="1" spans="1:3"><c r="A1"><f>1+1</f><v>2</v></c><c r="B1" s="1"><v>5</v></c><c r="C1" t="inlineStr"><is><t>keep</t></is></c></row><row r="2"><c r="C2"><f>B1*2</f><v>10</v></c></row><row r="5"><c r="A5" t="inlineStr"><is><t>merged</t></is></c></row></sheetData><mergeCells count="1"><mergeCell ref="A5:B5"/></mergeCells><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/></worksheet>)"},
        {"xl/worksheets/sheet2.xml", R"(<?xml version="1.0"?><worksheet )" + ns +
                                         R"(><sheetData><row r="1"><c r="A1"><f>Data!B1</f><v>5</v></c></row></sheetData></worksheet>)"},
    };
}

CellValue Number(double n) { return CellValue{CellKind::Number, n, false, 0, {}}; }
CellValue Text(std::u16string t) { return CellValue{CellKind::Text, 0, false, 0, std::move(t)}; }

// The <c> element of `ref` in a sheet part.
std::string CellElement(const std::string& xml, const std::string& ref)
{
    std::size_t at = xml.find("<c r=\"" + ref + "\"");
    if (at == std::string::npos)
        return {};
    std::size_t selfEnd = xml.find("/>", at), end = xml.find("</c>", at);
    std::size_t open = xml.find('>', at);
    if (selfEnd != std::string::npos && selfEnd + 1 == open)
        return xml.substr(at, selfEnd + 2 - at);
    return xml.substr(at, end + 4 - at);
}

TEST_F(XlsxSave, ReadingLeavesTheWorkbookUnchangedAndEveryKindOfChangeMarksIt)
{
    std::string path = Path("book.xlsx"), error;
    WriteZip(path, SourceParts());
    auto changes = std::vector<std::pair<const char*, void (*)(Workbook&)>>{
        {"value", [](Workbook& b) { b.sheets[0]->Update(9, 9, [](CellEdit& c) { c.SetValue(Number(1)); }); }},
        {"comment", [](Workbook& b) { b.sheets[0]->Update(1, 3, [](CellEdit& c) { c.SetComment(u"x"); }); }},
        {"format", [](Workbook& b) { b.sheets[0]->Update(1, 3, [](CellEdit& c) { c.SetNumberFormat(u"0.00"); }); }},
        {"row format", [](Workbook& b) { b.sheets[1]->SetRowBold(4, true); }},
        {"width", [](Workbook& b) { b.sheets[1]->SetColumnWidth(2, 30); }},
        {"autofit", [](Workbook& b) { b.sheets[0]->AutoFit(1, 3); }},
        {"sheet name", [](Workbook& b) { b.sheets[1]->SetName(u"Renamed"); }},
    };
    for (const auto& [what, change] : changes) {
        auto book = ReadXlsx(path, error);
        ASSERT_TRUE(book) << error;
        EXPECT_FALSE(book->Changed()) << what;
        change(*book);
        EXPECT_TRUE(book->Changed()) << what;
    }
}

TEST_F(XlsxSave, UnchangedOpenedWorkbookIsNotRewrittenAndIsCopiedExactlyElsewhere)
{
    std::string path = Path("book.xlsx"), error;
    WriteZip(path, SourceParts());
    std::string before = FileBytes(path);
    fs::file_time_type stamp = fs::last_write_time(path) - std::chrono::hours(1);
    fs::last_write_time(path, stamp);
    auto book = ReadXlsx(path, error);
    ASSERT_TRUE(book) << error;

    EXPECT_EQ(SaveXlsx(*book, path, error), SaveResult::Unchanged) << error;
    EXPECT_EQ(fs::last_write_time(path), stamp);
    EXPECT_EQ(FileBytes(path), before);

    std::string copy = Path("copy.xlsx");
    EXPECT_EQ(SaveXlsx(*book, copy, error), SaveResult::Written) << error;
    EXPECT_EQ(FileBytes(copy), before);
}

TEST_F(XlsxSave, ChangedOpenedWorkbookKeepsEverythingElseAndItsPermissions)
{
    std::string path = Path("book.xlsx"), error;
    Parts source = SourceParts();
    WriteZip(path, source);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    auto book = ReadXlsx(path, error);
    ASSERT_TRUE(book) << error;
    Sheet& data = *book->sheets[0];
    data.Update(1, 2, [](CellEdit& c) { c.SetValue(Number(7)); });                  // styled cell: keeps its style
    data.Update(1, 1, [](CellEdit& c) { c.SetValue(Text(u"typed over\x01")); });     // a formula replaced
    data.Update(1, 4, [](CellEdit& c) {                                           // new cell, new format
        c.SetValue(Text(u"new"));
        c.SetBold(true);
        c.SetNumberFormat(u"0.000");
    });
    data.Update(3, 2, [](CellEdit& c) { c.SetValue(Number(3)); });                  // new row between rows
    data.Update(7, 1, [](CellEdit& c) { c.SetValue(CellValue{CellKind::Boolean, 0, true, 0, {}}); }); // row at the end

    ASSERT_EQ(SaveXlsx(*book, path, error), SaveResult::Written) << error;
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename(), "book.xlsx") << "left behind";

    Parts saved = ReadZipParts(path);
    // Parts nothing changed are byte for byte the same; the calculation
    // chain, which named the replaced formula, is gone with its references.
    for (const char* part : {"_rels/.rels", "docProps/custom.xml", "xl/workbook.xml", "xl/worksheets/sheet2.xml"})
        EXPECT_EQ(saved[part], source[part]) << part;
    EXPECT_EQ(saved.count("xl/calcChain.xml"), 0u);
    EXPECT_EQ(saved["xl/_rels/workbook.xml.rels"].find("calcChain"), std::string::npos);
    EXPECT_EQ(saved["[Content_Types].xml"].find("calcChain"), std::string::npos);
    EXPECT_NE(saved["[Content_Types].xml"].find("custom-properties"), std::string::npos);

    const std::string& sheet = saved["xl/worksheets/sheet1.xml"];
    EXPECT_NE(sheet.find(R"(<mergeCells count="1"><mergeCell ref="A5:B5"/></mergeCells>)"), std::string::npos);
    EXPECT_NE(sheet.find("<pageMargins"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<row r="1">)"), std::string::npos); // its span no longer holds
    EXPECT_EQ(CellElement(sheet, "C1"), R"(<c r="C1" t="inlineStr"><is><t>keep</t></is></c>)");
    EXPECT_EQ(CellElement(sheet, "C2"), R"(<c r="C2"><f>B1*2</f><v>10</v></c>)");
    EXPECT_NE(CellElement(sheet, "B1").find(R"(s="1")"), std::string::npos) << CellElement(sheet, "B1");
    EXPECT_EQ(CellElement(sheet, "A1").find("<f>"), std::string::npos);
    // Rows and cells stay in order.
    EXPECT_LT(sheet.find(R"(<c r="C1")"), sheet.find(R"(<c r="D1")"));
    EXPECT_LT(sheet.find(R"(<row r="2")"), sheet.find(R"(<row r="3")"));
    EXPECT_LT(sheet.find(R"(<row r="3")"), sheet.find(R"(<row r="5")"));
    EXPECT_LT(sheet.find(R"(<row r="5")"), sheet.find(R"(<row r="7")"));
    // The filled format is still there, the new ones come after it.
    EXPECT_NE(saved["xl/styles.xml"].find(R"(<xf numFmtId="0" fontId="0" fillId="2" borderId="0" xfId="0" applyFill="1"/>)"),
              std::string::npos);

    auto back = ReadXlsx(path, error);
    ASSERT_TRUE(back) << error;
    const Sheet& s = *back->sheets[0];
    EXPECT_EQ(s.Find(1, 1)->Value(), Text(u"typed over\x01"));
    EXPECT_EQ(s.Find(1, 2)->Value(), Number(7));
    EXPECT_EQ(s.Find(1, 3)->Value(), Text(u"keep"));
    EXPECT_EQ(s.Find(1, 4)->Value(), Text(u"new"));
    EXPECT_TRUE(s.Find(1, 4)->Bold());
    EXPECT_EQ(s.Find(1, 4)->NumberFormat(), u"0.000");
    EXPECT_FALSE(s.Find(1, 2)->Bold());
    EXPECT_EQ(s.Find(2, 3)->Value(), Number(10));
    EXPECT_EQ(s.Find(3, 2)->Value(), Number(3));
    EXPECT_TRUE(s.Find(7, 1)->Boolean());
    EXPECT_EQ(back->sheets[1]->Find(1, 1)->Value(), Number(5));
}

TEST_F(XlsxSave, NewSheetsNotesAndWidthsJoinTheOpenedPackage)
{
    std::string path = Path("book.xlsx"), error;
    Parts source = SourceParts();
    // A name local to the second sheet: its sheet number moves with a sheet
    // put before it.
    std::string& workbook = source["xl/workbook.xml"];
    workbook.replace(workbook.find("</definedNames>"), 0, R"(<definedName name="Local" localSheetId="1">Other!$A$1</definedName>)");
    WriteZip(path, source);
    auto book = ReadXlsx(path, error);
    ASSERT_TRUE(book) << error;
    auto added = std::make_shared<Sheet>(u"Added");
    added->Update(1, 1, [](CellEdit& c) { c.SetValue(Text(u"head")); });
    added->SetRowBold(1, true);
    added->Update(2, 1, [](CellEdit& c) {
        c.SetValue(Text(u"P-1"));
        c.SetComment(u"1F3");
    });
    added->SetColumnWidth(1, 12.5);
    book->sheets.insert(book->sheets.begin() + 1, added);
    book->sheetsChanged = true;
    // The first notes and a width of a sheet of the file.
    book->sheets[0]->Update(2, 3, [](CellEdit& c) { c.SetComment(u"note on a formula"); });
    book->sheets[0]->SetColumnWidth(2, 30);

    ASSERT_EQ(SaveXlsx(*book, path, error), SaveResult::Written) << error;
    Parts saved = ReadZipParts(path);
    EXPECT_EQ(saved["xl/worksheets/sheet2.xml"], source["xl/worksheets/sheet2.xml"]);
    EXPECT_EQ(saved["xl/calcChain.xml"], source["xl/calcChain.xml"]); // no formula was replaced
    EXPECT_NE(saved["xl/workbook.xml"].find(R"(<definedName name="Local" localSheetId="2">)"), std::string::npos)
        << saved["xl/workbook.xml"];
    EXPECT_NE(saved["xl/workbook.xml"].find(R"(<definedName name="Total">Data!$A$1</definedName>)"), std::string::npos);
    EXPECT_NE(saved["xl/worksheets/sheet1.xml"].find("<legacyDrawing"), std::string::npos);
    EXPECT_LT(saved["xl/worksheets/sheet1.xml"].find("<cols>"), saved["xl/worksheets/sheet1.xml"].find("<sheetData>"));

    auto back = ReadXlsx(path, error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->sheets.size(), 3u);
    EXPECT_EQ(back->sheets[0]->Name(), u"Data");
    EXPECT_EQ(back->sheets[1]->Name(), u"Added");
    EXPECT_EQ(back->sheets[2]->Name(), u"Other");
    const Sheet& a = *back->sheets[1];
    EXPECT_EQ(a.Find(1, 1)->Value(), Text(u"head"));
    EXPECT_TRUE(a.RowBold(1));
    EXPECT_EQ(a.Find(2, 1)->Comment().value_or(u""), u"1F3");
    EXPECT_NEAR(a.ColumnWidth(1).value_or(0), 12.5, 0.01);
    const Sheet& d = *back->sheets[0];
    EXPECT_EQ(d.Find(2, 3)->Comment().value_or(u""), u"note on a formula");
    EXPECT_EQ(d.Find(2, 3)->Value(), Number(10));
    EXPECT_NEAR(d.ColumnWidth(2).value_or(0), 30, 0.01);
    EXPECT_EQ(back->sheets[2]->Find(1, 1)->Value(), Number(5));

    // Saved again, the notes of the file's sheet change in place.
    back->sheets[0]->Update(2, 3, [](CellEdit& c) { c.SetComment(std::nullopt); });
    back->sheets[0]->Update(1, 3, [](CellEdit& c) { c.SetComment(u"another"); });
    ASSERT_EQ(SaveXlsx(*back, path, error), SaveResult::Written) << error;
    auto third = ReadXlsx(path, error);
    ASSERT_TRUE(third) << error;
    EXPECT_FALSE(third->sheets[0]->Find(2, 3)->Comment());
    EXPECT_EQ(third->sheets[0]->Find(1, 3)->Comment().value_or(u""), u"another");
    EXPECT_EQ(third->sheets[1]->Find(2, 1)->Comment().value_or(u""), u"1F3");
    Parts again = ReadZipParts(path);
    std::string vml;
    for (const auto& [name, data] : again)
        if (name.find(".vml") != std::string::npos && data.find("<x:Row>0</x:Row><x:Column>2</x:Column>") != std::string::npos)
            vml = data;
    EXPECT_FALSE(vml.empty()) << "no note shape for C1";
    EXPECT_EQ(vml.find("<x:Row>1</x:Row><x:Column>2</x:Column>"), std::string::npos) << "the removed note keeps its shape";
}

TEST_F(XlsxSave, ASaveWritesThroughALinkAndKeepsTheTargetsMode)
{
    std::string target = Path("real.xlsx"), link = Path("link.xlsx"), error;
    { std::ofstream(target) << "old"; }
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    fs::create_symlink("real.xlsx", link);
    Workbook book;
    book.sheets = {std::make_shared<Sheet>(u"S")};
    book.sheets[0]->Update(1, 1, [](CellEdit& c) { c.SetValue(Number(42)); });
    ASSERT_EQ(SaveXlsx(book, link, error), SaveResult::Written) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    auto back = ReadXlsx(target, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->sheets[0]->Find(1, 1)->Value(), Number(42));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2) << "a file left behind";
}

TEST_F(XlsxSave, AChangeThatCannotBeCarriedOverIsRefusedAndTheFileKept)
{
    std::string path = Path("book.xlsx"), error;
    WriteZip(path, SourceParts());
    std::string before = FileBytes(path);
    auto book = ReadXlsx(path, error);
    ASSERT_TRUE(book) << error;
    book->sheets[0]->SetName(u"Elsewhere");
    EXPECT_EQ(SaveXlsx(*book, path, error), SaveResult::Failed);
    EXPECT_NE(error.find("renamed"), std::string::npos) << error;
    EXPECT_EQ(FileBytes(path), before);
}

} // namespace

namespace {

// A new workbook goes out row by row: plain texts inline, so that no table of
// every text is held while writing; a text that needs the format's escape
// puts the workbook's texts in the shared-string table, the one place every
// reader takes the escape back from. Either way everything reads back: texts,
// numbers, the "@" format, comments, bold rows (one with no cell too), widths,
// sheet order and the active sheet.
TEST_F(XlsxSave, NewWorkbookIsWrittenInRowOrderAndReadsBackWhole)
{
    for (const std::u16string odd : {u"", u"looks escaped: _x0041_", u"bell\u0007"}) {
        SCOPED_TRACE(Utf8(odd));
        Workbook book;
        book.name = u"Book1";
        auto first = std::make_shared<Sheet>(u"First");
        auto second = std::make_shared<Sheet>(u"Second");
        book.sheets = {first, second};
        book.activeSheet = 1;
        for (int row = 1; row <= 3; ++row)
            for (int column = 1; column <= 3; ++column)
                second->Update(row, column, [&](CellEdit& cell) {
                    cell.SetNumberFormat(u"@");
                    cell.SetValue(Text(u"r" + Utf16(std::to_string(row)) + u"c" + Utf16(std::to_string(column))));
                });
        second->Update(2, 1, [](CellEdit& cell) { cell.SetComment(u"1A2"); });
        second->Update(3, 2, [](CellEdit& cell) { cell.SetValue(Number(2.5)); });
        if (!odd.empty())
            second->Update(3, 3, [&](CellEdit& cell) { cell.SetValue(Text(odd)); });
        second->SetRowBold(1, true);
        second->SetRowBold(5, true);
        second->SetColumnWidth(2, 14.5);
        first->Update(1, 1, [](CellEdit& cell) { cell.SetValue(Text(u"alone")); });

        std::string error;
        const std::string path = Path("new.xlsx");
        ASSERT_TRUE(WriteXlsx(book, path, error)) << error;
        const Parts parts = ReadZipParts(path);
        EXPECT_EQ(parts.count("xl/sharedStrings.xml"), odd.empty() ? 0u : 1u);

        auto read = ReadXlsx(path, error);
        ASSERT_NE(read, nullptr) << error;
        ASSERT_EQ(read->sheets.size(), 2u);
        EXPECT_EQ(read->sheets[0]->Name(), u"First");
        EXPECT_EQ(read->activeSheet, 1u);
        const Sheet& back = *read->sheets[1];
        EXPECT_EQ(back.CellCount(), second->CellCount());
        second->ForEachCell([&](int row, int column, const Cell& cell) {
            auto got = back.Find(row, column);
            ASSERT_TRUE(got) << row << "," << column;
            EXPECT_EQ(got->Value(), cell.Value()) << row << "," << column;
            EXPECT_EQ(got->NumberFormat(), cell.NumberFormat()) << row << "," << column;
            EXPECT_EQ(got->Comment(), cell.Comment()) << row << "," << column;
        });
        EXPECT_TRUE(back.RowBold(1));
        EXPECT_TRUE(back.RowBold(5));
        EXPECT_FALSE(back.RowBold(2));
        // The file holds the width with the writer's pixel rounding.
        ASSERT_TRUE(back.ColumnWidth(2).has_value());
        EXPECT_NEAR(*back.ColumnWidth(2), 14.5, 0.1);
        EXPECT_EQ(read->sheets[0]->Find(1, 1)->Value(), Text(u"alone"));
    }
}

} // namespace

namespace {

// A sheet part far larger than one piece of the archive's stream (64 KiB)
// reads back cell for cell: elements and texts cut between pieces are joined.
TEST_F(XlsxSave, ALargeSheetReadsBackWholeAcrossThePiecesOfItsPart)
{
    Workbook book;
    book.name = u"Book1";
    auto sheet = std::make_shared<Sheet>(u"Big");
    book.sheets = {sheet};
    for (int row = 1; row <= 4000; ++row)
        for (int column = 1; column <= 5; ++column)
            sheet->Update(row, column, [&](CellEdit& cell) {
                if (column == 3)
                    cell.SetValue(Number(row * 0.25));
                else
                    cell.SetValue(Text(Utf16("cell " + std::to_string(row) + "/" + std::to_string(column) +
                                            std::string(static_cast<std::size_t>(row % 23), 'x'))));
            });
    std::string error;
    const std::string path = Path("big.xlsx");
    ASSERT_TRUE(WriteXlsx(book, path, error)) << error;
    ASSERT_GT(ReadZipParts(path)["xl/worksheets/sheet1.xml"].size(), 4u * 64 * 1024);
    auto read = ReadXlsx(path, error);
    ASSERT_NE(read, nullptr) << error;
    const Sheet& back = *read->sheets.at(0);
    EXPECT_EQ(back.CellCount(), 20000u);
    std::size_t differ = 0;
    sheet->ForEachCell([&](int row, int column, const Cell& cell) {
        auto got = back.Find(row, column);
        differ += !got || got->Value() != cell.Value();
    });
    EXPECT_EQ(differ, 0u);
}

} // namespace
