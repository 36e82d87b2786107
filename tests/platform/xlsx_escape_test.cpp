// Texts that XML cannot hold as they are travel through .xlsx files in the
// format's _xHHHH_ escapes and come back exactly.
#include "xlsx_file.h"
#include "support/leak_checked_test.h"
#include "excel/xlsx_text.h"
#include "support/zip_parts.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace excelsim;

std::string TempPath(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("gw_xlsx_escape_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

CellValue Text(std::u16string t) { return CellValue{CellKind::Text, 0, false, 0, std::move(t)}; }

std::vector<std::u16string> AwkwardTexts()
{
    std::vector<std::u16string> texts;
    std::u16string controls;
    for (char16_t c = 0; c < 0x20; ++c)
        controls += c;
    texts.push_back(u"a" + controls + u"z");
    texts.push_back(u"line\r\nnext\rlast");
    texts.push_back(std::u16string(u"non\uFFFEchar\uFFFF"));
    texts.push_back(std::u16string{u'h', char16_t(0xD800), u'x'});         // lone high surrogate
    texts.push_back(std::u16string{char16_t(0xDC00), u'y'});               // lone low surrogate
    texts.push_back(std::u16string{u'e', char16_t(0xDBFF)});               // high surrogate at the end
    texts.push_back(std::u16string{char16_t(0xD83D), char16_t(0xDE00)}); // a real pair stays one character
    texts.push_back(u"_x0041_ and _x005F_ and _x00e9_");                  // literal texts that look escaped
    texts.push_back(u"_x0041");                                            // no closing underscore: plain
    texts.push_back(u"__x0041__");
    texts.push_back(u"_X0041_ _xZZZZ_");
    return texts;
}

using XlsxEscapeTest = LeakCheckedTest;

TEST_F(XlsxEscapeTest, CellTextsAndCommentsRoundTripExactly)
{
    Workbook book;
    book.name = u"Book1";
    auto sheet = std::make_shared<Sheet>(u"S");
    auto texts = AwkwardTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        int row = static_cast<int>(i) + 1;
        sheet->Update(row, 1, [&](CellEdit& c) {
            c.SetValue(Text(texts[i]));
            c.SetComment(texts[i]);
        });
    }
    book.sheets = {sheet};
    std::string path = TempPath("escape.xlsx"), error;
    ASSERT_TRUE(WriteXlsx(book, path, error)) << error;

    // No part carries a character XML forbids, nor a carriage return that a
    // reader would turn into a line feed.
    for (const auto& [name, data] : ReadZipParts(path)) {
        for (unsigned char c : data)
            EXPECT_FALSE(c < 0x20 && c != '\t' && c != '\n' && (c != '\r' || name.find(".vml") != std::string::npos))
                << name << " holds byte " << int(c);
        EXPECT_EQ(data.find("\xEF\xBF\xBE"), std::string::npos) << name;
        EXPECT_EQ(data.find("\xEF\xBF\xBF"), std::string::npos) << name;
        EXPECT_EQ(data.find("\xED"), std::string::npos) << name << " holds an encoded surrogate";
    }

    auto back = ReadXlsx(path, error);
    ASSERT_TRUE(back) << error;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto cell = back->sheets[0]->Find(static_cast<int>(i) + 1, 1);
        ASSERT_TRUE(cell) << i;
        EXPECT_EQ(cell->Value(), Text(texts[i])) << "cell " << i;
        EXPECT_EQ(cell->Comment().value_or(u"?"), texts[i]) << "comment " << i;
    }
    std::filesystem::remove(path);
}

TEST_F(XlsxEscapeTest, EscapesAreDecodedInEveryTextAnotherWriterStores)
{
    using xlsx::EscapeText;
    using xlsx::UnescapeText;
    // As another writer stores them: upper or lower case hex; a protected
    // underscore keeps what follows literal.
    EXPECT_EQ(UnescapeText(u"A_x000D__x000a_B"), u"A\r\nB");
    EXPECT_EQ(UnescapeText(u"_x005F_x0041_"), u"_x0041_");
    EXPECT_EQ(UnescapeText(u"_x00e9_t_x00E9_"), u"été");
    EXPECT_EQ(UnescapeText(u"_x0041 _X0041_ _x004G_"), u"_x0041 _X0041_ _x004G_");
    EXPECT_EQ(EscapeText(u"\x01_x0041_\uFFFF"), u"_x0001__x005F_x0041__xFFFF_");
    EXPECT_EQ(EscapeText(u"tab\tand\nline"), u"tab\tand\nline");

    const char* rootRels = R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    const char* workbook = R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    const char* workbookRels = R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";
    const char* strings = R"(<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>shared_x0007_</t></si><si><r><t>ri</t></r><r><t>ch_x0008_</t></r></si></sst>)";
    const char* sheet = R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="inlineStr"><is><t>in_x001F_line</t></is></c><c r="D1" t="str"><f>"x"</f><v>f_xFFFE_</v></c></row></sheetData></worksheet>)";

    zip_error_t zerr;
    zip_error_init(&zerr);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zerr);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &zerr);
    zip_source_keep(buffer);
    for (auto [name, data] : std::vector<std::pair<const char*, const char*>>{
             {"_rels/.rels", rootRels}, {"xl/workbook.xml", workbook}, {"xl/_rels/workbook.xml.rels", workbookRels},
             {"xl/sharedStrings.xml", strings}, {"xl/worksheets/sheet1.xml", sheet}})
        zip_file_add(archive, name, zip_source_buffer(archive, data, std::strlen(data), 0), 0);
    zip_close(archive);
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(zip_source_tell(buffer)), '\0');
    zip_source_seek(buffer, 0, SEEK_SET);
    zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&zerr);

    std::string error;
    auto book = ReadXlsxFromMemory(bytes.data(), bytes.size(), u"t.xlsx", error);
    ASSERT_TRUE(book) << error;
    const Sheet& s = *book->sheets[0];
    EXPECT_EQ(s.Find(1, 1)->Value(), Text(u"shared\a"));
    EXPECT_EQ(s.Find(1, 2)->Value(), Text(u"rich\b"));
    EXPECT_EQ(s.Find(1, 3)->Value(), Text(u"in\x1Fline"));
    EXPECT_EQ(s.Find(1, 4)->Value(), Text(u"f\uFFFE"));
}

TEST_F(XlsxEscapeTest, SheetNamesXmlCannotHoldAreRefused)
{
    Workbook book;
    EXPECT_EQ(book.CheckSheetName(u"a\x01" u"b", nullptr), SheetNameProblem::BadCharacter);
    EXPECT_EQ(book.CheckSheetName(u"tab\there", nullptr), SheetNameProblem::BadCharacter);
    EXPECT_EQ(book.CheckSheetName(u"non\uFFFF", nullptr), SheetNameProblem::BadCharacter);
    EXPECT_EQ(book.CheckSheetName(std::u16string{u'a', char16_t(0xDC01)}, nullptr), SheetNameProblem::BadCharacter);
    EXPECT_EQ(book.CheckSheetName(std::u16string{char16_t(0xD83D), char16_t(0xDE00)}, nullptr), SheetNameProblem::Ok);
    EXPECT_EQ(book.CheckSheetName(u"_x0041_", nullptr), SheetNameProblem::Ok);
}

} // namespace

namespace {

TEST_F(XlsxEscapeTest, LongTextsWithinTheCellLimitRoundTrip)
{
    using namespace excelsim;
    Workbook book;
    auto sheet = std::make_shared<Sheet>(u"S");
    std::u16string wide(32767, u'é'), controls;
    for (int i = 0; i < 4000; ++i)
        controls += static_cast<char16_t>(1 + i % 8);
    sheet->Update(1, 1, [&](CellEdit& c) { c.SetValue(Text(wide)); });
    sheet->Update(2, 1, [&](CellEdit& c) { c.SetValue(Text(controls)); });
    book.sheets = {sheet};
    std::string path = TempPath("long.xlsx"), error;
    ASSERT_TRUE(WriteXlsx(book, path, error)) << error;
    auto back = ReadXlsx(path, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->sheets[0]->Find(1, 1)->Text(), wide);
    EXPECT_EQ(back->sheets[0]->Find(2, 1)->Text(), controls);
    std::filesystem::remove(path);

    // The writer library counts the stored (escaped) form against the cell
    // limit: a text of more than 4681 such characters is refused with a
    // message, and no file is left behind.
    std::u16string tooMany(5000, u'\x02');
    sheet->Update(3, 1, [&](CellEdit& c) { c.SetValue(Text(tooMany)); });
    EXPECT_FALSE(WriteXlsx(book, path, error));
    EXPECT_NE(error.find("cell"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

} // namespace
