#include "xlsx_sheet_writer.h"

#include "stand_in_progress.h"
#include "xlsx_limits.h"
#include "xlsx_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace excelsim::xlsx {
namespace {

constexpr char kMainNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

void AppendNumber(std::string& out, long long value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// The shortest text that reads back as the same double.
void AppendDouble(std::string& out, double value)
{
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendCellReference(std::string& out, int row, int column)
{
    char letters[4];
    int n = 0;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters[n++] = static_cast<char>('A' + (c - 1) % 26);
    while (n > 0)
        out += letters[--n];
    AppendNumber(out, row);
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// What the program counts against a cell's 32,767 characters: the code
// points of the text as stored, escapes included.
std::size_t StoredLength(std::u16string_view stored)
{
    std::size_t length = stored.size();
    for (std::size_t i = 1; i < stored.size(); ++i)
        if (IsLowSurrogate(stored[i]) && IsHighSurrogate(stored[i - 1]))
            --length;
    return length;
}

// XML keeps a text's leading and trailing white space only when asked to.
bool NeedsPreserve(std::u16string_view text)
{
    auto space = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
    return !text.empty() && (space(text.front()) || space(text.back()));
}

void AppendTextElement(std::string& out, std::u16string_view text)
{
    out += NeedsPreserve(text) ? "<t xml:space=\"preserve\">" : "<t>";
    AppendXmlText(out, text);
    out += "</t>";
}

// Default sizes in pixels, as the program lays out a sheet whose rows
// have the default height: a note's box is placed by them.
constexpr int kDefaultColumnPixels = 64;
constexpr int kRowPixels = 20;
constexpr int kNoteWidthPixels = 128;
constexpr int kNoteHeightPixels = 74;

int ColumnPixels(double width)
{
    if (width <= 0)
        return 0;
    if (width < 1)
        return static_cast<int>(width * 12 + 0.5);
    return static_cast<int>(width * 7 + 0.5) + 5;
}

// The width the file stores for a width in characters: the program's
// pixels (7 per character plus a margin of 5) back in characters, in 256ths.
double StoredWidth(double width)
{
    return std::floor(ColumnPixels(width) / 7.0 * 256.0) / 256.0;
}

class NoteLayout {
public:
    explicit NoteLayout(const std::map<int, double>& widths) : pixels_(kMaxColumns + 8, kDefaultColumnPixels)
    {
        for (const auto& [column, width] : widths)
            if (column >= 1 && column <= kMaxColumns)
                pixels_[static_cast<std::size_t>(column - 1)] = ColumnPixels(width);
        left_.resize(pixels_.size() + 1, 0);
        for (std::size_t i = 0; i < pixels_.size(); ++i)
            left_[i + 1] = left_[i] + pixels_[i];
    }

    // A note's box starts a column to the right of its cell, a row above it
    // (the first row: at its top), offset by a few pixels.
    void Append(std::string& out, int row, int column, int shapeId, int zIndex) const
    {
        int startColumn = column; // 0-based: the column right of the cell
        int startRow = row <= 1 ? 0 : row - 2;
        int x1 = 15, y1 = row <= 1 ? 2 : 10;
        const long long left = left_[static_cast<std::size_t>(startColumn)] + x1;
        const long long top = static_cast<long long>(startRow) * kRowPixels + y1;
        while (x1 >= Width(startColumn)) {
            x1 -= Width(startColumn);
            ++startColumn;
        }
        int endColumn = startColumn, x2 = kNoteWidthPixels + x1;
        while (x2 >= Width(endColumn)) {
            x2 -= Width(endColumn);
            ++endColumn;
        }
        int endRow = startRow, y2 = kNoteHeightPixels + y1;
        while (y2 >= kRowPixels) {
            y2 -= kRowPixels;
            ++endRow;
        }
        out += "<v:shape id=\"_x0000_s";
        AppendNumber(out, shapeId);
        out += "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:";
        AppendDouble(out, static_cast<double>(left) * 0.75);
        out += "pt;margin-top:";
        AppendDouble(out, static_cast<double>(top) * 0.75);
        out += "pt;width:96pt;height:55.5pt;z-index:";
        AppendNumber(out, zIndex);
        out += ";visibility:hidden\" fillcolor=\"#ffffe1\" o:insetmode=\"auto\"><v:fill color2=\"#ffffe1\"/>"
               "<v:shadow on=\"t\" color=\"black\" obscured=\"t\"/><v:path o:connecttype=\"none\"/>"
               "<v:textbox style=\"mso-direction-alt:auto\"><div style=\"text-align:left\"></div></v:textbox>"
               "<x:ClientData ObjectType=\"Note\"><x:MoveWithCells/><x:SizeWithCells/><x:Anchor>";
        for (int value : {startColumn, x1, startRow, y1, endColumn, x2, endRow, y2}) {
            AppendNumber(out, value);
            out += ", ";
        }
        out.resize(out.size() - 2);
        out += "</x:Anchor><x:AutoFill>False</x:AutoFill><x:Row>";
        AppendNumber(out, row - 1);
        out += "</x:Row><x:Column>";
        AppendNumber(out, column - 1);
        out += "</x:Column></x:ClientData></v:shape>";
    }

private:
    int Width(int column) const
    {
        return static_cast<std::size_t>(column) < pixels_.size() ? pixels_[static_cast<std::size_t>(column)]
                                                                   : kDefaultColumnPixels;
    }
    std::vector<int> pixels_;
    std::vector<long long> left_;
};

// The writer reads the cell model (sheet_model.h) here and in AppendCell
// only, so that a change of the cell's layout stays in these few lines.
std::optional<std::u16string_view> CommentOf(const Cell& cell) { return cell.Comment(); }
std::optional<std::u16string_view> TextOf(const Cell& cell)
{
    if (cell.Kind() != CellKind::Text)
        return std::nullopt;
    return cell.Text();
}

const char* const kTooLong = "cannot write a cell: a text is longer than 32,767 characters";

// The one place the writer reads a cell's value and format: appends the
// cell's element. False with `error` for a text beyond the cell limit.
bool AppendCell(std::string& out, int row, int column, const Cell& cell, bool rowBold, CellFormats& formats,
                EscapedStrings& strings, std::string& error)
{
    const CellKind kind = cell.Kind();
    const int style = formats.For(cell.Bold() || rowBold, cell.NumberFormat());
    if (kind == CellKind::Empty && style == 0)
        return true;
    out += "<c r=\"";
    AppendCellReference(out, row, column);
    out += '"';
    if (style != 0) {
        out += " s=\"";
        AppendNumber(out, style);
        out += '"';
    }
    switch (kind) {
    case CellKind::Empty:
        out += "/>";
        return true;
    case CellKind::Number: {
        const double number = cell.Number();
        if (!std::isfinite(number)) {
            // No reader takes "inf" or "nan" for a number: the value is
            // stored as the error the program shows for it.
            out += " t=\"e\"><v>#NUM!</v></c>";
            return true;
        }
        out += "><v>";
        AppendDouble(out, number);
        out += "</v></c>";
        return true;
    }
    case CellKind::Boolean:
        out += cell.Boolean() ? " t=\"b\"><v>1</v></c>" : " t=\"b\"><v>0</v></c>";
        return true;
    case CellKind::Error: {
        // An error value is kept as the formula that yields it, with the
        // error as its last result.
        std::u16string text = ErrorValueText(cell.Error());
        out += " t=\"str\"><f>";
        AppendXmlText(out, text);
        out += "</f><v>";
        AppendXmlText(out, text);
        out += "</v></c>";
        return true;
    }
    case CellKind::Text: {
        const std::u16string_view text = cell.Text();
        if (strings.All()) {
            const std::u16string stored = TextNeedsEscape(text) ? EscapeText(text) : std::u16string(text);
            if (StoredLength(stored) > kMaxTextChars) {
                error = kTooLong;
                return false;
            }
            out += " t=\"s\"><v>";
            AppendNumber(out, strings.Index(stored));
            out += "</v></c>";
            return true;
        }
        if (StoredLength(text) > kMaxTextChars) {
            error = kTooLong;
            return false;
        }
        out += " t=\"inlineStr\"><is>";
        AppendTextElement(out, text);
        out += "</is></c>";
        return true;
    }
    }
    return true;
}

void AppendComment(std::string& out, int row, int column, std::u16string_view stored)
{
    out += "<comment ref=\"";
    AppendCellReference(out, row, column);
    out += "\" authorId=\"0\"><text><r><rPr><sz val=\"8\"/><color indexed=\"81\"/><rFont val=\"Tahoma\"/>"
           "<family val=\"2\"/></rPr>";
    AppendTextElement(out, stored);
    out += "</r></text></comment>";
}

void AppendColumns(std::string& out, const std::map<int, double>& widths)
{
    if (widths.empty())
        return;
    out += "<cols>";
    for (const auto& [column, width] : widths) {
        if (column < 1 || column > kMaxColumns)
            continue;
        out += "<col min=\"";
        AppendNumber(out, column);
        out += "\" max=\"";
        AppendNumber(out, column);
        out += "\" width=\"";
        AppendDouble(out, StoredWidth(width));
        out += width <= 0 ? "\" hidden=\"1\" customWidth=\"1\"/>" : "\" customWidth=\"1\"/>";
    }
    out += "</cols>";
}

} // namespace

void AppendXmlText(std::string& out, std::u16string_view text, bool quote)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            switch (c) {
            case u'&': out += "&amp;"; break;
            case u'<': out += "&lt;"; break;
            case u'>': out += "&gt;"; break;
            case u'"':
                if (quote)
                    out += "&quot;";
                else
                    out += '"';
                break;
            default: out += static_cast<char>(c);
            }
            continue;
        }
        if (IsHighSurrogate(static_cast<char16_t>(c)) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(static_cast<char16_t>(c)) || IsLowSurrogate(static_cast<char16_t>(c))) {
            c = 0xFFFD; // escaped before it gets here; never a broken byte sequence
        }
        if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int CellFormats::For(bool bold, std::u16string_view numberFormat)
{
    if (!bold && numberFormat.empty())
        return 0;
    if (last_ != 0 && bold == lastBold_ && numberFormat == lastFormat_)
        return last_;
    auto [it, added] = index_.try_emplace({bold, std::u16string(numberFormat)}, static_cast<int>(formats_.size()) + 1);
    if (added)
        formats_.emplace_back(bold, std::u16string(numberFormat));
    lastBold_ = bold;
    lastFormat_ = numberFormat;
    last_ = it->second;
    return last_;
}

std::string CellFormats::StylesXml() const
{
    // Number formats of their own are numbered from 164, past the
    // program's built-in ones.
    std::map<std::u16string, int> numberFormats;
    for (const auto& [bold, format] : formats_)
        if (!format.empty())
            numberFormats.try_emplace(format, 164 + static_cast<int>(numberFormats.size()));
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<styleSheet xmlns=\"";
    out += kMainNamespace;
    out += "\">";
    if (!numberFormats.empty()) {
        out += "<numFmts count=\"";
        AppendNumber(out, static_cast<long long>(numberFormats.size()));
        out += "\">";
        for (const auto& [format, id] : numberFormats) {
            out += "<numFmt numFmtId=\"";
            AppendNumber(out, id);
            out += "\" formatCode=\"";
            AppendXmlText(out, format, true);
            out += "\"/>";
        }
        out += "</numFmts>";
    }
    // Font 2 is the notes' font, which their text runs name.
    out += "<fonts count=\"3\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/>"
           "</font><font><b/><sz val=\"11\"/><name val=\"Calibri\"/>"
           "<family val=\"2\"/></font><font><sz val=\"8\"/><color indexed=\"81\"/>"
           "<name val=\"Tahoma\"/><family val=\"2\"/></font></fonts>"
           "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
           "patternType=\"gray125\"/></fill></fills><borders count=\"1\"><border><left/><right/><top/><bottom/>"
           "<diagonal/></border></borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
           "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"";
    AppendNumber(out, static_cast<long long>(formats_.size()) + 1);
    out += "\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>";
    for (const auto& [bold, format] : formats_) {
        out += "<xf numFmtId=\"";
        AppendNumber(out, format.empty() ? 0 : numberFormats[format]);
        out += bold ? "\" fontId=\"1\"" : "\" fontId=\"0\"";
        out += " fillId=\"0\" borderId=\"0\" xfId=\"0\"";
        if (!format.empty())
            out += " applyNumberFormat=\"1\"";
        if (bold)
            out += " applyFont=\"1\"";
        out += "/>";
    }
    out += "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
           "<dxfs count=\"0\"/><tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\" "
           "defaultPivotStyle=\"PivotStyleLight16\"/></styleSheet>";
    return out;
}

bool AnyTextNeedsEscape(const Workbook& book)
{
    for (const auto& sheet : book.sheets) {
        bool found = false;
        sheet->ForEachCell([&](int, int, const Cell& cell) {
            const std::optional<std::u16string_view> text = TextOf(cell);
            found = found || (text && TextNeedsEscape(*text));
        });
        if (found)
            return true;
    }
    return false;
}

int EscapedStrings::Index(const std::u16string& escaped)
{
    ++uses_;
    auto [it, added] = index_.try_emplace(escaped, static_cast<int>(strings_.size()));
    if (added)
        strings_.push_back(&it->first);
    return it->second;
}

void EscapedStrings::Write(PartDeflater& part) const
{
    std::string& out = part.Text();
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"";
    out += kMainNamespace;
    out += "\" count=\"";
    AppendNumber(out, static_cast<long long>(uses_));
    out += "\" uniqueCount=\"";
    AppendNumber(out, static_cast<long long>(strings_.size()));
    out += "\">";
    for (const std::u16string* text : strings_) {
        out += "<si>";
        AppendTextElement(out, *text);
        out += "</si>";
        part.Pump();
    }
    out += "</sst>";
}

SheetOutline OutlineOf(const Sheet& sheet)
{
    SheetOutline o;
    sheet.ForEachCell([&](int row, int column, const Cell& cell) {
        o.notes += CommentOf(cell) ? 1 : 0;
        if (o.top == 0)
            o.top = row; // rows come in order
        o.bottom = row;
        o.left = o.left == 0 ? column : std::min(o.left, column);
        o.right = std::max(o.right, column);
    });
    return o;
}

bool WriteSheetParts(const Sheet& sheet, const SheetOutline& outline, int number, bool active, CellFormats& formats,
                     EscapedStrings& strings, int& commentParts, int& shapeBlock, SheetParts& parts, std::string& error)
{
    parts.sheet = std::make_unique<PartDeflater>("xl/worksheets/sheet" + std::to_string(number) + ".xml");
    PartDeflater& part = *parts.sheet;
    std::string& out = part.Text();
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"";
    out += kMainNamespace;
    out += "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><dimension ref=\"";
    if (outline.top == 0) {
        out += "A1";
    } else {
        AppendCellReference(out, outline.top, outline.left);
        if (outline.bottom != outline.top || outline.right != outline.left) {
            out += ':';
            AppendCellReference(out, outline.bottom, outline.right);
        }
    }
    out += "\"/><sheetViews>";
    out += active ? "<sheetView tabSelected=\"1\" workbookViewId=\"0\"/>" : "<sheetView workbookViewId=\"0\"/>";
    out += "</sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    AppendColumns(out, sheet.ColumnWidths());
    out += "<sheetData>";

    std::string* notesOut = nullptr;
    std::string* shapesOut = nullptr;
    std::unique_ptr<NoteLayout> layout;
    int shapeId = 0, zIndex = 0;
    const std::size_t notes = outline.notes;
    if (notes > 0) {
        const int partNumber = ++commentParts;
        parts.comments = std::make_unique<PartDeflater>("xl/comments" + std::to_string(partNumber) + ".xml");
        parts.drawing =
            std::make_unique<PartDeflater>("xl/drawings/vmlDrawing" + std::to_string(partNumber) + ".vml");
        notesOut = &parts.comments->Text();
        *notesOut += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<comments xmlns=\"";
        *notesOut += kMainNamespace;
        *notesOut += "\"><authors><author></author></authors><commentList>";
        // Shape ids come in blocks of 1024, each block listed in the map.
        const int blocks = static_cast<int>(notes / 1024) + 1;
        shapesOut = &parts.drawing->Text();
        *shapesOut += "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                      "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><o:shapelayout v:ext=\"edit\">"
                      "<o:idmap v:ext=\"edit\" data=\"";
        for (int b = 0; b < blocks; ++b) {
            if (b)
                *shapesOut += ',';
            AppendNumber(*shapesOut, shapeBlock + b);
        }
        *shapesOut += "\"/></o:shapelayout><v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" "
                      "path=\"m,l,21600r21600,l21600,xe\"><v:stroke joinstyle=\"miter\"/><v:path gradientshapeok=\"t\" "
                      "o:connecttype=\"rect\"/></v:shapetype>";
        shapeId = 1024 * shapeBlock;
        shapeBlock += blocks;
        layout = std::make_unique<NoteLayout>(sheet.ColumnWidths());
    }

    // Rows go out in order; a bold row's format is on its row element, also
    // for a bold row that holds no cell.
    std::vector<int> boldRows(sheet.BoldRows().begin(), sheet.BoldRows().end());
    std::sort(boldRows.begin(), boldRows.end());
    auto nextBold = boldRows.begin();
    const int boldStyle = boldRows.empty() ? 0 : formats.For(true, u"");
    auto appendRowStart = [&](int row, bool bold) {
        out += "<row r=\"";
        AppendNumber(out, row);
        if (bold) {
            out += "\" s=\"";
            AppendNumber(out, boldStyle);
            out += "\" customFormat=\"1";
        }
        out += "\">";
    };
    auto boldRowsBefore = [&](int row) {
        for (; nextBold != boldRows.end() && *nextBold < row; ++nextBold) {
            appendRowStart(*nextBold, true);
            out += "</row>";
        }
    };
    int openRow = 0;
    bool openRowBold = false;
    bool ok = true;
    std::uint64_t written = 0;
    sheet.ForEachCell([&](int row, int column, const Cell& cell) {
        if (!ok)
            return;
        if ((++written & 0xFFF) == 0) // a host's progress line polls this
            Progress().workbookCellsWritten.fetch_add(0x1000, std::memory_order_relaxed);
        if (row != openRow) {
            if (openRow)
                out += "</row>";
            boldRowsBefore(row);
            openRowBold = nextBold != boldRows.end() && *nextBold == row;
            if (openRowBold)
                ++nextBold;
            appendRowStart(row, openRowBold);
            openRow = row;
            part.Pump();
        }
        ok = AppendCell(out, row, column, cell, openRowBold, formats, strings, error);
        const std::optional<std::u16string_view> comment = CommentOf(cell);
        if (ok && comment) {
            const std::u16string_view text = *comment;
            const bool escape = TextNeedsEscape(text);
            std::u16string escaped = escape ? EscapeText(text) : std::u16string();
            const std::u16string_view stored = escape ? std::u16string_view(escaped) : text;
            if (StoredLength(stored) > kMaxTextChars) {
                error = "cannot write a cell's comment: a text is longer than 32,767 characters";
                ok = false;
                return;
            }
            AppendComment(*notesOut, row, column, stored);
            layout->Append(*shapesOut, row, column, ++shapeId, ++zIndex);
            parts.comments->Pump();
            parts.drawing->Pump();
        }
    });
    if (!ok)
        return false;
    if (openRow)
        out += "</row>";
    boldRowsBefore(kMaxRows + 1);
    out += "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
           "footer=\"0.3\"/>";
    if (notes > 0) {
        out += "<legacyDrawing r:id=\"rId1\"/>";
        *notesOut += "</commentList></comments>";
        *shapesOut += "</xml>";
        parts.comments->Finish();
        parts.drawing->Finish();
    }
    out += "</worksheet>";
    part.Finish();
    return true;
}

} // namespace excelsim::xlsx
