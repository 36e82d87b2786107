// Saving a workbook as a new .xlsx package, streamed sheet by sheet: each
// part is deflated as its text is made (xlsx_zip_writer.h), so the cells are
// never held a second time as text.
#include "xlsx_file.h"
#include "xlsx_sheet_writer.h"
#include "xlsx_text.h"
#include "xlsx_zip_writer.h"

#include <string>
#include <vector>

namespace excelsim {
namespace {

using namespace xlsx;

constexpr char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr char kRelationshipsNamespace[] = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr char kOfficeRelationships[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

bool AddPart(ZipWriter& zip, const std::string& name, const std::string& text, std::string& error)
{
    PartDeflater part(name);
    part.Append(text);
    part.Finish();
    return zip.Add(part, error);
}

std::string Relationship(int id, const std::string& type, const std::string& target)
{
    return "<Relationship Id=\"rId" + std::to_string(id) + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
}

std::string Relationships(const std::string& items)
{
    return kXmlDeclaration + std::string("<Relationships xmlns=\"") + kRelationshipsNamespace + "\">" + items +
           "</Relationships>";
}

std::string Override(const std::string& part, const std::string& type)
{
    return "<Override PartName=\"/" + part + "\" ContentType=\"application/vnd.openxmlformats-" + type + "\"/>";
}

// The sheet names are checked by the model; a name the package cannot
// carry is still refused here rather than written as a broken file.
bool SheetNameFits(const std::u16string& name)
{
    if (name.empty() || name.size() > kMaxSheetNameLength || HasLoneSurrogate(name))
        return false;
    for (char16_t c : name)
        if (NeedsEscape(c))
            return false;
    return true;
}

bool WritePackage(const Workbook& book, ZipWriter& zip, std::string& error)
{
    CellFormats formats;
    EscapedStrings strings(AnyTextNeedsEscape(book));
    // The content types go first, as the program and most readers that
    // sniff a package expect; they name every part, so what each sheet
    // holds is measured before anything is written.
    std::vector<SheetOutline> outlines;
    outlines.reserve(book.sheets.size());
    std::string contentTypes;
    int notedSheets = 0;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const Sheet& sheet = *book.sheets[i];
        if (!SheetNameFits(sheet.Name())) {
            error = "the sheet name \"" + Utf8(sheet.Name()).substr(0, 64) + "\" cannot be saved";
            return false;
        }
        outlines.push_back(OutlineOf(sheet));
        contentTypes += Override("xl/worksheets/sheet" + std::to_string(i + 1) + ".xml",
                                 "officedocument.spreadsheetml.worksheet+xml");
        if (outlines.back().notes > 0)
            contentTypes += Override("xl/comments" + std::to_string(++notedSheets) + ".xml",
                                     "officedocument.spreadsheetml.comments+xml");
    }
    contentTypes += Override("xl/styles.xml", "officedocument.spreadsheetml.styles+xml");
    // Every text goes through the shared strings when any needs escaping.
    if (strings.All())
        contentTypes += Override("xl/sharedStrings.xml", "officedocument.spreadsheetml.sharedStrings+xml");
    const std::string types =
        kXmlDeclaration +
        std::string("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                    "<Default Extension=\"vml\" ContentType=\"application/vnd.openxmlformats-officedocument.vmlDrawing\"/>") +
        Override("docProps/app.xml", "officedocument.extended-properties+xml") +
        Override("docProps/core.xml", "package.core-properties+xml") +
        Override("xl/workbook.xml", "officedocument.spreadsheetml.sheet.main+xml") + contentTypes + "</Types>";
    const std::string rootRels =
        Relationships(Relationship(1, kOfficeRelationships + std::string("officeDocument"), "xl/workbook.xml") +
                      Relationship(2, "http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
                                      "core-properties",
                                   "docProps/core.xml") +
                      Relationship(3, kOfficeRelationships + std::string("extended-properties"), "docProps/app.xml"));
    if (!AddPart(zip, "[Content_Types].xml", types, error) || !AddPart(zip, "_rels/.rels", rootRels, error))
        return false;

    int commentParts = 0, shapeBlock = 1;
    std::string workbookRels, sheets, titles;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const Sheet& sheet = *book.sheets[i];
        const int number = static_cast<int>(i) + 1;
        SheetParts parts;
        if (!WriteSheetParts(sheet, outlines[i], number, i == book.activeSheet, formats, strings, commentParts, shapeBlock,
                             parts, error))
            return false;
        if (!zip.Add(*parts.sheet, error))
            return false;
        if (parts.comments) {
            const std::string n = std::to_string(commentParts);
            if (!zip.Add(*parts.comments, error) || !zip.Add(*parts.drawing, error) ||
                !AddPart(zip, "xl/worksheets/_rels/sheet" + std::to_string(number) + ".xml.rels",
                         Relationships(Relationship(1, kOfficeRelationships + std::string("vmlDrawing"),
                                                    "../drawings/vmlDrawing" + n + ".vml") +
                                       Relationship(2, kOfficeRelationships + std::string("comments"),
                                                    "../comments" + n + ".xml")),
                         error))
                return false;
        }
        workbookRels += Relationship(number, kOfficeRelationships + std::string("worksheet"),
                                     "worksheets/sheet" + std::to_string(number) + ".xml");
        std::string name;
        AppendXmlText(name, sheet.Name(), true);
        sheets += "<sheet name=\"" + name + "\" sheetId=\"" + std::to_string(number) + "\" r:id=\"rId" +
                  std::to_string(number) + "\"/>";
        titles += "<vt:lpstr>" + name + "</vt:lpstr>";
    }

    const int sheetCount = static_cast<int>(book.sheets.size());
    int nextId = sheetCount + 1;
    workbookRels += Relationship(nextId++, kOfficeRelationships + std::string("styles"), "styles.xml");
    if (strings.All()) {
        PartDeflater part("xl/sharedStrings.xml");
        strings.Write(part);
        part.Finish();
        if (!zip.Add(part, error))
            return false;
        workbookRels += Relationship(nextId++, kOfficeRelationships + std::string("sharedStrings"), "sharedStrings.xml");
    }
    const std::size_t active = book.activeSheet < book.sheets.size() ? book.activeSheet : 0;
    const std::string workbook =
        kXmlDeclaration +
        std::string("<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"") +
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><bookViews><workbookView "
        "xWindow=\"240\" yWindow=\"15\" windowWidth=\"16095\" windowHeight=\"9660\" activeTab=\"" +
        std::to_string(active) + "\"/></bookViews><sheets>" + sheets +
        "</sheets><calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>";
    const std::string app =
        kXmlDeclaration +
        std::string("<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
                    "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
                    "<Application>Microsoft Excel</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>"
                    "<HeadingPairs><vt:vector size=\"2\" baseType=\"variant\"><vt:variant><vt:lpstr>Worksheets"
                    "</vt:lpstr></vt:variant><vt:variant><vt:i4>") +
        std::to_string(sheetCount) + "</vt:i4></vt:variant></vt:vector></HeadingPairs><TitlesOfParts><vt:vector size=\"" +
        std::to_string(sheetCount) + "\" baseType=\"lpstr\">" + titles +
        "</vt:vector></TitlesOfParts><LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>"
        "<HyperlinksChanged>false</HyperlinksChanged><AppVersion>12.0000</AppVersion></Properties>";
    const std::string core =
        kXmlDeclaration +
        std::string("<cp:coreProperties "
                    "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
                    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><dc:creator></dc:creator>"
                    "</cp:coreProperties>");
    return AddPart(zip, "xl/styles.xml", formats.StylesXml(), error) &&
           AddPart(zip, "xl/workbook.xml", workbook, error) &&
           AddPart(zip, "xl/_rels/workbook.xml.rels", Relationships(workbookRels), error) &&
           AddPart(zip, "docProps/app.xml", app, error) && AddPart(zip, "docProps/core.xml", core, error);
}

} // namespace

bool WriteXlsx(const Workbook& book, const std::string& path, std::string& error)
{
    // Written beside the target and renamed over it, so a failed save never
    // leaves a damaged file where a good one was.
    return ReplaceFile(
        path,
        [&](const std::string& temporary, std::string& writeError) {
            ZipWriter zip;
            if (!zip.Open(temporary, writeError)) {
                writeError = "cannot create " + path;
                return false;
            }
            if (!WritePackage(book, zip, writeError))
                return false;
            if (!zip.Close(writeError)) {
                writeError = "cannot save " + path + ": " + writeError;
                return false;
            }
            return true;
        },
        error);
}

} // namespace excelsim
