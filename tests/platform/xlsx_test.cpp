// Saving and opening .xlsx files, and refusing damaged or hostile ones.
#include "xlsx_file.h"
#include "support/leak_checked_test.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace excelsim;

std::string TempPath(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("gw_xlsx_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

CellValue Number(double n) { return CellValue{CellKind::Number, n, false, 0, {}}; }
CellValue Text(std::u16string t) { return CellValue{CellKind::Text, 0, false, 0, std::move(t)}; }

// A package of the given parts, deflated.
std::string Zip(const std::vector<std::pair<std::string, std::string>>& parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_keep(buffer);
    for (const auto& [name, data] : parts) {
        zip_source_t* part = zip_source_buffer(archive, data.data(), data.size(), 0);
        zip_file_add(archive, name.c_str(), part, ZIP_FL_OVERWRITE);
    }
    zip_close(archive);
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    zip_int64_t size = zip_source_tell(buffer);
    zip_source_seek(buffer, 0, SEEK_SET);
    std::string out(static_cast<std::size_t>(size), '\0');
    zip_source_read(buffer, out.data(), static_cast<zip_uint64_t>(size));
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

const char* kRootRels = R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const char* kWorkbook = R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char* kWorkbookRels = R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";

std::string SheetXml(const std::string& sheetData)
{
    return R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" +
           sheetData + "</worksheet>";
}

std::string PackageWithSheet(const std::string& sheetXml)
{
    return Zip({{"_rels/.rels", kRootRels},
                {"xl/workbook.xml", kWorkbook},
                {"xl/_rels/workbook.xml.rels", kWorkbookRels},
                {"xl/worksheets/sheet1.xml", sheetXml}});
}

std::shared_ptr<Workbook> Open(const std::string& bytes, std::string& error)
{
    return ReadXlsxFromMemory(bytes.data(), bytes.size(), u"t.xlsx", error);
}

using XlsxTest = LeakCheckedTest;

TEST_F(XlsxTest, RoundTripKeepsValuesFormatsCommentsAndOrder)
{
    Workbook book;
    book.name = u"Book1";
    auto first = std::make_shared<Sheet>(u"Pumps");
    auto second = std::make_shared<Sheet>(u"Válvulas");
    first->Update(1, 1, [](CellEdit& c) { c.SetValue(Text(u"Name")); });
    first->SetRowBold(1, true);
    first->Update(2, 1, [](CellEdit& c) {
        c.SetValue(Text(u"P-1"));
        c.SetComment(u"1F3");
    });
    first->Update(2, 2, [](CellEdit& c) {
        c.SetValue(Text(u"0012"));
        c.SetNumberFormat(u"@");
    });
    first->Update(2, 3, [](CellEdit& c) { c.SetValue(Number(-12.25)); });
    first->Update(3, 4, [](CellEdit& c) { c.SetValue(CellValue{CellKind::Boolean, 0, true, 0, {}}); });
    first->Update(3, 5, [](CellEdit& c) { c.SetValue(CellValue{CellKind::Error, 0, false, static_cast<SCODE>(0x800A07FA), {}}); });
    first->Update(4, 256, [](CellEdit& c) { c.SetComment(u"only a note"); });
    first->AutoFit(1, kMaxColumns);
    second->Update(65536, 1, [](CellEdit& c) { c.SetValue(Text(u"żółw")); });
    book.sheets = {first, second};
    book.activeSheet = 1;

    std::string path = TempPath("round.xlsx"), error;
    ASSERT_TRUE(WriteXlsx(book, path, error)) << error;
    auto back = ReadXlsx(path, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->name, u"round.xlsx");
    ASSERT_EQ(back->sheets.size(), 2u);
    EXPECT_EQ(back->activeSheet, 1u);
    const Sheet& s = *back->sheets[0];
    EXPECT_EQ(s.Name(), u"Pumps");
    EXPECT_EQ(back->sheets[1]->Name(), u"Válvulas");
    EXPECT_TRUE(s.RowBold(1));
    EXPECT_FALSE(s.RowBold(2));
    EXPECT_EQ(s.Find(1, 1)->Value(), Text(u"Name"));
    EXPECT_EQ(s.Find(2, 1)->Comment(), std::optional<std::u16string>(u"1F3"));
    EXPECT_EQ(s.Find(2, 2)->Value(), Text(u"0012"));
    EXPECT_EQ(s.Find(2, 2)->NumberFormat(), u"@");
    EXPECT_EQ(s.Find(2, 3)->Value(), Number(-12.25));
    EXPECT_TRUE(s.Find(3, 4)->Boolean());
    EXPECT_EQ(s.Find(3, 5)->Error(), static_cast<SCODE>(0x800A07FA));
    EXPECT_EQ(s.Find(4, 256)->Comment(), std::optional<std::u16string>(u"only a note"));
    EXPECT_NEAR(s.ColumnWidth(3).value_or(0), 6.71, 0.01);
    EXPECT_EQ(back->sheets[1]->Find(65536, 1)->Value(), Text(u"żółw"));
    std::filesystem::remove(path);
}

TEST_F(XlsxTest, OpensWhatAnotherWriterProduced)
{
    std::string error;
    auto book = ReadXlsx(std::string(GW_SOURCE_DIR) + "/fuzz/corpus/xlsx_reader_fuzz/seed_openpyxl.xlsx", error);
    ASSERT_TRUE(book) << error;
    ASSERT_EQ(book->sheets.size(), 2u);
    const Sheet& s = *book->sheets[0];
    EXPECT_EQ(s.Name(), u"Pumps");
    EXPECT_TRUE(s.Find(1, 1)->Bold());
    EXPECT_EQ(s.Find(2, 1)->Value(), Number(12.5));
    EXPECT_EQ(s.Find(2, 1)->Comment().value_or(u"").find(u"1F3") != std::u16string::npos, true);
    EXPECT_EQ(s.Find(2, 3)->NumberFormat(), u"@");
    EXPECT_EQ(book->sheets[1]->Find(3, 2)->Value(), Text(u"x"));
}

TEST_F(XlsxTest, SheetsInOtherEncodingsReadTheSameAsUtf8)
{
    // Writers of the format produce UTF-8, but XML allows any encoding the
    // declaration names or a UTF-16 byte-order mark shows.
    const std::string data = R"(<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>)";
    const std::string tail = R"(</t></is></c><c r="B1"><v>2.5</v></c></row></sheetData></worksheet>)";
    const std::string open = R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";
    auto utf16 = [](const std::string& ascii, bool bigEndian) {
        std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char c : ascii) {
            // "\xE9" stands for U+00E9 here.
            const char unit = c;
            out += bigEndian ? std::string{'\0', unit} : std::string{unit, '\0'};
        }
        return out;
    };
    const std::string latin1 = R"(<?xml version="1.0" encoding="ISO-8859-1"?>)" + open + data + "Caf\xE9" + tail;
    const std::string utf8 = R"(<?xml version="1.0" encoding="utf-8"?>)" + open + data + "Caf\xC3\xA9" + tail;
    const std::string little = utf16(R"(<?xml version="1.0" encoding="UTF-16"?>)" + open + data + "Caf\xE9" + tail, false);
    const std::string big = utf16(open + data + "Caf\xE9" + tail, true);
    for (const std::string* sheet : {&latin1, &utf8, &little, &big}) {
        std::string error;
        auto book = Open(PackageWithSheet(*sheet), error);
        ASSERT_TRUE(book) << error;
        ASSERT_TRUE(book->sheets[0]->Find(1, 1).has_value());
        EXPECT_EQ(book->sheets[0]->Find(1, 1)->Value(), Text(u"Caf\u00E9"));
        EXPECT_EQ(book->sheets[0]->Find(1, 2)->Value(), Number(2.5));
    }
    // The same holds for a comments part.
    {
        const std::string comments =
            R"(<?xml version="1.0" encoding="ISO-8859-1"?><comments xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            R"(<authors><author>a</author></authors><commentList><comment ref="A1" authorId="0"><text><r><t>)"
            "Caf\xE9</t></r></text></comment></commentList></comments>";
        const std::string sheetRels =
            R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
            R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments" Target="../comments1.xml"/></Relationships>)";
        std::string error;
        auto book = Open(Zip({{"_rels/.rels", kRootRels},
                              {"xl/workbook.xml", kWorkbook},
                              {"xl/_rels/workbook.xml.rels", kWorkbookRels},
                              {"xl/worksheets/sheet1.xml", utf8},
                              {"xl/worksheets/_rels/sheet1.xml.rels", sheetRels},
                              {"xl/comments1.xml", comments}}),
                         error);
        ASSERT_TRUE(book) << error;
        ASSERT_TRUE(book->sheets[0]->Find(1, 1).has_value());
        EXPECT_EQ(book->sheets[0]->Find(1, 1)->Comment().value_or(u"?"), u"Caf\u00E9");
    }
    // A declared encoding nothing here reads is refused, not guessed.
    std::string error;
    EXPECT_FALSE(Open(PackageWithSheet(R"(<?xml version="1.0" encoding="EBCDIC-XYZ"?>)" + open + data + "x" + tail), error));
    EXPECT_FALSE(error.empty());
}

TEST_F(XlsxTest, DamagedAndHostileFilesOpenNothing)
{
    const std::string laughs =
        R"(<?xml version="1.0"?><!DOCTYPE w [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;">]><worksheet>&b;</worksheet>)";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"not a zip", "this is no archive"},
        {"truncated", PackageWithSheet(SheetXml("")).substr(0, 100)},
        {"entity expansion", PackageWithSheet(laughs)},
        {"bad XML", PackageWithSheet(SheetXml("<sheetData><row><c></row>"))},
        {"beyond the grid", PackageWithSheet(SheetXml(R"(<sheetData><row r="70000"><c r="A70000"><v>1</v></c></row></sheetData>)"))},
        {"wide", PackageWithSheet(SheetXml(R"(<sheetData><row r="1"><c r="XFD1"><v>1</v></c></row></sheetData>)"))},
        {"missing string", PackageWithSheet(SheetXml(R"(<sheetData><row r="1"><c r="A1" t="s"><v>0</v></c></row></sheetData>)"))},
        {"bad number", PackageWithSheet(SheetXml(R"(<sheetData><row r="1"><c r="A1"><v>1x</v></c></row></sheetData>)"))},
        {"missing sheet", Zip({{"_rels/.rels", kRootRels}, {"xl/workbook.xml", kWorkbook}, {"xl/_rels/workbook.xml.rels", kWorkbookRels}})},
        {"missing workbook", Zip({{"_rels/.rels", kRootRels}})},
        {"deep", PackageWithSheet(SheetXml(std::string(200 * 3, ' ').replace(0, 0, [] {
             std::string s;
             for (int i = 0; i < 100; ++i)
                 s += "<x>";
             return s;
         }())))},
        {"bomb", PackageWithSheet(SheetXml(std::string(65u << 20, ' ')))},
    };
    for (const auto& [what, bytes] : cases) {
        std::string error;
        EXPECT_EQ(Open(bytes, error), nullptr) << what;
        EXPECT_FALSE(error.empty()) << what;
    }
    // A huge declared dimension alone is harmless: only real cells count.
    std::string error;
    auto fine = Open(PackageWithSheet(SheetXml(R"(<dimension ref="A1:XFD1048576"/><sheetData><row r="2"><c r="B2" t="inlineStr"><is><t>ok</t></is></c></row></sheetData>)")), error);
    ASSERT_TRUE(fine) << error;
    EXPECT_EQ(fine->sheets[0]->Find(2, 2)->Value(), Text(u"ok"));
    EXPECT_EQ(fine->sheets[0]->CellCount(), 1u);
}

TEST_F(XlsxTest, FailedSaveReportsAndLeavesNoFile)
{
    Workbook book;
    book.sheets = {std::make_shared<Sheet>(u"S")};
    std::string error;
    EXPECT_FALSE(WriteXlsx(book, "/nonexistent/dir/x.xlsx", error));
    EXPECT_FALSE(error.empty());
}

} // namespace
