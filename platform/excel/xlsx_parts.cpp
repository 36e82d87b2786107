#include "xlsx_parts.h"

#include "xlsx_limits.h"
#include "xlsx_sheet_scanner.h"
#include "xlsx_text.h"
#include "xlsx_xml.h"

#include <charconv>
#include <unordered_map>

namespace excelsim::xlsx {

bool TypeIs(const Relationship& relationship, const char* kind)
{
    std::string suffix = std::string("/") + kind;
    const std::string& type = relationship.type;
    return type.size() >= suffix.size() && type.compare(type.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool ParseCount(const std::string& text, long long& out)
{
    auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool ParseCellReference(const std::string& text, int& row, int& column)
{
    std::size_t i = 0;
    long col = 0;
    while (i < text.size() && text[i] >= 'A' && text[i] <= 'Z' && i < 3)
        col = col * 26 + (text[i++] - 'A' + 1);
    if (i == 0 || col > kMaxColumns)
        return false;
    long long r = 0;
    if (i == text.size() || text.size() - i > 7 || !ParseCount(text.substr(i), r) || r < 1 || r > kMaxRows)
        return false;
    row = static_cast<int>(r);
    column = static_cast<int>(col);
    return true;
}

namespace {

class RelationshipsHandler : public XmlHandler {
public:
    RelationshipsHandler(const std::string& sourcePart, Relationships& out) : source_(sourcePart), out_(out) {}
    void Start(const std::string& name, const XmlAttributes& a) override
    {
        if (name != "Relationship")
            return;
        if (out_.size() >= static_cast<std::size_t>(kMaxEntries)) {
            Fail("too many relationships");
            return;
        }
        Relationship r;
        r.type = a.Get("Type");
        r.external = a.Get("TargetMode") == "External";
        r.target = r.external ? a.Get("Target") : ResolvePartName(source_, a.Get("Target"));
        out_[a.Get("Id")] = std::move(r);
    }
    void End(const std::string&) override {}

private:
    std::string source_;
    Relationships& out_;
};

class WorkbookHandler : public XmlHandler {
public:
    explicit WorkbookHandler(WorkbookPart& out) : out_(out) {}
    void Start(const std::string& name, const XmlAttributes& a) override
    {
        if (name == std::string_view("sheet")) {
            if (out_.sheets.size() >= kMaxSheets) {
                Fail("too many sheets");
                return;
            }
            out_.sheets.push_back({Utf16(a.Get("name")), a.Get("id")});
        } else if (name == std::string_view("workbookView") && !seenView_) {
            seenView_ = true; // the first view is the one the program opens with
            long long tab = 0;
            if (ParseCount(a.Get("activeTab", "0"), tab) && tab >= 0)
                out_.activeTab = static_cast<std::size_t>(tab);
        }
    }
    void End(const std::string&) override {}

private:
    WorkbookPart& out_;
    bool seenView_ = false;
};

class SharedStringsHandler : public XmlHandler {
public:
    explicit SharedStringsHandler(std::vector<std::u16string>& out) : out_(out) {}
    void Start(const std::string& name, const XmlAttributes&) override
    {
        if (name == std::string_view("si")) {
            if (out_.size() >= kMaxSharedStrings)
                Fail("too many shared strings");
            inItem_ = true;
        } else if (inItem_) {
            text_.Start(name);
        }
    }
    void End(const std::string& name) override
    {
        if (name == std::string_view("si")) {
            std::u16string text = text_.Take();
            if (text.size() > kMaxTextChars)
                Fail("a shared string is too long");
            out_.push_back(std::move(text));
            inItem_ = false;
        } else if (inItem_) {
            text_.End(name);
        }
    }
    void Text(const char* text, int length) override
    {
        if (inItem_ && !text_.Text(text, length))
            Fail("a shared string is too long");
    }

private:
    std::vector<std::u16string>& out_;
    TextCollector text_;
    bool inItem_ = false;
};

class StylesHandler : public XmlHandler {
public:
    explicit StylesHandler(Styles& out) : out_(out) {}
    void Start(const std::string& name, const XmlAttributes& a) override
    {
        if (name == std::string_view("numFmt")) {
            long long id = 0;
            if (ParseCount(a.Get("numFmtId"), id) && formats_.size() < kMaxStyles)
                formats_[id] = Utf16(a.Get("formatCode"));
        } else if (name == std::string_view("fonts") || name == std::string_view("cellXfs")) {
            section_ = name;
        } else if (name == std::string_view("font") && section_ == "fonts") {
            if (fontBold_.size() >= kMaxStyles)
                Fail("too many fonts");
            fontBold_.push_back(false);
        } else if (name == std::string_view("b") && section_ == "fonts" && !fontBold_.empty()) {
            std::string on = a.Get("val", "1");
            fontBold_.back() = on != "0" && on != "false";
        } else if (name == std::string_view("xf") && section_ == "cellXfs") {
            if (out_.bold.size() >= kMaxStyles) {
                Fail("too many cell formats");
                return;
            }
            long long font = 0, format = 0;
            ParseCount(a.Get("fontId", "0"), font);
            ParseCount(a.Get("numFmtId", "0"), format);
            out_.bold.push_back(font >= 0 && static_cast<std::size_t>(font) < fontBold_.size() &&
                                fontBold_[static_cast<std::size_t>(font)]);
            out_.numberFormat.push_back(FormatText(format));
        }
    }
    void End(const std::string& name) override
    {
        if (name == section_)
            section_.clear();
    }

private:
    std::u16string FormatText(long long id) const
    {
        if (id == 49)
            return u"@"; // the built-in text format
        auto it = formats_.find(id);
        if (it == formats_.end() || it->second == u"General")
            return {};
        return it->second;
    }

    Styles& out_;
    std::string section_;
    std::vector<bool> fontBold_;
    std::unordered_map<long long, std::u16string> formats_;
};

class CommentsHandler : public XmlHandler {
public:
    CommentsHandler(Sheet& sheet, std::size_t& budget) : sheet_(sheet), budget_(budget) {}
    void Start(const std::string& name, const XmlAttributes& a) override
    {
        if (name == std::string_view("comment")) {
            if (!ParseCellReference(a.Get("ref"), row_, column_))
                Fail("a comment names no cell of the grid");
            inComment_ = true;
        } else if (inComment_) {
            text_.Start(name);
        }
    }
    void End(const std::string& name) override
    {
        if (name == std::string_view("comment")) {
            std::u16string text = text_.Take();
            if (budget_ == 0) {
                Fail("too many cells");
                return;
            }
            --budget_;
            sheet_.Update(row_, column_, [&](CellEdit& cell) { cell.SetComment(text); });
            inComment_ = false;
        } else if (inComment_) {
            text_.End(name);
        }
    }
    void Text(const char* text, int length) override
    {
        if (inComment_ && !text_.Text(text, length))
            Fail("a comment is too long");
    }

private:
    Sheet& sheet_;
    std::size_t& budget_;
    TextCollector text_;
    bool inComment_ = false;
    int row_ = 1, column_ = 1;
};

} // namespace

bool ReadRelationships(Package& package, const std::string& part, Relationships& out, std::string& error)
{
    std::string relsPart = RelationshipsPartOf(part);
    if (part.empty())
        relsPart = "_rels/.rels";
    if (!package.Has(relsPart))
        return true;
    auto xml = package.Read(relsPart, error);
    if (!xml)
        return false;
    RelationshipsHandler handler(part, out);
    return ParseXml(*xml, relsPart, handler, error);
}

std::string OfficeDocumentPart(Package& package, std::string& error)
{
    Relationships root;
    if (!ReadRelationships(package, "", root, error))
        return {};
    for (const auto& [id, relationship] : root)
        if (TypeIs(relationship, "officeDocument") && !relationship.external)
            return relationship.target;
    return "xl/workbook.xml";
}

bool ParseWorkbookPart(const std::string& xml, const std::string& partName, WorkbookPart& out, std::string& error)
{
    WorkbookHandler handler(out);
    return ParseXml(xml, partName, handler, error);
}

bool ParseSharedStrings(const std::string& xml, const std::string& partName, std::vector<std::u16string>& out,
                        std::string& error)
{
    SharedStringsHandler handler(out);
    return ParseXml(xml, partName, handler, error);
}

bool ParseStyles(const std::string& xml, const std::string& partName, Styles& out, std::string& error)
{
    StylesHandler handler(out);
    return ParseXml(xml, partName, handler, error);
}

bool ParseComments(const std::string& xml, const std::string& partName, Sheet& sheet, std::size_t& cellBudget,
                   std::string& error)
{
    // An exported sheet has a comment on every row, so its comments part is
    // nearly as large as the sheet: it takes the sheet's scanner, not expat.
    CommentsHandler handler(sheet, cellBudget);
    if (DeclaresOtherEncoding(std::string_view(xml).substr(0, 256)))
        return ParseXml(xml, partName, handler, error);
    return ScanXmlInPieces(
        [&](const XmlPieces& feed) {
            feed(xml.data(), xml.size());
            return true;
        },
        partName, handler, error);
}

} // namespace excelsim::xlsx
