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
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
    std::string out;
    std::size_t cursor = 0;
    for (const Edit& edit : edits) {
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
std::string CellXml(const std::string& p, int row, int column, const Cell* cell, long long style)
{
    std::string ref = ColumnName(column) + std::to_string(row);
    std::string s = style >= 0 ? " s=\"" + std::to_string(style) + "\"" : "";
    if (!cell || (cell->value.kind == CellKind::Empty && style < 0))
        return {};
    std::string open = "<" + p + "c r=\"" + ref + "\"" + s;
    const CellValue& v = cell->value;
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

bool PatchSheet(const Sheet& sheet, const Sheet& original, const std::string& xml, const std::string& part,
                StyleTable& styles, SheetPatch& out, std::string& error)
{
    Layout layout({"sheetData", "row", "c"});
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
    if (!sheetData) {
        error = part + ": the sheet has no cell data";
        return false;
    }
    const std::string p = sheetData->prefix;

    // The formats of changed cells and rows, and the row tags that change.
    auto styleOf = [&](int row, int column, const Element* existing, long long& style) {
        const Cell* cell = sheet.Find(row, column);
        bool bold = (cell && cell->bold) || sheet.RowBold(row);
        std::u16string format = cell ? cell->numberFormat : std::u16string();
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
    out.xml = Apply(xml, std::move(edits));
    return true;
}

// ---- the package ------------------------------------------------------------

std::string WorkbookPartOf(Package& package, std::string& error)
{
    Relationships root;
    if (!ReadRelationships(package, "", root, error))
        return {};
    for (const auto& [id, relationship] : root)
        if (TypeIs(relationship, "officeDocument") && !relationship.external)
            return relationship.target;
    return "xl/workbook.xml";
}

// What the patch cannot carry over: the caller refuses the save instead.
std::string Unsupported(const Workbook& book, const Workbook& original)
{
    if (book.sheetsChanged || book.sheets.size() != original.sheets.size())
        return "sheets were added or removed";
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const Sheet& sheet = *book.sheets[i];
        if (sheet.Origin().empty() || sheet.Origin() != original.sheets[i]->Origin())
            return "sheets were added or moved";
        if (sheet.Renamed() && sheet.Name() != original.sheets[i]->Name())
            return "a sheet was renamed";
        if (sheet.WidthsChanged() && sheet.ColumnWidths() != original.sheets[i]->ColumnWidths())
            return "column widths changed";
        for (const auto& [row, column] : sheet.ChangedCells()) {
            const Cell* now = sheet.Find(row, column);
            const Cell* was = original.sheets[i]->Find(row, column);
            auto comment = [](const Cell* c) { return c ? c->comment : std::nullopt; };
            if (comment(now) != comment(was))
                return "comments changed";
        }
    }
    return {};
}

bool Rebuild(const std::string& source, const std::map<std::string, std::string>& replaced, bool dropCalcChain,
             std::string& out, std::string& error)
{
    zip_error_t zerr;
    zip_error_init(&zerr);
    std::string bytes = source;
    zip_source_t* buffer = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zerr);
    zip_t* archive = buffer ? zip_open_from_source(buffer, 0, &zerr) : nullptr;
    if (!archive) {
        if (buffer)
            zip_source_free(buffer);
        error = std::string("cannot reopen the workbook: ") + zip_error_strerror(&zerr);
        zip_error_fini(&zerr);
        return false;
    }
    zip_error_fini(&zerr);
    zip_source_keep(buffer);
    bool ok = true;
    for (const auto& [name, data] : replaced) {
        zip_source_t* part = zip_source_buffer(archive, data.data(), data.size(), 0);
        if (!part || zip_file_add(archive, name.c_str(), part, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (part)
                zip_source_free(part);
            ok = false;
        }
    }
    if (dropCalcChain) {
        zip_int64_t index = zip_name_locate(archive, "xl/calcChain.xml", 0);
        if (index >= 0)
            zip_delete(archive, static_cast<zip_uint64_t>(index));
    }
    if (!ok || zip_close(archive) != 0) {
        error = std::string("cannot write the workbook: ") + zip_strerror(archive);
        zip_discard(archive);
        zip_source_free(buffer);
        return false;
    }
    if (zip_source_open(buffer) != 0) {
        zip_source_free(buffer);
        error = "cannot write the workbook";
        return false;
    }
    zip_source_seek(buffer, 0, SEEK_END);
    zip_int64_t size = zip_source_tell(buffer);
    zip_source_seek(buffer, 0, SEEK_SET);
    out.assign(static_cast<std::size_t>(std::max<zip_int64_t>(size, 0)), '\0');
    zip_int64_t read = zip_source_read(buffer, out.data(), out.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
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
        if (!package.Has(partName))
            return;
        auto xml = package.Read(partName, error);
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
    std::string workbookPart = WorkbookPartOf(package, error);
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

    std::map<std::string, std::string> replaced;
    bool formulaReplaced = false;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const Sheet& sheet = *book.sheets[i];
        if (sheet.ChangedCells().empty() && sheet.ChangedRows().empty())
            continue;
        auto xml = package.Read(sheet.Origin(), error);
        SheetPatch patch;
        if (!xml || !PatchSheet(sheet, *original->sheets[i], *xml, sheet.Origin(), styles, patch, error))
            return false;
        replaced[sheet.Origin()] = std::move(patch.xml);
        formulaReplaced = formulaReplaced || patch.formulaReplaced;
    }
    if (styles.Changed())
        replaced[styles.Part()] = styles.Patched();
    if (formulaReplaced) {
        ForgetCalcChain(package, workbookPart, replaced, error);
        if (!error.empty())
            return false;
    }
    return Rebuild(source, replaced, formulaReplaced, out, error);
}

} // namespace excelsim::xlsx
