// Saving a workbook that was opened from a file by patching that file's
// package: every part is copied unchanged except the worksheets whose cells
// changed (only those cells are rewritten, every other element and attribute
// stays byte for byte) and, when a changed cell needs a format the file does
// not have yet, the styles part (formats are appended, none is altered). So
// formulas and their results, merged cells, styles of untouched cells,
// further sheets, drawings, defined names and document properties survive.
#include "xlsx_patch.h"

#include "xlsx_file.h"
#include "xlsx_limits.h"
#include "xlsx_package.h"
#include "xlsx_parts.h"
#include "xlsx_text.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <set>
#include <cstdio>
#include <map>
#include <memory>

namespace excelsim::xlsx {
namespace {

// ---- byte positions of the elements of a part ----------------------------

struct Element {
    std::string name;                     // local name
    std::string prefix;                   // "x:" when the part uses one
    std::vector<std::pair<std::string, std::string>> attributes; // as written, values decoded
    std::size_t begin = 0, startEnd = 0;  // the start tag
    std::size_t endBegin = 0, end = 0;    // the end tag (endBegin == end for <x/>)
    bool selfClosing = false;
    std::size_t parent = SIZE_MAX;
    int depth = 0;                        // 1 for the root
    bool hasFormula = false;              // a <c> with an <f> child
    bool sharedMaster = false;            // ... that defines a shared formula for other cells
    std::string Attribute(const char* key) const
    {
        for (const auto& [k, v] : attributes)
            if (k == key)
                return v;
        return {};
    }
};

// Records the elements named in `wanted` with their byte ranges.
class Layout {
public:
    explicit Layout(std::vector<std::string> wanted) : wanted_(std::move(wanted)) {}

    bool Parse(const std::string& xml, const std::string& partName, std::string& error)
    {
        std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(XML_ParserCreate(nullptr),
                                                                                             &XML_ParserFree);
        if (!parser) {
            error = "out of memory";
            return false;
        }
        parser_ = parser.get();
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &Layout::OnStart, &Layout::OnEnd);
        XML_SetStartDoctypeDeclHandler(parser_, [](void* self, const char*, const char*, const char*, int) {
            static_cast<Layout*>(self)->failed_ = true;
            XML_StopParser(static_cast<Layout*>(self)->parser_, XML_FALSE);
        });
        if (xml.size() > static_cast<std::size_t>(INT32_MAX) ||
            XML_Parse(parser_, xml.data(), static_cast<int>(xml.size()), XML_TRUE) != XML_STATUS_OK || failed_) {
            error = partName + ": cannot be read for saving";
            return false;
        }
        return true;
    }

    std::vector<Element> elements;

private:
    static std::pair<std::string, std::string> Split(const char* qualified)
    {
        std::string name = qualified;
        std::size_t colon = name.find(':');
        if (colon == std::string::npos)
            return {name, {}};
        return {name.substr(colon + 1), name.substr(0, colon + 1)};
    }

    static void OnStart(void* data, const char* name, const char** attributes)
    {
        auto* self = static_cast<Layout*>(data);
        auto [local, prefix] = Split(name);
        if (++self->depth_ > kMaxXmlDepth) {
            self->failed_ = true;
            XML_StopParser(self->parser_, XML_FALSE);
            return;
        }
        if (local == "f" && !self->open_.empty() && self->open_.back() != SIZE_MAX) {
            Element& cell = self->elements[self->open_.back()];
            if (cell.name == "c") {
                cell.hasFormula = true;
                for (int i = 0; attributes[i]; i += 2)
                    if (std::string(attributes[i]) == "ref")
                        cell.sharedMaster = true;
            }
        }
        if (std::find(self->wanted_.begin(), self->wanted_.end(), local) == self->wanted_.end()) {
            self->open_.push_back(SIZE_MAX);
            return;
        }
        Element e;
        e.name = local;
        e.prefix = prefix;
        e.depth = self->depth_;
        for (int i = 0; attributes[i]; i += 2)
            e.attributes.emplace_back(attributes[i], attributes[i + 1]);
        e.begin = static_cast<std::size_t>(XML_GetCurrentByteIndex(self->parser_));
        e.startEnd = e.begin + static_cast<std::size_t>(XML_GetCurrentByteCount(self->parser_));
        for (auto it = self->open_.rbegin(); it != self->open_.rend(); ++it)
            if (*it != SIZE_MAX) {
                e.parent = *it;
                break;
            }
        self->open_.push_back(self->elements.size());
        self->elements.push_back(std::move(e));
    }

    static void OnEnd(void* data, const char*)
    {
        auto* self = static_cast<Layout*>(data);
        --self->depth_;
        std::size_t index = self->open_.back();
        self->open_.pop_back();
        if (index == SIZE_MAX)
            return;
        Element& e = self->elements[index];
        auto count = static_cast<std::size_t>(XML_GetCurrentByteCount(self->parser_));
        if (count == 0) { // <x/>: one tag for start and end
            e.selfClosing = true;
            e.endBegin = e.end = e.startEnd;
        } else {
            e.endBegin = static_cast<std::size_t>(XML_GetCurrentByteIndex(self->parser_));
            e.end = e.endBegin + count;
        }
    }

    std::vector<std::string> wanted_;
    XML_Parser parser_ = nullptr;
    std::vector<std::size_t> open_;
    int depth_ = 0;
    bool failed_ = false;
};

// ---- edits of a part's bytes --------------------------------------------

struct Edit {
    std::size_t at, length;
    std::string text;
};

std::string Apply(const std::string& source, std::vector<Edit> edits)
{
    // At one position, insertions (in the order made) come before the
    // element that is replaced there.
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
        return a.at != b.at ? a.at < b.at : (a.length == 0) > (b.length == 0);
    });
    std::string out;
    std::size_t cursor = 0;
    for (const Edit& edit : edits) {
        if (edit.at < cursor)
            continue; // overlaps an edit already made; never produced by the callers
        out.append(source, cursor, edit.at - cursor);
        out += edit.text;
        cursor = edit.at + edit.length;
    }
    out.append(source, cursor, std::string::npos);
    return out;
}

std::string Escaped(const std::string& text, bool attribute)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        case '\t': out += attribute ? "&#9;" : "\t"; break;
        case '\n': out += attribute ? "&#10;" : "\n"; break;
        case '\r': out += "&#13;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string StartTag(const Element& e, const std::vector<std::pair<std::string, std::string>>& attributes, bool close)
{
    std::string out = "<" + e.prefix + e.name;
    for (const auto& [k, v] : attributes)
        out += " " + k + "=\"" + Escaped(v, true) + "\"";
    return out + (close ? "/>" : ">");
}

std::string ColumnName(int column)
{
    std::string out;
    for (; column > 0; column = (column - 1) / 26)
        out.insert(out.begin(), static_cast<char>('A' + (column - 1) % 26));
    return out;
}

// ---- formats --------------------------------------------------------------

// The cell formats of the file, and those a save has to add.
class StyleTable {
public:
    bool Load(Package& package, const std::string& part, std::string& error)
    {
        part_ = part;
        if (part.empty())
            return true;
        auto xml = package.Read(part, error);
        if (!xml || !ParseStyles(*xml, part, styles_, error) || !layout_.Parse(*xml, part, error))
            return false;
        xml_ = std::move(*xml);
        for (std::size_t i = 0; i < layout_.elements.size(); ++i) {
            const Element& e = layout_.elements[i];
            if (e.name == "numFmt") {
                long long id = 0;
                if (ParseCount(e.Attribute("numFmtId"), id))
                    nextFormatId_ = std::max(nextFormatId_, id + 1);
            }
            if (e.name == "fonts" || e.name == "cellXfs" || e.name == "numFmts" || e.name == "styleSheet")
                sections_[e.name] = i;
            if (e.name == "font" && firstFont_ == SIZE_MAX)
                firstFont_ = i;
            if (e.name == "font")
                ++fontCount_;
        }
        return true;
    }

    // The index for a cell of this look: `current` when it already is one,
    // else the first format of the file that is, else a new one; -1 for the
    // default look on a cell with no format.
    long long For(bool bold, const std::u16string& format, long long current, std::string& error)
    {
        auto looks = [&](long long i) {
            return i >= 0 && static_cast<std::size_t>(i) < styles_.bold.size() &&
                   styles_.bold[static_cast<std::size_t>(i)] == bold &&
                   styles_.numberFormat[static_cast<std::size_t>(i)] == format;
        };
        if (current >= 0 && looks(current))
            return current;
        if (!bold && format.empty() && (styles_.bold.empty() || looks(0)))
            return -1;
        for (std::size_t i = 0; i < styles_.bold.size(); ++i)
            if (looks(static_cast<long long>(i)))
                return static_cast<long long>(i);
        return Add(bold, format, error);
    }

    bool Changed() const { return !newXfs_.empty(); }
    const std::string& Part() const { return part_; }

    std::string Patched() const
    {
        std::vector<Edit> edits;
        auto append = [&](const char* section, const std::string& text, std::size_t added) {
            const Element& e = layout_.elements[sections_.at(section)];
            auto attributes = e.attributes;
            long long count = 0;
            for (auto& [k, v] : attributes)
                if (k == "count" && ParseCount(v, count))
                    v = std::to_string(count + static_cast<long long>(added));
            if (e.selfClosing) {
                edits.push_back({e.begin, e.end - e.begin,
                                 StartTag(e, attributes, false) + text + "</" + e.prefix + e.name + ">"});
            } else {
                edits.push_back({e.begin, e.startEnd - e.begin, StartTag(e, attributes, false)});
                edits.push_back({e.endBegin, 0, text});
            }
        };
        if (!newFormats_.empty()) {
            if (sections_.count("numFmts")) {
                append("numFmts", newFormats_, newFormatCount_);
            } else {
                // The formats list comes first in the styles part.
                const Element& sheet = layout_.elements[sections_.at("styleSheet")];
                edits.push_back({sheet.startEnd, 0,
                                 "<" + sheet.prefix + "numFmts count=\"" + std::to_string(newFormatCount_) + "\">" +
                                     newFormats_ + "</" + sheet.prefix + "numFmts>"});
            }
        }
        if (!newFonts_.empty())
            append("fonts", newFonts_, newFontCount_);
        append("cellXfs", newXfs_, newXfCount_);
        return Apply(xml_, std::move(edits));
    }

private:
    long long Add(bool bold, const std::u16string& format, std::string& error)
    {
        if (part_.empty() || !sections_.count("cellXfs") || !sections_.count("fonts") || firstFont_ == SIZE_MAX ||
            !sections_.count("styleSheet")) {
            error = "the workbook has no formats to add to";
            return -2;
        }
        const Element& xfs = layout_.elements[sections_.at("cellXfs")];
        const std::string& p = xfs.prefix;
        long long formatId = 0;
        if (format == u"@") {
            formatId = 49;
        } else if (!format.empty()) {
            formatId = nextFormatId_++;
            newFormats_ += "<" + p + "numFmt numFmtId=\"" + std::to_string(formatId) + "\" formatCode=\"" +
                           Escaped(Utf8(format), true) + "\"/>";
            ++newFormatCount_;
        }
        long long font = 0;
        if (bold) {
            if (boldFont_ < 0) {
                // The default font, made bold.
                const Element& first = layout_.elements[firstFont_];
                std::string copy;
                if (first.selfClosing) {
                    copy = StartTag(first, first.attributes, false) + "<" + first.prefix + "b/></" + first.prefix + "font>";
                } else {
                    copy = xml_.substr(first.begin, first.end - first.begin);
                    copy.insert(first.startEnd - first.begin, "<" + first.prefix + "b/>");
                }
                newFonts_ += copy;
                ++newFontCount_;
                boldFont_ = static_cast<long long>(fontCount_ + newFontCount_ - 1);
            }
            font = boldFont_;
        }
        newXfs_ += "<" + p + "xf numFmtId=\"" + std::to_string(formatId) + "\" fontId=\"" + std::to_string(font) +
                   "\" fillId=\"0\" borderId=\"0\" xfId=\"0\"" + (bold ? " applyFont=\"1\"" : "") +
                   (formatId ? " applyNumberFormat=\"1\"" : "") + "/>";
        ++newXfCount_;
        long long index = static_cast<long long>(styles_.bold.size());
        styles_.bold.push_back(bold);
        styles_.numberFormat.push_back(format);
        return index;
    }

    std::string part_, xml_;
    Styles styles_;
    Layout layout_{{"styleSheet", "numFmts", "numFmt", "fonts", "font", "cellXfs"}};
    std::map<std::string, std::size_t> sections_;
    std::size_t firstFont_ = SIZE_MAX, fontCount_ = 0;
    long long nextFormatId_ = 164; // custom formats start after the built-in ones
    long long boldFont_ = -1;
    std::string newFormats_, newFonts_, newXfs_;
    std::size_t newFormatCount_ = 0, newFontCount_ = 0, newXfCount_ = 0;
};

// ---- worksheets ------------------------------------------------------------

std::string NumberText(double number)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", number);
    return buffer;
}

// The <c> element of a cell as the model holds it; empty for a blank cell.
std::string CellXml(const std::string& p, int row, int column, const std::optional<Cell>& cell, long long style)
{
    std::string ref = ColumnName(column) + std::to_string(row);
    std::string s = style >= 0 ? " s=\"" + std::to_string(style) + "\"" : "";
    if (!cell || (cell->Kind() == CellKind::Empty && style < 0))
        return {};
    std::string open = "<" + p + "c r=\"" + ref + "\"" + s;
    const CellValue v = cell->Value();
    switch (v.kind) {
    case CellKind::Number:
        return open + "><" + p + "v>" + NumberText(v.number) + "</" + p + "v></" + p + "c>";
    case CellKind::Boolean:
        return open + " t=\"b\"><" + p + "v>" + (v.boolean ? "1" : "0") + "</" + p + "v></" + p + "c>";
    case CellKind::Error:
        return open + " t=\"e\"><" + p + "v>" + Utf8(ErrorValueText(v.error)) + "</" + p + "v></" + p + "c>";
    case CellKind::Text:
        return open + " t=\"inlineStr\"><" + p + "is><" + p + "t xml:space=\"preserve\">" +
               Escaped(Utf8(EscapeText(v.text)), false) + "</" + p + "t></" + p + "is></" + p + "c>";
    case CellKind::Empty:
        break;
    }
    return open + "/>";
}

struct SheetPatch {
    std::string xml;
    bool formulaReplaced = false;
};

// The file's width of a column the program shows `characters` wide (the
// reader takes the cell margin of 5 pixels of 7 off again).
std::string FileWidth(double characters)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", characters + 5.0 / 7.0);
    return buffer;
}

// The <cols> element with the changed widths, every other column as it was:
// a range of columns that holds a changed one is split around it.
std::string ColumnsXml(const Layout& layout, const Element* cols, const std::string& p, const Sheet& sheet,
                       const Sheet& original)
{
    struct Range {
        long long min, max;
        std::vector<std::pair<std::string, std::string>> attributes;
    };
    std::vector<Range> ranges;
    if (cols)
        for (const Element& e : layout.elements)
            if (e.name == "col" && e.parent != SIZE_MAX && &layout.elements[e.parent] == cols) {
                Range r{0, 0, e.attributes};
                ParseCount(e.Attribute("min"), r.min);
                ParseCount(e.Attribute("max"), r.max);
                ranges.push_back(std::move(r));
            }
    auto set = [](std::vector<std::pair<std::string, std::string>>& attributes, const char* key, std::string value) {
        for (auto& [k, v] : attributes)
            if (k == key) {
                v = std::move(value);
                return;
            }
        attributes.emplace_back(key, std::move(value));
    };
    for (const auto& entry : sheet.ColumnWidths()) {
        const int column = entry.first;
        const double width = entry.second;
        if (original.ColumnWidth(column) == width)
            continue;
        auto it = std::find_if(ranges.begin(), ranges.end(),
                               [&](const Range& r) { return r.min <= column && column <= r.max; });
        Range changed{column, column, {{"min", ""}, {"max", ""}}};
        if (it != ranges.end()) {
            Range before = *it, after = *it;
            changed.attributes = it->attributes;
            before.max = column - 1;
            after.min = column + 1;
            it = ranges.erase(it);
            if (after.min <= after.max)
                it = ranges.insert(it, after);
            if (before.min <= before.max)
                it = ranges.insert(it, before);
        }
        set(changed.attributes, "width", FileWidth(width));
        set(changed.attributes, "customWidth", "1");
        ranges.push_back(std::move(changed));
    }
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.min < b.min; });
    Element tag;
    tag.prefix = p;
    tag.name = "cols";
    std::string out = cols ? StartTag(*cols, cols->attributes, false) : StartTag(tag, {}, false);
    tag.name = "col";
    for (Range& r : ranges) {
        set(r.attributes, "min", std::to_string(r.min));
        set(r.attributes, "max", std::to_string(r.max));
        out += StartTag(tag, r.attributes, true);
    }
    return out + "</" + p + "cols>";
}

// Elements that come after <legacyDrawing> in a worksheet.
bool FollowsLegacyDrawing(const std::string& name)
{
    for (const char* later :
         {"legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls", "webPublishItems", "tableParts", "extLst"})
        if (name == later)
            return true;
    return false;
}

bool PatchSheet(const Sheet& sheet, const Sheet& original, const std::string& xml, const std::string& part,
                StyleTable& styles, const std::string& legacyDrawingId, SheetPatch& out, std::string& error)
{
    Layout layout({"worksheet", "sheetData", "row", "c", "cols", "col", "legacyDrawingHF", "drawingHF", "picture",
                   "oleObjects", "controls", "webPublishItems", "tableParts", "extLst"});
    if (!layout.Parse(xml, part, error))
        return false;
    const Element* sheetData = nullptr;
    std::map<int, std::size_t> rows;
    std::map<std::pair<int, int>, std::size_t> cells;
    for (std::size_t i = 0; i < layout.elements.size(); ++i) {
        const Element& e = layout.elements[i];
        if (e.name == "sheetData") {
            sheetData = &e;
        } else if (e.name == "row") {
            long long r = 0;
            if (!ParseCount(e.Attribute("r"), r)) {
                error = part + ": a row without its number cannot be saved over";
                return false;
            }
            rows[static_cast<int>(r)] = i;
        } else if (e.name == "c" && e.parent != SIZE_MAX && layout.elements[e.parent].name == "row") {
            int row = 0, column = 0;
            if (!ParseCellReference(e.Attribute("r"), row, column)) {
                error = part + ": a cell without its reference cannot be saved over";
                return false;
            }
            cells[{row, column}] = i;
        }
    }
    if (!sheetData || layout.elements.front().depth != 1 || sheetData->depth != 2) {
        error = part + ": the sheet has no cell data";
        return false;
    }
    const std::string p = sheetData->prefix;

    // The formats of changed cells and rows, and the row tags that change.
    auto styleOf = [&](int row, int column, const Element* existing, long long& style) {
        auto cell = sheet.Find(row, column);
        bool bold = (cell && cell->Bold()) || sheet.RowBold(row);
        std::u16string format = cell ? std::u16string(cell->NumberFormat()) : std::u16string();
        long long current = -1;
        if (existing && !existing->Attribute("s").empty())
            ParseCount(existing->Attribute("s"), current);
        style = styles.For(bold, format, current, error);
        return style != -2;
    };
    auto rowAttributes = [&](int row, const Element* existing, std::vector<std::pair<std::string, std::string>>& out) {
        if (existing)
            out = existing->attributes;
        else
            out = {{"r", std::to_string(row)}};
        // The span of columns a row declares would no longer hold.
        out.erase(std::remove_if(out.begin(), out.end(), [](const auto& a) { return a.first == "spans"; }), out.end());
        if (sheet.RowBold(row) == original.RowBold(row))
            return true;
        out.erase(std::remove_if(out.begin(), out.end(),
                                 [](const auto& a) { return a.first == "s" || a.first == "customFormat"; }),
                  out.end());
        if (sheet.RowBold(row)) {
            long long style = styles.For(true, u"", -1, error);
            if (style == -2)
                return false;
            out.emplace_back("s", std::to_string(std::max(0LL, style)));
            out.emplace_back("customFormat", "1");
        }
        return true;
    };

    // Rows and cells to rewrite, row by row.
    std::map<int, std::vector<int>> changed;
    for (const auto& [row, column] : sheet.ChangedCells())
        changed[row].push_back(column);
    for (int row : sheet.ChangedRows())
        changed[row];

    std::vector<Edit> edits;
    for (const auto& [row, columns] : changed) {
        auto rowIt = rows.find(row);
        const Element* existingRow = rowIt == rows.end() ? nullptr : &layout.elements[rowIt->second];
        std::vector<std::pair<std::string, std::string>> attributes;
        if (!rowAttributes(row, existingRow, attributes))
            return false;
        if (!existingRow) {
            std::string text;
            for (int column : columns) {
                long long style = -1;
                if (!styleOf(row, column, nullptr, style))
                    return false;
                text += CellXml(p, row, column, sheet.Find(row, column), style);
            }
            if (text.empty() && !sheet.RowBold(row))
                continue;
            Element tag;
            tag.name = "row";
            tag.prefix = p;
            std::string rowXml = StartTag(tag, attributes, false) + text + "</" + p + "row>";
            auto next = rows.upper_bound(row);
            if (next != rows.end())
                edits.push_back({layout.elements[next->second].begin, 0, rowXml});
            else // before the end of the cell data; an empty <sheetData/> is rebuilt below
                edits.push_back({sheetData->selfClosing ? sheetData->begin : sheetData->endBegin, 0, rowXml});
            continue;
        }
        // An existing row: its start tag when its format changed, and each
        // changed cell in place or before the next cell of the row.
        if (attributes != existingRow->attributes && !existingRow->selfClosing)
            edits.push_back({existingRow->begin, existingRow->startEnd - existingRow->begin,
                             StartTag(*existingRow, attributes, false)});
        std::string tail; // cells after the last existing one
        for (int column : columns) {
            auto cellIt = cells.find({row, column});
            const Element* existing = cellIt == cells.end() ? nullptr : &layout.elements[cellIt->second];
            long long style = -1;
            if (!styleOf(row, column, existing, style))
                return false;
            std::string text = CellXml(p, row, column, sheet.Find(row, column), style);
            auto now = sheet.Find(row, column);
            auto was = original.Find(row, column);
            if (existing && (now ? now->Value() : CellValue{}) == (was ? was->Value() : CellValue{})) {
                // Only the note or the format changed: the value, and a
                // formula behind it, stay; the format index is set in place.
                auto attributes = existing->attributes;
                attributes.erase(std::remove_if(attributes.begin(), attributes.end(),
                                                [](const auto& a) { return a.first == "s"; }),
                                 attributes.end());
                if (style >= 0)
                    attributes.emplace_back("s", std::to_string(style));
                if (attributes != existing->attributes)
                    edits.push_back({existing->begin, existing->startEnd - existing->begin,
                                     StartTag(*existing, attributes, existing->selfClosing)});
                continue;
            }
            if (existing) {
                if (existing->sharedMaster) {
                    error = part + ": a cell whose formula other cells share cannot be replaced";
                    return false;
                }
                out.formulaReplaced = out.formulaReplaced || existing->hasFormula;
                edits.push_back({existing->begin, existing->end - existing->begin, text});
                continue;
            }
            auto next = cells.upper_bound({row, column});
            if (next != cells.end() && next->first.first == row)
                edits.push_back({layout.elements[next->second].begin, 0, text});
            else
                tail += text;
        }
        if (existingRow->selfClosing)
            edits.push_back({existingRow->begin, existingRow->end - existingRow->begin,
                             StartTag(*existingRow, attributes, tail.empty())
                                 + (tail.empty() ? "" : tail + "</" + p + "row>")});
        else if (!tail.empty())
            edits.push_back({existingRow->endBegin, 0, tail});
    }
    if (sheetData->selfClosing && !edits.empty()) {
        // An empty sheet: the whole cell data is new.
        std::string body;
        for (auto& edit : edits)
            body += edit.text;
        edits = {{sheetData->begin, sheetData->end - sheetData->begin,
                  StartTag(*sheetData, sheetData->attributes, false) + body + "</" + p + "sheetData>"}};
    }
    if (sheet.ColumnWidths() != original.ColumnWidths()) {
        const Element* cols = nullptr;
        for (const Element& e : layout.elements)
            if (e.name == "cols" && e.depth == 2)
                cols = &e;
        std::string text = ColumnsXml(layout, cols, p, sheet, original);
        if (cols)
            edits.push_back({cols->begin, cols->end - cols->begin, text});
        else
            edits.push_back({sheetData->begin, 0, text}); // the columns come just before the cell data
    }
    if (!legacyDrawingId.empty()) {
        // The notes' drawing goes before the first element the format puts after it.
        const Element* root = &layout.elements.front();
        std::size_t at = root->endBegin;
        for (const Element& e : layout.elements)
            if (e.depth == 2 && FollowsLegacyDrawing(e.name)) {
                at = e.begin;
                break;
            }
        edits.push_back({at, 0,
                         "<" + p + "legacyDrawing xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" r:id=\"" +
                             legacyDrawingId + "\"/>"});
    }
    out.xml = Apply(xml, std::move(edits));
    return true;
}

// ---- notes (comments and the drawing that shows them) ---------------------

const char* kRelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const char* kRelationshipType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// New parts, and the additions to [Content_Types].xml they need.
struct PackageEdits {
    std::map<std::string, std::string> replaced;
    std::string overrides;
    bool vmlDefault = false;

    bool Has(Package& package, const std::string& part) const { return package.Has(part) || replaced.count(part); }
    std::string FreeName(Package& package, const std::string& stem, const std::string& extension) const
    {
        for (int n = 1;; ++n)
            if (std::string name = stem + std::to_string(n) + extension; !Has(package, name))
                return name;
    }
};

// Adds `text` at the end of the root element `root` of a part, on top of
// the edits already made to it.
bool AppendToRoot(Package& package, PackageEdits& edits, const std::string& part, const char* root,
                  const std::string& text, std::string& error)
{
    std::string base;
    if (auto it = edits.replaced.find(part); it != edits.replaced.end()) {
        base = it->second;
    } else {
        auto xml = package.Read(part, error);
        if (!xml)
            return false;
        base = std::move(*xml);
    }
    Layout layout({root});
    if (!layout.Parse(base, part, error))
        return false;
    if (layout.elements.empty() || layout.elements.front().depth != 1) {
        error = part + " cannot be saved over";
        return false;
    }
    const Element& e = layout.elements.front();
    if (e.selfClosing)
        edits.replaced[part] = Apply(base, {{e.begin, e.end - e.begin,
                                             StartTag(e, e.attributes, false) + text + "</" + e.prefix + e.name + ">"}});
    else
        edits.replaced[part] = Apply(base, {{e.endBegin, 0, text}});
    return true;
}

std::string CommentXml(int row, int column, const std::u16string& text)
{
    return "<comment ref=\"" + ColumnName(column) + std::to_string(row) +
           "\" authorId=\"0\"><text><t xml:space=\"preserve\">" + Escaped(Utf8(EscapeText(text)), false) +
           "</t></text></comment>";
}

const char* kNoteShapeType =
    R"(<v:shapetype id="_x0000_t202" coordsize="21600,21600" o:spt="202" path="m,l,21600r21600,l21600,xe"><v:stroke joinstyle="miter"/><v:path gradientshapeok="t" o:connecttype="rect"/></v:shapetype>)";

std::string NoteShapeXml(int id, int row, int column)
{
    std::string r = std::to_string(row - 1), c = std::to_string(column - 1);
    return "<v:shape id=\"_x0000_s" + std::to_string(id) +
           "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:59.25pt;margin-top:1.5pt;width:108pt;"
           "height:59.25pt;z-index:1;visibility:hidden\" fillcolor=\"#ffffe1\" o:insetmode=\"auto\"><v:fill "
           "color2=\"#ffffe1\"/><v:shadow on=\"t\" color=\"black\" obscured=\"t\"/><v:path o:connecttype=\"none\"/>"
           "<v:textbox style=\"mso-direction-alt:auto\"><div style=\"text-align:left\"></div></v:textbox>"
           "<x:ClientData ObjectType=\"Note\"><x:MoveWithCells/><x:SizeWithCells/><x:Anchor>" +
           std::to_string(column) + ", 15, " + r + ", 2, " + std::to_string(column + 2) + ", 15, " +
           std::to_string(row + 3) + ", 16</x:Anchor><x:AutoFill>False</x:AutoFill><x:Row>" + r +
           "</x:Row><x:Column>" + c + "</x:Column></x:ClientData></v:shape>";
}

// The drawing of notes is VML, which the program does not write as strict
// XML: it is edited as text, one <v:shape> of a note at a time.
std::string PatchNoteShapes(const std::string& vml, const std::vector<std::pair<int, int>>& removed,
                            const std::vector<std::pair<int, int>>& added, int firstId = 1025)
{
    auto number = [](const std::string& block, const char* open, const char* close) {
        std::size_t a = block.find(open);
        std::size_t b = a == std::string::npos ? a : block.find(close, a);
        long long n = -1;
        if (b != std::string::npos)
            ParseCount(block.substr(a + std::strlen(open), b - a - std::strlen(open)), n);
        return n;
    };
    const std::set<std::pair<long long, long long>> gone(removed.begin(), removed.end());
    std::vector<Edit> edits;
    int nextId = firstId;
    for (std::size_t at = vml.find("<v:shape "); at != std::string::npos; at = vml.find("<v:shape ", at + 1)) {
        std::size_t end = vml.find("</v:shape>", at);
        if (end == std::string::npos)
            break;
        end += std::strlen("</v:shape>");
        std::string block = vml.substr(at, end - at);
        long long id = number(block, "id=\"_x0000_s", "\"");
        if (id >= nextId && id < INT32_MAX)
            nextId = static_cast<int>(id + 1);
        if (block.find("ObjectType=\"Note\"") == std::string::npos)
            continue;
        long long row = number(block, "<x:Row>", "</x:Row>"), column = number(block, "<x:Column>", "</x:Column>");
        if (gone.count({row + 1, column + 1}))
            edits.push_back({at, end - at, {}});
    }
    std::string shapes;
    if (!added.empty() && vml.find("_x0000_t202") == std::string::npos)
        shapes += kNoteShapeType;
    for (const auto& [r, c] : added)
        shapes += NoteShapeXml(nextId++, r, c);
    std::size_t close = vml.rfind("</xml>");
    if (!shapes.empty())
        edits.push_back({close == std::string::npos ? vml.size() : close, 0, shapes});
    return Apply(vml, std::move(edits));
}

// Rewrites the notes of a sheet whose notes changed: an existing notes part
// keeps every untouched note as it was; a sheet without one gets a notes part
// and a drawing, and `legacyDrawingId` names the relationship the sheet must
// refer to.
bool PatchComments(Package& package, const Sheet& sheet, const Sheet& original, const std::string& sheetPart,
                   PackageEdits& edits, std::string& legacyDrawingId, std::string& error)
{
    std::map<std::pair<int, int>, std::optional<std::u16string>> changed;
    for (const auto& [row, column] : sheet.ChangedCells()) {
        auto now = sheet.Find(row, column);
        auto was = original.Find(row, column);
        std::optional<std::u16string_view> comment = now ? now->Comment() : std::nullopt;
        if (comment != (was ? was->Comment() : std::nullopt))
            changed[{row, column}] = comment ? std::optional<std::u16string>(*comment) : std::nullopt;
    }
    if (changed.empty())
        return true;
    Relationships rels;
    if (!ReadRelationships(package, sheetPart, rels, error))
        return false;
    const Relationship *commentsRel = nullptr, *vmlRel = nullptr;
    for (const auto& [id, relationship] : rels) {
        if (relationship.external)
            continue;
        if (TypeIs(relationship, "comments"))
            commentsRel = &relationship;
        else if (TypeIs(relationship, "vmlDrawing"))
            vmlRel = &relationship;
    }
    std::vector<std::pair<int, int>> removed, added;
    for (const auto& [cell, comment] : changed) {
        auto was = original.Find(cell.first, cell.second);
        bool had = was && was->Comment();
        if (had && !comment)
            removed.push_back(cell);
        else if (!had && comment)
            added.push_back(cell);
    }

    if (commentsRel) {
        if (!vmlRel) {
            error = sheetPart + ": the notes have no drawing";
            return false;
        }
        auto xml = package.Read(commentsRel->target, error);
        Layout layout({"comments", "authors", "author", "commentList", "comment"});
        if (!xml || !layout.Parse(*xml, commentsRel->target, error))
            return false;
        const Element *list = nullptr, *authors = nullptr;
        bool hasAuthor = false;
        for (const Element& e : layout.elements) {
            if (e.name == "commentList")
                list = &e;
            else if (e.name == "authors")
                authors = &e;
            else if (e.name == "author")
                hasAuthor = true;
        }
        if (!list || list->selfClosing || !authors || (!hasAuthor && authors->selfClosing)) {
            error = commentsRel->target + ": the notes cannot be saved over";
            return false;
        }
        std::vector<Edit> patch;
        if (!hasAuthor)
            patch.push_back({authors->endBegin, 0, "<" + authors->prefix + "author></" + authors->prefix + "author>"});
        auto remaining = changed;
        for (const Element& e : layout.elements) {
            int row = 0, column = 0;
            if (e.name != "comment" || !ParseCellReference(e.Attribute("ref"), row, column))
                continue;
            auto it = remaining.find({row, column});
            if (it == remaining.end())
                continue;
            patch.push_back({e.begin, e.end - e.begin, it->second ? CommentXml(row, column, *it->second) : ""});
            remaining.erase(it);
        }
        std::string appended;
        for (const auto& [cell, comment] : remaining)
            if (comment)
                appended += CommentXml(cell.first, cell.second, *comment);
        patch.push_back({list->endBegin, 0, appended});
        edits.replaced[commentsRel->target] = Apply(*xml, std::move(patch));
        auto vml = package.Read(vmlRel->target, error);
        if (!vml)
            return false;
        edits.replaced[vmlRel->target] = PatchNoteShapes(*vml, removed, added);
        return true;
    }
    if (vmlRel) {
        error = sheetPart + ": the sheet's drawing of controls cannot take notes";
        return false;
    }
    // The sheet's first notes.
    std::string commentsPart = edits.FreeName(package, "xl/comments", ".xml");
    std::string vmlPart = edits.FreeName(package, "xl/drawings/vmlDrawing", ".vml");
    std::string list;
    for (const auto& [cell, comment] : changed)
        if (comment)
            list += CommentXml(cell.first, cell.second, *comment);
    edits.replaced[commentsPart] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<comments "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><authors><author></author></authors>"
        "<commentList>" + list + "</commentList></comments>";
    // Each drawing numbers its shapes in blocks of 1024 of its own; a block
    // well past those the program gives (one per sheet) keeps the new
    // drawing's shape ids apart from the file's other drawings.
    long long drawingNumber = 1;
    ParseCount(vmlPart.substr(std::strlen("xl/drawings/vmlDrawing"),
                              vmlPart.size() - std::strlen("xl/drawings/vmlDrawing") - std::strlen(".vml")),
               drawingNumber);
    int block = static_cast<int>(std::min(drawingNumber, 1000000LL)) + 1000;
    edits.replaced[vmlPart] = PatchNoteShapes(
        "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
        "xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><o:shapelayout v:ext=\"edit\"><o:idmap v:ext=\"edit\" "
        "data=\"" + std::to_string(block) + "\"/></o:shapelayout></xml>",
        {}, added, block * 1024 + 1);
    edits.overrides += "<Override PartName=\"/" + commentsPart +
                       "\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.comments+xml\"/>";
    edits.vmlDefault = true;

    auto freeId = [&](const char* base) {
        for (int n = 1;; ++n)
            if (std::string id = base + std::to_string(n); !rels.count(id))
                return id;
    };
    std::string commentsId = freeId("rIdNotes"), vmlId = freeId("rIdNoteShapes");
    std::string added_rels = std::string("<Relationship Id=\"") + commentsId + "\" Type=\"" + kRelationshipType +
                             "comments\" Target=\"/" + commentsPart + "\"/><Relationship Id=\"" + vmlId +
                             "\" Type=\"" + kRelationshipType + "vmlDrawing\" Target=\"/" + vmlPart + "\"/>";
    std::string relsPart = RelationshipsPartOf(sheetPart);
    if (edits.Has(package, relsPart)) {
        if (!AppendToRoot(package, edits, relsPart, "Relationships", added_rels, error))
            return false;
    } else {
        edits.replaced[relsPart] = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                               "<Relationships xmlns=\"") +
                                   kRelationshipsNs + "\">" + added_rels + "</Relationships>";
    }
    legacyDrawingId = vmlId;
    return true;
}

// Adds the types of new parts to [Content_Types].xml.
bool PatchContentTypes(Package& package, PackageEdits& edits, std::string& error)
{
    if (edits.overrides.empty())
        return true;
    const std::string part = "[Content_Types].xml";
    auto xml = package.Read(part, error);
    Layout layout({"Types", "Default"});
    if (!xml || !layout.Parse(*xml, part, error) || layout.elements.empty() || layout.elements.front().selfClosing) {
        if (error.empty())
            error = part + " cannot be saved over";
        return false;
    }
    std::string text = edits.overrides;
    if (edits.vmlDefault) {
        bool known = false;
        for (const Element& e : layout.elements) {
            std::string extension = e.Attribute("Extension");
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            known = known || (e.name == "Default" && extension == "vml");
        }
        if (!known)
            text = "<Default Extension=\"vml\" ContentType=\"application/vnd.openxmlformats-officedocument.vmlDrawing\"/>" +
                   text;
    }
    return AppendToRoot(package, edits, part, "Types", text, error);
}

// ---- new sheets -------------------------------------------------------------

const char* kNewSheetXml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet "
                           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData/></worksheet>";

std::string RelationshipId(const Element& e)
{
    for (const auto& [k, v] : e.attributes)
        if (k.size() > 3 && k.compare(k.size() - 3, 3, ":id") == 0)
            return v;
    return {};
}

// Lists the new sheets in the workbook part where the model has them, and
// moves the sheet numbers that defined names and the window refer to along.
bool PatchSheetList(Package& package, const std::string& workbookPart, const Relationships& rels, const Workbook& book,
                    const std::vector<std::string>& newIds, PackageEdits& edits, std::string& error)
{
    auto xml = package.Read(workbookPart, error);
    Layout layout({"workbook", "sheets", "sheet", "definedName", "workbookView"});
    if (!xml || !layout.Parse(*xml, workbookPart, error))
        return false;
    const Element* list = nullptr;
    std::vector<const Element*> fileSheets;
    long long lastSheetId = 0;
    for (const Element& e : layout.elements) {
        if (e.name == "sheets" && e.depth == 2)
            list = &e;
        if (e.name == "sheet" && list && e.parent != SIZE_MAX && &layout.elements[e.parent] == list) {
            fileSheets.push_back(&e);
            long long id = 0;
            if (ParseCount(e.Attribute("sheetId"), id))
                lastSheetId = std::max(lastSheetId, id);
        }
    }
    if (!list || list->selfClosing) {
        error = workbookPart + ": the list of sheets cannot be saved over";
        return false;
    }
    std::map<std::string, std::size_t> fileIndexOf;
    for (std::size_t i = 0; i < fileSheets.size(); ++i)
        if (auto it = rels.find(RelationshipId(*fileSheets[i])); it != rels.end())
            fileIndexOf[it->second.target] = i;

    // A new sheet goes before the next sheet of the file that follows it in
    // the workbook, or at the end.
    std::vector<std::string> before(fileSheets.size() + 1);
    std::vector<long long> added(fileSheets.size() + 1, 0);
    Element tag;
    tag.prefix = list->prefix;
    tag.name = "sheet";
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        if (newIds[i].empty())
            continue;
        std::size_t at = fileSheets.size();
        for (std::size_t j = i + 1; j < book.sheets.size(); ++j) {
            if (!newIds[j].empty())
                continue;
            auto it = fileIndexOf.find(book.sheets[j]->Origin());
            if (it == fileIndexOf.end()) {
                error = workbookPart + ": a sheet is not listed";
                return false;
            }
            at = it->second;
            break;
        }
        before[at] += StartTag(tag,
                               {{"xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships"},
                                {"name", Utf8(book.sheets[i]->Name())},
                                {"sheetId", std::to_string(++lastSheetId)},
                                {"r:id", newIds[i]}},
                               true);
        ++added[at];
    }
    std::vector<long long> shiftUpTo(added.size(), 0); // new sheets placed before file sheet k or an earlier one
    for (std::size_t k = 0; k < added.size(); ++k)
        shiftUpTo[k] = added[k] + (k ? shiftUpTo[k - 1] : 0);
    auto moved = [&](const std::string& text, std::string& out) {
        long long index = 0;
        if (!ParseCount(text, index) || index < 0 || static_cast<std::size_t>(index) >= fileSheets.size())
            return false;
        long long shift = shiftUpTo[static_cast<std::size_t>(index)];
        out = std::to_string(index + shift);
        return shift != 0;
    };
    std::vector<Edit> patch;
    for (std::size_t k = 0; k < before.size(); ++k)
        if (!before[k].empty())
            patch.push_back({k < fileSheets.size() ? fileSheets[k]->begin : list->endBegin, 0, before[k]});
    for (const Element& e : layout.elements) {
        if (e.name != "definedName" && e.name != "workbookView")
            continue;
        auto attributes = e.attributes;
        bool changed = false;
        for (auto& [k, v] : attributes)
            if (k == "localSheetId" || k == "activeTab" || k == "firstSheet")
                changed = moved(v, v) || changed;
        if (changed)
            patch.push_back({e.begin, e.startEnd - e.begin, StartTag(e, attributes, e.selfClosing)});
    }
    edits.replaced[workbookPart] = Apply(*xml, std::move(patch));
    return true;
}

// ---- the package ------------------------------------------------------------

// What the patch cannot carry over: the caller refuses the save instead.
std::string Unsupported(const Workbook& book, const Workbook& original)
{
    std::vector<std::string> kept, was;
    for (const auto& sheet : book.sheets)
        if (!sheet->Origin().empty())
            kept.push_back(sheet->Origin());
    for (const auto& sheet : original.sheets)
        was.push_back(sheet->Origin());
    if (kept != was)
        return "sheets were removed or moved";
    for (std::size_t i = 0, k = 0; i < book.sheets.size(); ++i) {
        const Sheet& sheet = *book.sheets[i];
        if (sheet.Origin().empty())
            continue;
        if (sheet.Name() != original.sheets[k++]->Name())
            return "a sheet was renamed";
    }
    return {};
}

struct ArchiveDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveDiscard>;
struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

// A new package of the parts of `source` in their order, each copied as it
// is unless replaced or dropped, then the parts that are new.
bool Rebuild(const std::string& source, const std::map<std::string, std::string>& replaced, bool dropCalcChain,
             std::string& out, std::string& error)
{
    zip_error_t zerr;
    zip_error_init(&zerr);
    Source inBuffer(zip_source_buffer_create(source.data(), source.size(), 0, &zerr));
    Archive in(inBuffer ? zip_open_from_source(inBuffer.get(), ZIP_RDONLY, &zerr) : nullptr);
    if (in)
        inBuffer.release(); // the archive owns it now
    Source outBuffer(zip_source_buffer_create(nullptr, 0, 0, &zerr));
    Archive target(in && outBuffer ? zip_open_from_source(outBuffer.get(), ZIP_TRUNCATE, &zerr) : nullptr);
    zip_error_fini(&zerr);
    if (!target) {
        error = "cannot write the workbook";
        return false;
    }
    zip_source_keep(outBuffer.get()); // it outlives the archive written into it
    auto add = [&](const std::string& name, zip_source_t* part) {
        if (!part)
            return false;
        if (zip_file_add(target.get(), name.c_str(), part, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(part);
            return false;
        }
        return true;
    };
    bool ok = true;
    std::map<std::string, bool> written;
    zip_int64_t count = zip_get_num_entries(in.get(), 0);
    for (zip_int64_t i = 0; i < count && ok; ++i) {
        const char* entry = zip_get_name(in.get(), static_cast<zip_uint64_t>(i), 0);
        if (!entry) {
            ok = false;
            break;
        }
        std::string name = entry;
        if (dropCalcChain && name == "xl/calcChain.xml")
            continue;
        if (auto it = replaced.find(name); it != replaced.end()) {
            ok = add(name, zip_source_buffer(target.get(), it->second.data(), it->second.size(), 0));
            written[name] = true;
        } else {
            ok = add(name, zip_source_zip(target.get(), in.get(), static_cast<zip_uint64_t>(i), 0, 0, -1));
        }
    }
    for (const auto& [name, data] : replaced)
        if (ok && !written.count(name))
            ok = add(name, zip_source_buffer(target.get(), data.data(), data.size(), 0));
    if (!ok || zip_close(target.get()) != 0) {
        error = std::string("cannot write the workbook: ") + zip_strerror(target.get());
        return false;
    }
    target.release(); // closed
    if (zip_source_open(outBuffer.get()) != 0) {
        error = "cannot write the workbook";
        return false;
    }
    zip_source_seek(outBuffer.get(), 0, SEEK_END);
    zip_int64_t size = zip_source_tell(outBuffer.get());
    zip_source_seek(outBuffer.get(), 0, SEEK_SET);
    out.assign(static_cast<std::size_t>(std::max<zip_int64_t>(size, 0)), '\0');
    zip_int64_t read = zip_source_read(outBuffer.get(), out.data(), out.size());
    zip_source_close(outBuffer.get());
    if (read != size) {
        error = "cannot write the workbook";
        return false;
    }
    return true;
}

// Removes the calculation chain's relationship and type, which name the part
// dropped when a formula cell is replaced; the program rebuilds the chain.
void ForgetCalcChain(Package& package, const std::string& workbookPart, std::map<std::string, std::string>& replaced,
                     std::string& error)
{
    auto strip = [&](const std::string& partName, const char* element) {
        std::optional<std::string> xml;
        if (auto it = replaced.find(partName); it != replaced.end())
            xml = it->second;
        else if (package.Has(partName))
            xml = package.Read(partName, error);
        if (!xml)
            return;
        Layout layout({element});
        if (!layout.Parse(*xml, partName, error))
            return;
        std::vector<Edit> edits;
        for (const Element& e : layout.elements)
            if ((e.Attribute("Type") + e.Attribute("PartName") + e.Attribute("ContentType")).find("calcChain") !=
                std::string::npos)
                edits.push_back({e.begin, e.end - e.begin, {}});
        if (!edits.empty())
            replaced[partName] = Apply(*xml, std::move(edits));
    };
    strip(RelationshipsPartOf(workbookPart), "Relationship");
    strip("[Content_Types].xml", "Override");
}

} // namespace

bool PatchXlsx(const Workbook& book, std::string& out, std::string& error)
{
    if (!book.opened) {
        error = "the workbook was not opened from a file";
        return false;
    }
    const std::string& source = book.opened->bytes;
    auto original = ReadXlsxFromMemory(source.data(), source.size(), book.name, error);
    if (!original)
        return false;
    if (std::string why = Unsupported(book, *original); !why.empty()) {
        error = "the workbook cannot be saved over its file without losing content (" + why + ")";
        return false;
    }
    Package package;
    if (!package.Open(source.data(), source.size(), error))
        return false;
    std::string workbookPart = OfficeDocumentPart(package, error);
    Relationships rels;
    if (workbookPart.empty() || !ReadRelationships(package, workbookPart, rels, error))
        return false;
    std::string stylesPart;
    for (const auto& [id, relationship] : rels)
        if (TypeIs(relationship, "styles") && !relationship.external)
            stylesPart = relationship.target;
    StyleTable styles;
    if (!styles.Load(package, stylesPart, error))
        return false;

    PackageEdits edits;
    bool formulaReplaced = false;
    std::map<std::string, const Sheet*> originalOf;
    for (const auto& sheet : original->sheets)
        originalOf[sheet->Origin()] = sheet.get();
    const Sheet blank(u"");
    std::vector<std::string> newIds(book.sheets.size());
    std::string newRelationships;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const Sheet& sheet = *book.sheets[i];
        bool added = sheet.Origin().empty();
        if (!sheet.Changed() && !added)
            continue;
        std::string part = added ? edits.FreeName(package, "xl/worksheets/sheet", ".xml") : sheet.Origin();
        std::string xml = kNewSheetXml;
        if (!added) {
            auto bytes = package.Read(part, error);
            if (!bytes)
                return false;
            xml = std::move(*bytes);
        } else {
            edits.replaced[part] = {}; // the name is taken
            for (int n = 1;; ++n)
                if (std::string id = "rIdSheet" + std::to_string(n); !rels.count(id)) {
                    bool used = false;
                    for (const auto& other : newIds)
                        used = used || other == id;
                    if (!used) {
                        newIds[i] = id;
                        break;
                    }
                }
            newRelationships += std::string("<Relationship Id=\"") + newIds[i] + "\" Type=\"" + kRelationshipType +
                                "worksheet\" Target=\"/" + part + "\"/>";
            edits.overrides += "<Override PartName=\"/" + part +
                               "\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        }
        const Sheet& before = added ? blank : *originalOf.at(part);
        std::string legacyDrawingId;
        if (!PatchComments(package, sheet, before, part, edits, legacyDrawingId, error))
            return false;
        SheetPatch patch;
        if (!PatchSheet(sheet, before, xml, part, styles, legacyDrawingId, patch, error))
            return false;
        edits.replaced[part] = std::move(patch.xml);
        formulaReplaced = formulaReplaced || patch.formulaReplaced;
    }
    if (!newRelationships.empty() &&
        (!AppendToRoot(package, edits, RelationshipsPartOf(workbookPart), "Relationships", newRelationships, error) ||
         !PatchSheetList(package, workbookPart, rels, book, newIds, edits, error)))
        return false;
    if (styles.Changed())
        edits.replaced[styles.Part()] = styles.Patched();
    if (formulaReplaced) {
        ForgetCalcChain(package, workbookPart, edits.replaced, error);
        if (!error.empty())
            return false;
    }
    if (!PatchContentTypes(package, edits, error))
        return false;
    return Rebuild(source, edits.replaced, formulaReplaced, out, error);
}

} // namespace excelsim::xlsx
