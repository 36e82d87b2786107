// Cells whose value is unknown: a formula saved without its result. Such a
// cell is no text and no number, so import leaves what it would have set
// alone and counts the cell, instead of taking it for an empty cell.
#include "import/worksheet_import.h"

#include "import_fixture.h"

#include "xlsx_file.h"
#include "res/resource.h"

#include <cstdint>

namespace {

std::uint32_t Crc32(const std::string& data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A package of stored (uncompressed) parts, as small as the format allows.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& parts)
{
    std::string out, directory;
    for (const auto& [name, data] : parts) {
        const auto offset = static_cast<std::uint32_t>(out.size());
        const std::uint32_t crc = Crc32(data);
        const auto size = static_cast<std::uint32_t>(data.size());
        const auto nameLength = static_cast<std::uint32_t>(name.size());
        Put(out, 0x04034b50u, 4);
        Put(out, 20, 2), Put(out, 0, 2), Put(out, 0, 2), Put(out, 0, 2), Put(out, 0, 2);
        Put(out, crc, 4), Put(out, size, 4), Put(out, size, 4), Put(out, nameLength, 2), Put(out, 0, 2);
        out += name + data;
        Put(directory, 0x02014b50u, 4);
        Put(directory, 20, 2), Put(directory, 20, 2), Put(directory, 0, 2), Put(directory, 0, 2);
        Put(directory, 0, 2), Put(directory, 0, 2);
        Put(directory, crc, 4), Put(directory, size, 4), Put(directory, size, 4);
        Put(directory, nameLength, 2), Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 2);
        Put(directory, 0, 2), Put(directory, 0, 4), Put(directory, offset, 4);
        directory += name;
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    Put(out, 0x06054b50u, 4);
    Put(out, 0, 2), Put(out, 0, 2);
    Put(out, static_cast<std::uint32_t>(parts.size()), 2), Put(out, static_cast<std::uint32_t>(parts.size()), 2);
    Put(out, static_cast<std::uint32_t>(directory.size()), 4), Put(out, directoryOffset, 4), Put(out, 0, 2);
    return out;
}

// A workbook whose row 2 holds, from column B: a formula without a result,
// a text formula whose result is empty, a text formula without a result,
// then in the coordinate columns a formula without a result, one whose
// result is 2, and a plain 0.
std::shared_ptr<excelsim::Workbook> SavedWorkbook()
{
    const std::string sheet = R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="2">)"
        R"(<c r="B2"><f>A1&amp;"x"</f></c><c r="C2" t="str"><f>""</f><v></v></c><c r="D2" t="str"><f>UPPER(A1)</f></c>)"
        R"(<c r="E2"><f>1+1</f></c><c r="F2"><f>1+1</f><v>2</v></c><c r="G2"><v>0</v></c>)"
        R"(</row></sheetData></worksheet>)";
    const std::string bytes = StoredZip({
        {"_rels/.rels", R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml", R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels", R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)"},
        {"xl/worksheets/sheet1.xml", sheet},
    });
    std::string error;
    auto book = excelsim::ReadXlsxFromMemory(bytes.data(), bytes.size(), u"saved.xlsx", error);
    EXPECT_TRUE(book) << error;
    return book;
}

TEST_F(ImportTest, FormulasSavedWithoutTheirResultChangeNothing)
{
    DxfBuilder dxf;
    dxf.block("DOOR", {{"NUMBER", "Number", ""}, {"WIDTH", "Width", ""}, {"NOTE", "Note", ""}});
    dxf.insert("1001", "DOOR", {{"NUMBER", "n"}, {"WIDTH", "w"}, {"NOTE", "o"}}, 1, 1);
    LoadDrawing(dxf.text());

    const auto saved = SavedWorkbook();
    ASSERT_TRUE(saved);
    for (int column = 2; column <= 7; ++column) {
        // A formula whose result is known to be empty is an empty cell.
        auto cell = saved->sheets.at(0)->Find(2, column);
        ASSERT_EQ(!cell, column == 3) << column;
        if (cell)
            book->sheets[0]->Update(2, column, [&](excelsim::CellEdit& target) { target.SetValue(cell->Value()); });
    }
    Header(2, "NUMBER");
    Header(3, "WIDTH");
    Header(4, "NOTE");
    Header(5, "X", IDS_MARKER_X);
    Header(6, "Y", IDS_MARKER_Y);
    Header(7, "Z", IDS_MARKER_Z);
    Comment(2, 1, "1001");
    ImportOptions options;
    options.IgnoreProps = false;

    EXPECT_TRUE(ImportFromExcel(options));

    EXPECT_EQ(AttributeText("1001", "NUMBER"), "n");
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "") << "a formula whose saved result is empty";
    EXPECT_EQ(AttributeText("1001", "NOTE"), "o");
    EXPECT_EQ(Position("1001"), AcGePoint3d(1, 2, 0));
    EXPECT_NE(commandLine.output.find("cells that could not be read 3 (Sheet1!B2, Sheet1!D2, Sheet1!E2)"),
              std::string::npos)
        << commandLine.output;
}

} // namespace
