// The package a new workbook is saved as: texts that need no escape go
// inline and come back exactly, numbers keep every bit, and the notes'
// drawing numbers its shapes so that no two collide.
#include "xlsx_file.h"
#include "support/leak_checked_test.h"
#include "support/zip_parts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <set>
#include <string>
#include <unistd.h>

namespace {

using namespace excelsim;

std::string TempPath(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("gw_xlsx_writer_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

CellValue Text(std::u16string t) { return CellValue{CellKind::Text, 0, false, 0, std::move(t)}; }
CellValue Number(double n) { return CellValue{CellKind::Number, n, false, 0, {}}; }

using XlsxWriterTest = LeakCheckedTest;

TEST_F(XlsxWriterTest, InlineTextsWithMarkupSpacesAndSurrogatePairsRoundTrip)
{
    const std::u16string texts[] = {
        u"<a href=\"x\">&amp;</a> 'q'",
        u"  leading and trailing  ",
        u"tab\tand\nnewline\n",
        std::u16string{u'p', char16_t(0xD83D), char16_t(0xDE00), u'q', char16_t(0xD800), char16_t(0xDF48)},
        u"Zürich – żółw – 東京",
        u"]]> <![CDATA[ x ]]>",
    };
    Workbook book;
    auto sheet = std::make_shared<Sheet>(u"Sheet & <1>");
    for (int i = 0; i < 6; ++i)
        sheet->Update(i + 1, 2, [&](CellEdit& c) {
            c.SetValue(Text(texts[i]));
            c.SetNumberFormat(u"@");
            c.SetComment(texts[5 - i]);
        });
    book.sheets = {sheet};
    std::string path = TempPath("inline.xlsx"), error;
    ASSERT_TRUE(WriteXlsx(book, path, error)) << error;

    ZipParts parts = ReadZipParts(path);
    ASSERT_TRUE(parts.count("xl/worksheets/sheet1.xml"));
    EXPECT_FALSE(parts.count("xl/sharedStrings.xml")) << "no text needs the table";
    EXPECT_EQ(parts["[Content_Types].xml"].find("sharedStrings"), std::string::npos);
    EXPECT_NE(parts["[Content_Types].xml"].find("/xl/comments1.xml"), std::string::npos);
    {
        // The content types are the package's first entry (the name of the
        // first local header, at offset 30), where sniffers look for them.
        std::ifstream file(path, std::ios::binary);
        std::string head(64, '\0');
        file.read(head.data(), static_cast<std::streamsize>(head.size()));
        EXPECT_EQ(head.substr(30, 19), "[Content_Types].xml");
    }
    EXPECT_NE(parts["xl/worksheets/sheet1.xml"].find("t=\"inlineStr\""), std::string::npos);
    // A pair is one four-byte character, never two encoded surrogates.
    EXPECT_NE(parts["xl/worksheets/sheet1.xml"].find("\xF0\x9F\x98\x80"), std::string::npos);
    EXPECT_EQ(parts["xl/worksheets/sheet1.xml"].find("\xED"), std::string::npos);

    auto back = ReadXlsx(path, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->sheets[0]->Name(), u"Sheet & <1>");
    for (int i = 0; i < 6; ++i) {
        const std::optional<Cell> cell = back->sheets[0]->Find(i + 1, 2);
        ASSERT_TRUE(cell.has_value()) << i;
        EXPECT_EQ(cell->Value(), Text(texts[i])) << i;
        EXPECT_EQ(cell->NumberFormat(), u"@") << i;
        EXPECT_EQ(cell->Comment().value_or(u"?"), texts[5 - i]) << i;
    }
    std::filesystem::remove(path);
}

TEST_F(XlsxWriterTest, NumbersKeepEveryBitAndNonFiniteOnesBecomeAnError)
{
    const double numbers[] = {0.1 + 0.2, 1e-300, -123456789012345678.0, 5e-324, 1.7976931348623157e308, -0.5, 3};
    Workbook book;
    auto sheet = std::make_shared<Sheet>(u"N");
    for (int i = 0; i < 7; ++i)
        sheet->Update(1, i + 1, [&](CellEdit& c) { c.SetValue(Number(numbers[i])); });
    sheet->Update(2, 1, [&](CellEdit& c) { c.SetValue(Number(std::numeric_limits<double>::infinity())); });
    sheet->Update(2, 2, [&](CellEdit& c) { c.SetValue(Number(std::numeric_limits<double>::quiet_NaN())); });
    book.sheets = {sheet};
    std::string path = TempPath("numbers.xlsx"), error;
    ASSERT_TRUE(WriteXlsx(book, path, error)) << error;
    auto back = ReadXlsx(path, error);
    ASSERT_TRUE(back) << error;
    for (int i = 0; i < 7; ++i) {
        const std::optional<Cell> cell = back->sheets[0]->Find(1, i + 1);
        ASSERT_TRUE(cell.has_value()) << i;
        EXPECT_EQ(cell->Kind(), CellKind::Number) << i;
        EXPECT_EQ(cell->Number(), numbers[i]) << i;
    }
    for (int column = 1; column <= 2; ++column) {
        const std::optional<Cell> cell = back->sheets[0]->Find(2, column);
        ASSERT_TRUE(cell.has_value()) << column;
        EXPECT_EQ(cell->Kind(), CellKind::Error) << column;
        EXPECT_EQ(cell->Error(), ErrorValueFromText(u"#NUM!")) << column;
    }
    std::filesystem::remove(path);
}

TEST_F(XlsxWriterTest, NoteShapesHaveIdsUniqueAcrossSheetsWithinTheBlocksTheirDrawingLists)
{
    // 1500 notes need two blocks of 1024 shape ids; the next sheet's
    // drawing starts past them.
    Workbook book;
    auto first = std::make_shared<Sheet>(u"Many");
    for (int row = 1; row <= 1500; ++row)
        first->Update(row, 1 + row % 3, [&](CellEdit& c) {
            c.SetValue(Number(row));
            c.SetComment(u"n" + std::u16string(1, static_cast<char16_t>(u'a' + row % 26)));
        });
    first->SetColumnWidth(2, 30);
    auto plain = std::make_shared<Sheet>(u"Plain");
    plain->Update(1, 1, [](CellEdit& c) { c.SetValue(Number(1)); });
    auto few = std::make_shared<Sheet>(u"Few");
    for (int row = 1; row <= 3; ++row)
        few->Update(row, 2, [&](CellEdit& c) { c.SetComment(u"x"); });
    book.sheets = {first, plain, few};
    std::string path = TempPath("notes.xlsx"), error;
    ASSERT_TRUE(WriteXlsx(book, path, error)) << error;
    ZipParts parts = ReadZipParts(path);

    std::set<long> ids;
    const std::pair<const char*, std::size_t> drawings[] = {{"xl/drawings/vmlDrawing1.vml", 1500},
                                                            {"xl/drawings/vmlDrawing2.vml", 3}};
    for (const auto& [name, count] : drawings) {
        ASSERT_TRUE(parts.count(name)) << name;
        const std::string& vml = parts[name];
        std::smatch map;
        ASSERT_TRUE(std::regex_search(vml, map, std::regex("<o:idmap v:ext=\"edit\" data=\"([0-9,]+)\"/>"))) << name;
        std::set<long> blocks;
        std::string list = map[1];
        for (std::size_t at = 0; at < list.size();) {
            std::size_t comma = list.find(',', at);
            blocks.insert(std::stol(list.substr(at, comma - at)));
            at = comma == std::string::npos ? list.size() : comma + 1;
        }
        std::size_t shapes = 0;
        std::regex shape("<v:shape id=\"_x0000_s([0-9]+)\"");
        for (auto it = std::sregex_iterator(vml.begin(), vml.end(), shape); it != std::sregex_iterator(); ++it) {
            long id = std::stol((*it)[1]);
            EXPECT_TRUE(blocks.count(id / 1024)) << name << " shape " << id << " outside its blocks " << list;
            EXPECT_TRUE(ids.insert(id).second) << "shape id " << id << " used twice";
            ++shapes;
        }
        EXPECT_EQ(shapes, count) << name;
    }
    EXPECT_FALSE(parts.count("xl/drawings/vmlDrawing3.vml"));
    // Each sheet with notes names its own comments and drawing.
    EXPECT_NE(parts["xl/worksheets/_rels/sheet3.xml.rels"].find("../comments2.xml"), std::string::npos);
    EXPECT_NE(parts["xl/worksheets/_rels/sheet3.xml.rels"].find("../drawings/vmlDrawing2.vml"), std::string::npos);
    EXPECT_FALSE(parts.count("xl/worksheets/_rels/sheet2.xml.rels"));
    // A note's box starts in the column right of its cell; beside a wide
    // column (B: 215 pixels) its 128 pixels end in that same column.
    EXPECT_NE(parts["xl/drawings/vmlDrawing1.vml"].find("<x:Anchor>1, 15, 1, 10, 1, 143, 5, 4</x:Anchor>"),
              std::string::npos);

    auto back = ReadXlsx(path, error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->sheets.size(), 3u);
    std::size_t notes = 0;
    back->sheets[0]->ForEachCell([&](int, int, const Cell& c) { notes += c.Comment() ? 1 : 0; });
    EXPECT_EQ(notes, 1500u);
    ASSERT_TRUE(back->sheets[2]->Find(3, 2).has_value());
    EXPECT_EQ(back->sheets[2]->Find(3, 2)->Comment().value_or(u"?"), u"x");
    std::filesystem::remove(path);
}

} // namespace
