// Opening an .xlsx file: package, workbook, shared strings, styles, sheets
// and their comments. Any failure opens nothing.
#include "xlsx_file.h"
#include "xlsx_limits.h"
#include "xlsx_parts.h"
#include "xlsx_sheet_reader.h"
#include "xlsx_text.h"

#include <fstream>
#include <iterator>

namespace excelsim {

using namespace xlsx;

namespace {

bool ReadOptionalPart(Package& package, const Relationships& rels, const char* type, std::string& xml,
                      std::string& partName, std::string& error)
{
    for (const auto& [id, relationship] : rels) {
        if (TypeIs(relationship, type) && !relationship.external) {
            partName = relationship.target;
            auto bytes = package.Read(partName, error);
            if (!bytes)
                return false;
            xml = std::move(*bytes);
            return true;
        }
    }
    return true;
}

bool ReadSheet(Package& package, const Relationship& relationship, const std::vector<std::u16string>& strings,
               const Styles& styles, Sheet& sheet, std::size_t& budget, std::string& error)
{
    // The sheet's text goes from the archive through the parser into the
    // sheet piece by piece: a large sheet is never held unpacked.
    auto read = [&](const XmlPieces& feed) { return package.ReadInPieces(relationship.target, feed, error); };
    if (!ParseSheetInPieces(read, relationship.target, strings, styles, sheet, budget, error))
        return false;
    Relationships rels;
    if (!ReadRelationships(package, relationship.target, rels, error))
        return false;
    std::string commentsXml, commentsPart;
    if (!ReadOptionalPart(package, rels, "comments", commentsXml, commentsPart, error))
        return false;
    return commentsPart.empty() || ParseComments(commentsXml, commentsPart, sheet, budget, error);
}

} // namespace

std::shared_ptr<Workbook> ReadXlsxFromMemory(const void* data, std::size_t size, const std::u16string& name,
                                             std::string& error)
{
    Package package;
    if (!package.Open(data, size, error))
        return nullptr;
    std::string workbookPart = OfficeDocumentPart(package, error);
    if (workbookPart.empty())
        return nullptr;
    auto workbookXml = package.Read(workbookPart, error);
    WorkbookPart parsed;
    if (!workbookXml || !ParseWorkbookPart(*workbookXml, workbookPart, parsed, error))
        return nullptr;
    Relationships rels;
    if (!ReadRelationships(package, workbookPart, rels, error))
        return nullptr;

    std::vector<std::u16string> strings;
    std::string xml, part;
    if (!ReadOptionalPart(package, rels, "sharedStrings", xml, part, error) ||
        (!part.empty() && !ParseSharedStrings(xml, part, strings, error)))
        return nullptr;
    Styles styles;
    xml.clear();
    part.clear();
    if (!ReadOptionalPart(package, rels, "styles", xml, part, error) ||
        (!part.empty() && !ParseStyles(xml, part, styles, error)))
        return nullptr;

    auto book = std::make_shared<Workbook>();
    book->name = name;
    std::size_t budget = kMaxCells;
    for (std::size_t i = 0; i < parsed.sheets.size(); ++i) {
        const auto& entry = parsed.sheets[i];
        auto it = rels.find(entry.relationshipId);
        if (it == rels.end()) {
            error = "the sheet \"" + Utf8(entry.name) + "\" has no part";
            return nullptr;
        }
        if (!TypeIs(it->second, "worksheet"))
            continue; // chart and dialog sheets are no worksheets
        if (book->CheckSheetName(entry.name, nullptr) != SheetNameProblem::Ok) {
            error = "the sheet name \"" + Utf8(entry.name).substr(0, 64) + "\" is not allowed";
            return nullptr;
        }
        auto sheet = std::make_shared<Sheet>(entry.name);
        if (!ReadSheet(package, it->second, strings, styles, *sheet, budget, error))
            return nullptr;
        sheet->SetOrigin(it->second.target);
        if (i == parsed.activeTab)
            book->activeSheet = book->sheets.size();
        book->sheets.push_back(std::move(sheet));
    }
    if (book->sheets.empty()) {
        error = "the workbook has no worksheet";
        return nullptr;
    }
    book->sheetsCreated = static_cast<int>(book->sheets.size());
    // Kept so that a save can carry over what the model does not hold.
    book->opened = std::make_shared<const Workbook::OpenedFile>(
        Workbook::OpenedFile{{}, std::string(static_cast<const char*>(data), size)});
    book->MarkSaved();
    return book;
}

std::shared_ptr<Workbook> ReadXlsx(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return nullptr;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || static_cast<unsigned long long>(size) > kMaxFileBytes) {
        error = path + " is too large";
        return nullptr;
    }
    in.seekg(0);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) {
        error = "cannot read " + path;
        return nullptr;
    }
    std::size_t slash = path.find_last_of('/');
    std::u16string name = Utf16(slash == std::string::npos ? path : path.substr(slash + 1));
    auto book = ReadXlsxFromMemory(bytes.data(), bytes.size(), name, error);
    if (!book) {
        error = path + ": " + error;
        return nullptr;
    }
    book->opened = std::make_shared<const Workbook::OpenedFile>(Workbook::OpenedFile{path, std::move(bytes)});
    return book;
}

} // namespace excelsim
