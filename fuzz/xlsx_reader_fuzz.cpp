// Fuzz target for the .xlsx reader. Input that looks like a zip archive is
// opened as a whole package; anything else goes straight to the part parsers
// (sheet, shared strings, styles, comments, workbook, relationships), which
// reaches them far more often than mutated archives would.
#include "xlsx_file.h"
#include "excel/xlsx_parts.h"
#include "excel/xlsx_sheet_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace excelsim;
    std::string error;
    if (size >= 2 && data[0] == 'P' && data[1] == 'K') {
        auto book = ReadXlsxFromMemory(data, size, u"fuzz.xlsx", error);
        if (!book && error.empty())
            __builtin_trap(); // a refusal must say why
        return 0;
    }
    std::string xml(reinterpret_cast<const char*>(data), size);
    std::vector<std::u16string> strings;
    xlsx::ParseSharedStrings(xml, "sharedStrings.xml", strings, error);
    strings.resize(4, u"s");
    xlsx::Styles styles;
    xlsx::ParseStyles(xml, "styles.xml", styles, error);
    Sheet sheet(u"Fuzz");
    std::size_t budget = 100000;
    xlsx::ParseSheet(xml, "sheet1.xml", strings, styles, sheet, budget, error);
    xlsx::ParseComments(xml, "comments1.xml", sheet, budget, error);
    xlsx::WorkbookPart workbook;
    xlsx::ParseWorkbookPart(xml, "workbook.xml", workbook, error);
    sheet.AutoFit(1, kMaxColumns);
    return 0;
}
