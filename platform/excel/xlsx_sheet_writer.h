// The parts of one worksheet as the writer produces them: the sheet's XML
// and, when its cells carry comments, the comments and their legacy drawing
// (the shapes in which the program shows a note).
#pragma once
#include "sheet_model.h"
#include "xlsx_zip_writer.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace excelsim::xlsx {

// The cell formats in use: (bold, number format) pairs, numbered as the
// styles part lists them. Index 0 is the default format.
class CellFormats {
public:
    int For(bool bold, std::u16string_view numberFormat);
    // The styles part for the formats handed out so far.
    std::string StylesXml() const;

private:
    std::map<std::pair<bool, std::u16string>, int> index_;
    std::vector<std::pair<bool, std::u16string>> formats_; // by index - 1
    // Most cells share one format: the last answer is kept.
    bool lastBold_ = false;
    std::u16string lastFormat_;
    int last_ = 0;
};

// Texts the format stores with _xHHHH_ escapes go through the shared-string
// table, which every reader decodes (openpyxl takes an inline string's text
// as it stands). A workbook holding such a text has all its texts in the
// table, as the program itself writes; any other is written with inline
// texts, so that no table of every text sits in memory.
class EscapedStrings {
public:
    explicit EscapedStrings(bool all) : all_(all) {}
    bool All() const { return all_; }
    int Index(const std::u16string& escaped);
    bool Empty() const { return strings_.empty(); }
    void Write(PartDeflater& part) const;

private:
    std::map<std::u16string, int> index_;
    std::vector<const std::u16string*> strings_;
    std::size_t uses_ = 0;
    bool all_;
};

// Whether a workbook's texts go through the shared-string table.
bool AnyTextNeedsEscape(const Workbook& book);

// What the writer needs to know of a sheet before its first row: the notes
// its drawing numbers at its start and the range its cells span (readers
// that stream a sheet take its size from there).
struct SheetOutline {
    std::size_t notes = 0;
    int top = 0, left = 0, bottom = 0, right = 0; // 0: no cell
};
SheetOutline OutlineOf(const Sheet& sheet);

struct SheetParts {
    std::unique_ptr<PartDeflater> sheet, comments, drawing;
};

// Writes `sheet`, outlined by `outline`, as part number `number`; `commentParts` counts the sheets
// with comments so far and `shapeBlock` the blocks of 1024 shape ids used,
// both advanced for this sheet. False with `error` for a text beyond what a
// cell may store.
bool WriteSheetParts(const Sheet& sheet, const SheetOutline& outline, int number, bool active, CellFormats& formats, EscapedStrings& strings,
                     int& commentParts, int& shapeBlock, SheetParts& parts, std::string& error);

// Text as XML character data (quote true: as an attribute value), UTF-8.
void AppendXmlText(std::string& out, std::u16string_view text, bool quote = false);

} // namespace excelsim::xlsx
