#include "xlsx_sheet_reader.h"

#include "xlsx_limits.h"
#include "xlsx_sheet_scanner.h"
#include "xlsx_text.h"
#include "xlsx_xml.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace excelsim::xlsx {
namespace {

bool IsTrue(const std::string& text) { return text == "1" || text == "true"; }

class SheetHandler : public XmlHandler {
public:
    SheetHandler(const std::vector<std::u16string>& strings, const Styles& styles, Sheet& sheet, std::size_t& budget)
        : strings_(strings), styles_(styles), sheet_(sheet), budget_(budget)
    {
    }

    void Start(const std::string& name, const XmlAttributes& a) override
    {
        if (name == std::string_view("row")) {
            StartRow(a);
        } else if (name == std::string_view("c")) {
            StartCell(a);
        } else if (inCell_ && (name == std::string_view("v") || name == std::string_view("f"))) {
            inValue_ = name == std::string_view("v");
            hasValue_ = hasValue_ || name == std::string_view("v");
            hasFormula_ = hasFormula_ || name == std::string_view("f");
        } else if (inCell_ && name == std::string_view("is")) {
            inInline_ = true;
        } else if (inInline_) {
            inlineText_.Start(name);
        } else if (name == std::string_view("col")) {
            StartColumn(a);
        }
    }

    void End(const std::string& name) override
    {
        if (name == std::string_view("c") && inCell_) {
            EndCell();
        } else if (name == std::string_view("v")) {
            inValue_ = false;
        } else if (name == std::string_view("is")) {
            inInline_ = false;
        } else if (inInline_) {
            inlineText_.End(name);
        }
    }

    void Text(const char* text, int length) override
    {
        if (inValue_) {
            value_.append(text, static_cast<std::size_t>(length));
            if (value_.size() > kMaxEscapedTextBytes)
                Fail("a cell value is too long");
        } else if (inInline_ && !inlineText_.Text(text, length)) {
            Fail("a cell text is too long");
        }
    }

private:
    // Style index to bold and number format; an unknown index is the default.
    void Style(const std::string& index, bool& bold, std::u16string& format) const
    {
        long long s = 0;
        bold = false;
        format.clear();
        if (!index.empty() && ParseCount(index, s) && s >= 0 && static_cast<std::size_t>(s) < styles_.bold.size()) {
            bold = styles_.bold[static_cast<std::size_t>(s)];
            format = styles_.numberFormat[static_cast<std::size_t>(s)];
        }
    }

    void StartRow(const XmlAttributes& a)
    {
        long long r = row_ + 1;
        if (const std::string* text = a.Find("r"); text && !ParseCount(*text, r)) {
            Fail("a row has a bad number");
            return;
        }
        if (r < 1 || r > kMaxRows) {
            Fail("a row lies beyond the grid");
            return;
        }
        row_ = static_cast<int>(r);
        column_ = 0;
        bool bold = false;
        std::u16string format;
        if (IsTrue(a.Get("customFormat")))
            Style(a.Get("s"), bold, format);
        sheet_.SetRowBold(row_, bold);
    }

    void StartCell(const XmlAttributes& a)
    {
        int row = row_ == 0 ? 1 : row_, column = column_ + 1;
        if (const std::string* ref = a.Find("r")) {
            if (!ParseCellReference(*ref, row, column)) {
                Fail("a cell lies beyond the grid");
                return;
            }
        } else if (column > kMaxColumns) {
            Fail("a cell lies beyond the grid");
            return;
        }
        row_ = row;
        column_ = column;
        const std::string* type = a.Find("t");
        type_.assign(type ? *type : std::string_view("n"));
        // Most cells of a sheet share a style: the last one is reused.
        const std::string* style = a.Find("s");
        const std::string_view styleText = style ? std::string_view(*style) : std::string_view();
        if (!styled_ || styleText != styleText_) {
            styleText_.assign(styleText);
            Style(styleText_, bold_, format_);
            styled_ = true;
        }
        value_.clear();
        hasFormula_ = false;
        hasValue_ = false;
        inCell_ = true;
    }

    void EndCell()
    {
        inCell_ = false;
        CellValue value;
        if (hasFormula_ && !hasValue_) {
            // A formula saved without its result: the value is unknown, not
            // empty. The program would calculate it; the stand-in cannot, so
            // the cell reads as #N/A, which no caller can take for a text or
            // a number.
            value.kind = CellKind::Error;
            value.error = ErrorValueFromText(u"#N/A");
        } else if (type_ == "s") {
            long long index = -1;
            if (!ParseCount(value_, index) || index < 0 || static_cast<std::size_t>(index) >= strings_.size()) {
                Fail("a cell names a shared string that does not exist");
                return;
            }
            value.kind = CellKind::Text;
            value.text = strings_[static_cast<std::size_t>(index)];
        } else if (type_ == "inlineStr") {
            value.kind = CellKind::Text;
            value.text = inlineText_.Take();
        } else if (type_ == "b") {
            value.kind = CellKind::Boolean;
            value.boolean = value_ == "1" || value_ == "true";
        } else if (type_ == "e") {
            value.kind = CellKind::Error;
            value.error = ErrorValueFromText(Utf16(value_));
            if (!value.error)
                value.error = ErrorValueFromText(u"#VALUE!");
        } else if (type_ == "str" || type_ == "d") {
            std::u16string text = UnescapeText(Utf16(value_));
            SCODE error = hasFormula_ ? ErrorValueFromText(text) : 0;
            value.kind = error ? CellKind::Error : CellKind::Text;
            value.error = error;
            if (!error)
                value.text = std::move(text);
        } else if (!value_.empty()) {
            value.kind = CellKind::Number;
            auto result = std::from_chars(value_.data(), value_.data() + value_.size(), value.number);
            if (result.ec != std::errc() || result.ptr != value_.data() + value_.size()) {
                Fail("a cell holds a bad number");
                return;
            }
        }
        if (value.kind == CellKind::Text) {
            if (value.text.size() > kMaxTextChars) {
                Fail("a cell text is too long");
                return;
            }
            if (value.text.empty())
                value = CellValue{};
        }
        if (budget_ == 0) {
            Fail("the workbook has too many cells");
            return;
        }
        --budget_;
        bool formatKept = true;
        sheet_.Update(row_, column_, [&](CellEdit& cell) {
            cell.SetValue(value);
            formatKept = cell.SetNumberFormat(format_);
            cell.SetBold(bold_ && !sheet_.RowBold(row_));
        });
        if (!formatKept)
            Fail("a sheet uses more distinct number formats than a sheet can hold");
    }

    void StartColumn(const XmlAttributes& a)
    {
        long long first = 0, last = 0;
        double width = 0;
        std::string widthText = a.Get("width");
        if (!ParseCount(a.Get("min"), first) || !ParseCount(a.Get("max"), last) || widthText.empty())
            return;
        auto result = std::from_chars(widthText.data(), widthText.data() + widthText.size(), width);
        if (result.ec != std::errc() || !IsTrue(a.Get("customWidth")) || width <= 0 || width > 255)
            return;
        // The file holds the width with the cell margin of 5 pixels (of 7 per
        // character) added; the program shows it without.
        double characters = std::max(0.0, std::round((width - 5.0 / 7.0) * 100.0) / 100.0);
        for (long long c = std::max(1LL, first); c <= std::min<long long>(last, kMaxColumns); ++c)
            sheet_.SetColumnWidth(static_cast<int>(c), characters);
    }

    const std::vector<std::u16string>& strings_;
    const Styles& styles_;
    Sheet& sheet_;
    std::size_t& budget_;
    int row_ = 0;
    int column_ = 0;
    bool inCell_ = false, inValue_ = false, inInline_ = false, hasFormula_ = false, hasValue_ = false, bold_ = false;
    std::string type_;
    std::string styleText_;
    bool styled_ = false;
    std::string value_;
    std::u16string format_;
    TextCollector inlineText_;
};

} // namespace

bool ParseSheet(const std::string& xml, const std::string& partName, const std::vector<std::u16string>& strings,
                const Styles& styles, Sheet& sheet, std::size_t& cellBudget, std::string& error)
{
    return ParseSheetInPieces(
        [&](const XmlPieces& feed) {
            feed(xml.data(), xml.size());
            return true;
        },
        partName, strings, styles, sheet, cellBudget, error);
}

bool ParseSheetInPieces(const std::function<bool(const XmlPieces&)>& read, const std::string& partName,
                        const std::vector<std::u16string>& strings, const Styles& styles, Sheet& sheet,
                        std::size_t& cellBudget, std::string& error)
{
    // The sheet parts hold nearly all of a workbook's bytes: they go
    // through the dedicated scanner, the other parts through expat. The
    // scanner reads UTF-8 only, which is what writers of the format
    // produce; a sheet in another encoding (UTF-16, Latin-1) is still read,
    // through expat, which gives the same events. The start of the part
    // tells which.
    std::string head;
    bool peeked = false;
    read([&](const char* data, std::size_t size) {
        head.append(data, std::min<std::size_t>(size, 256 - head.size()));
        peeked = true;
        return head.size() < 256;
    });
    SheetHandler handler(strings, styles, sheet, cellBudget);
    if (peeked && DeclaresOtherEncoding(head))
        return ParseXmlInPieces(read, partName, handler, error);
    return ScanXmlInPieces(read, partName, handler, error);
}

} // namespace excelsim::xlsx
