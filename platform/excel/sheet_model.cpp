#include "sheet_model.h"

#include "codepage.h"
#include "oleauto.h"
#include "xlsx_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

namespace excelsim {

namespace {

// Fixed or scientific text of `number`, '.' as separator, "E+05" exponents.
std::string Fixed(double number, int decimals)
{
    char buffer[400];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed, decimals).ptr;
    std::string text(buffer, end);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

std::string Scientific(double number, int decimals)
{
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::scientific, decimals).ptr;
    std::string text(buffer, end);
    std::size_t e = text.find('e');
    std::string mantissa = text.substr(0, e), exponent = text.substr(e + 1);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0')
            mantissa.pop_back();
        if (mantissa.back() == '.')
            mantissa.pop_back();
    }
    char sign = exponent[0];
    std::string digits = exponent.substr(1);
    while (digits.size() > 2 && digits[0] == '0')
        digits.erase(0, 1);
    return mantissa + "E" + sign + digits;
}

char16_t Fold(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 32);
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F) || (c >= 0x391 && c <= 0x3A9))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 80);
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return static_cast<char16_t>(c | 1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return static_cast<char16_t>((c & 1) ? c + 1 : c);
    if (c == 0x178)
        return 0xFF;
    return c;
}

const std::vector<std::pair<SCODE, const char16_t*>>& ErrorTexts()
{
    static const std::vector<std::pair<SCODE, const char16_t*>> texts = {
        {static_cast<SCODE>(0x800A07D0), u"#NULL!"}, {static_cast<SCODE>(0x800A07D7), u"#DIV/0!"},
        {static_cast<SCODE>(0x800A07DF), u"#VALUE!"}, {static_cast<SCODE>(0x800A07E7), u"#REF!"},
        {static_cast<SCODE>(0x800A07ED), u"#NAME?"}, {static_cast<SCODE>(0x800A07F4), u"#NUM!"},
        {static_cast<SCODE>(0x800A07FA), u"#N/A"},
    };
    return texts;
}

} // namespace

// The General format shows at most 11 characters: as many decimals as fit,
// scientific notation when the integer part alone does not.
std::u16string GeneralNumberText(double number)
{
    std::string text;
    if (number == 0.0 || !std::isfinite(number)) {
        text = number == 0.0 ? "0" : "#NUM!";
    } else {
        double magnitude = std::fabs(number);
        if (magnitude < 1e11) {
            for (int decimals = 10; decimals >= 0; --decimals) {
                std::string candidate = Fixed(number, decimals);
                if (candidate.size() <= 11) {
                    if (candidate != "0" && candidate != "-0")
                        text = candidate;
                    break;
                }
            }
        }
        if (text.empty()) {
            for (int decimals = 5; decimals >= 0; --decimals) {
                text = Scientific(number, decimals);
                if (text.size() <= 11)
                    break;
            }
        }
    }
    std::u16string out;
    for (char c : text)
        out.push_back(c == '.' ? GetUserDecimalSeparator() : static_cast<char16_t>(c));
    return out;
}

std::u16string ErrorValueText(SCODE error)
{
    for (const auto& [code, text] : ErrorTexts())
        if (code == error)
            return text;
    return u"#VALUE!";
}

SCODE ErrorValueFromText(const std::u16string& text)
{
    for (const auto& [code, name] : ErrorTexts())
        if (text == name)
            return code;
    return 0;
}

std::u16string DisplayedText(const CellValue& value)
{
    switch (value.kind) {
    case CellKind::Number:
        return GeneralNumberText(value.number);
    case CellKind::Text:
        return value.text;
    case CellKind::Boolean:
        return value.boolean ? u"TRUE" : u"FALSE";
    case CellKind::Error:
        return ErrorValueText(value.error);
    case CellKind::Empty:
        break;
    }
    return {};
}

bool SameName(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

std::size_t DisplayedLength(const CellValue& value)
{
    switch (value.kind) {
    case CellKind::Text:
        return value.text.size();
    case CellKind::Boolean:
        return value.boolean ? 4 : 5;
    case CellKind::Empty:
        return 0;
    case CellKind::Number:
    case CellKind::Error:
        break;
    }
    return DisplayedText(value).size();
}

std::size_t DisplayedLength(const PackedCell& cell)
{
    switch (cell.kind) {
    case CellKind::Text:
        return cell.length;
    case CellKind::Boolean:
        return cell.payload ? 4 : 5;
    case CellKind::Empty:
        return 0;
    case CellKind::Number:
        return GeneralNumberText(std::bit_cast<double>(cell.payload)).size();
    case CellKind::Error:
        return ErrorValueText(static_cast<SCODE>(static_cast<std::uint32_t>(cell.payload))).size();
    }
    return 0;
}

std::u16string DisplayedText(const Cell& cell)
{
    if (cell.Kind() == CellKind::Text)
        return std::u16string(cell.Text());
    return DisplayedText(cell.Value());
}

CellValue Cell::Value() const
{
    CellValue value;
    value.kind = Kind();
    switch (value.kind) {
    case CellKind::Number:
        value.number = Number();
        break;
    case CellKind::Text:
        value.text = Text();
        break;
    case CellKind::Boolean:
        value.boolean = Boolean();
        break;
    case CellKind::Error:
        value.error = Error();
        break;
    case CellKind::Empty:
        break;
    }
    return value;
}

void CellEdit::SetValue(const CellValue& value)
{
    PackedCell& cell = Stored();
    CellTextStore& texts = Owner().texts_;
    if (cell.kind == CellKind::Text)
        texts.Drop(cell.length);
    cell.payload = 0;
    cell.length = 0;
    cell.kind = value.kind;
    switch (value.kind) {
    case CellKind::Number:
        cell.payload = std::bit_cast<std::uint64_t>(value.number);
        break;
    case CellKind::Text:
        cell.payload = texts.Add(value.text);
        cell.length = static_cast<std::uint32_t>(value.text.size());
        break;
    case CellKind::Boolean:
        cell.payload = value.boolean ? 1 : 0;
        break;
    case CellKind::Error:
        cell.payload = static_cast<std::uint32_t>(value.error);
        break;
    case CellKind::Empty:
        break;
    }
}

bool CellEdit::SetNumberFormat(std::u16string_view format)
{
    std::uint16_t index = Owner().FormatIndex(format);
    if (index == Sheet::kNoFormat)
        return false;
    Stored().format = index;
    return true;
}

void CellEdit::SetBold(bool bold)
{
    PackedCell& cell = Stored();
    cell.flags = static_cast<std::uint8_t>(bold ? cell.flags | PackedCell::kBold : cell.flags & ~PackedCell::kBold);
}

void CellEdit::SetComment(std::optional<std::u16string_view> comment)
{
    PackedCell& cell = Stored();
    Sheet& sheet = Owner();
    const std::uint64_t key = Sheet::Key(row_, column_);
    if (cell.flags & PackedCell::kCommented) {
        auto it = sheet.comments_.find(key);
        sheet.texts_.Drop(it->second.length);
        if (!comment) {
            sheet.comments_.erase(it);
            cell.flags = static_cast<std::uint8_t>(cell.flags & ~PackedCell::kCommented);
            return;
        }
        // The old text stays readable until the next compaction, which
        // cannot come before this change is done: `comment` may be it.
        it->second = {sheet.texts_.Add(*comment), static_cast<std::uint32_t>(comment->size())};
        return;
    }
    if (!comment)
        return;
    sheet.comments_.emplace(key, Sheet::TextAt{sheet.texts_.Add(*comment), static_cast<std::uint32_t>(comment->size())});
    cell.flags |= PackedCell::kCommented;
}

std::uint16_t Sheet::FormatIndex(std::u16string_view format)
{
    auto it = formatIndex_.find(format);
    if (it != formatIndex_.end())
        return it->second;
    if (formats_.size() >= kMaxNumberFormats)
        return kNoFormat;
    const auto index = static_cast<std::uint16_t>(formats_.size());
    formats_.emplace_back(format);
    formatIndex_.emplace(formats_.back(), index);
    return index;
}

void Sheet::CompactTexts()
{
    CellTextStore fresh;
    for (std::vector<PackedCell>& cells : rows_)
        for (PackedCell& cell : cells)
            if (cell.kind == CellKind::Text && cell.length)
                cell.payload = fresh.Add(texts_.View(cell.payload, cell.length));
    for (auto& [key, at] : comments_)
        if (at.length)
            at.at = fresh.Add(texts_.View(at.at, at.length));
    texts_ = std::move(fresh);
}

void Sheet::DropRepeatedChanges()
{
    std::sort(changedCells_.begin(), changedCells_.end());
    changedCells_.erase(std::unique(changedCells_.begin(), changedCells_.end()), changedCells_.end());
    changedCellsLimit_ = std::max(2 * changedCells_.size(), kMinChangedCellsLimit);
}

std::size_t Sheet::CellBytes() const
{
    std::size_t bytes = rows_.capacity() * sizeof(rows_[0]) + changedCells_.capacity() * sizeof(changedCells_[0]);
    for (const std::vector<PackedCell>& cells : rows_)
        bytes += cells.capacity() * sizeof(PackedCell);
    // A comment's hash node: its key and place, and the link to the next.
    bytes += comments_.size() * (sizeof(std::pair<const std::uint64_t, TextAt>) + sizeof(void*)) +
             comments_.bucket_count() * sizeof(void*);
    for (const std::u16string& format : formats_)
        bytes += sizeof format + format.capacity() * sizeof(char16_t);
    return bytes + texts_.Bytes();
}

void Sheet::TrimRow(int row)
{
    std::vector<PackedCell>& cells = rows_[static_cast<std::size_t>(row) - 1];
    while (!cells.empty() && cells.back().IsBlank())
        cells.pop_back();
    if (cells.empty())
        std::vector<PackedCell>().swap(cells);
    while (!rows_.empty() && rows_.back().empty())
        rows_.pop_back();
}

void Sheet::SetRowBold(int row, bool bold)
{
    changed_ = true;
    changedRows_.insert(row);
    if (bold)
        boldRows_.insert(row);
    else
        boldRows_.erase(row);
}

void Sheet::TrackLength(int column, std::size_t before, std::size_t after)
{
    auto& counts = lengths_[column];
    if (before) {
        auto it = counts.find(before);
        if (it != counts.end() && --it->second == 0)
            counts.erase(it);
    }
    if (after)
        ++counts[after];
    if (counts.empty())
        lengths_.erase(column);
}

std::size_t Sheet::LongestText(int column) const
{
    auto it = lengths_.find(column);
    return it == lengths_.end() || it->second.empty() ? 0 : it->second.rbegin()->first;
}

void Sheet::AutoFit(int firstColumn, int lastColumn)
{
    // Only columns that show text are visited: no walk over the cells.
    for (const auto& [column, counts] : lengths_) {
        if (column < firstColumn || column > lastColumn || counts.empty())
            continue;
        // Width in characters of the standard font, with the program's margin.
        widths_[column] = static_cast<double>(counts.rbegin()->first) + 0.71;
        changed_ = widthsChanged_ = true;
    }
}

std::vector<std::pair<int, int>> Sheet::ChangedCells() const
{
    if (!noteChanges_) {
        std::vector<std::pair<int, int>> out;
        out.reserve(cellCount_);
        ForEachCell([&](int row, int column, const Cell&) { out.emplace_back(row, column); });
        return out;
    }
    std::vector<std::uint64_t> keys = changedCells_;
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::vector<std::pair<int, int>> out;
    out.reserve(keys.size());
    for (std::uint64_t key : keys)
        out.emplace_back(static_cast<int>(key >> 16), static_cast<int>(key & 0xFFFF));
    return out;
}

void Sheet::MarkSaved()
{
    changed_ = renamed_ = widthsChanged_ = false;
    changedCells_.clear();
    changedCellsLimit_ = kMinChangedCellsLimit;
    noteChanges_ = true;
    changedRows_.clear();
}

bool Workbook::Changed() const
{
    if (sheetsChanged)
        return true;
    for (const auto& sheet : sheets)
        if (sheet->Changed())
            return true;
    return false;
}

void Workbook::MarkSaved()
{
    sheetsChanged = false;
    for (const auto& sheet : sheets)
        sheet->MarkSaved();
}

std::optional<double> Sheet::ColumnWidth(int column) const
{
    auto it = widths_.find(column);
    if (it == widths_.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::pair<std::pair<int, int>, Cell>> Sheet::SortedCells() const
{
    std::vector<std::pair<std::pair<int, int>, Cell>> out;
    out.reserve(cellCount_);
    ForEachCell([&](int row, int column, const Cell& cell) { out.push_back({{row, column}, cell}); });
    return out;
}

Sheet* Workbook::FindSheet(const std::u16string& sheetName) const
{
    for (const auto& sheet : sheets)
        if (SameName(sheet->Name(), sheetName))
            return sheet.get();
    return nullptr;
}

SheetNameProblem Workbook::CheckSheetName(const std::u16string& sheetName, const Sheet* renamed) const
{
    if (sheetName.empty())
        return SheetNameProblem::Empty;
    if (sheetName.size() > kMaxSheetNameLength)
        return SheetNameProblem::TooLong;
    for (char16_t c : sheetName)
        if (c == u':' || c == u'\\' || c == u'/' || c == u'?' || c == u'*' || c == u'[' || c == u']')
            return SheetNameProblem::BadCharacter;
    // A sheet name is stored as an XML attribute with no escape of its own:
    // a character XML cannot hold would make the saved workbook unreadable,
    // and a tab or line break would come back as a space.
    for (char16_t c : sheetName)
        if (c < 0x20 || xlsx::NeedsEscape(c))
            return SheetNameProblem::BadCharacter;
    if (xlsx::HasLoneSurrogate(sheetName))
        return SheetNameProblem::BadCharacter;
    if (sheetName.front() == u'\'' || sheetName.back() == u'\'')
        return SheetNameProblem::Apostrophe;
    if (SameName(sheetName, u"History"))
        return SheetNameProblem::Reserved;
    Sheet* other = FindSheet(sheetName);
    if (other && other != renamed)
        return SheetNameProblem::Taken;
    return SheetNameProblem::Ok;
}

std::u16string Workbook::NextSheetName()
{
    for (;;) {
        std::string number = std::to_string(++sheetsCreated);
        std::u16string candidate = u"Sheet" + std::u16string(number.begin(), number.end());
        if (!FindSheet(candidate))
            return candidate;
    }
}

} // namespace excelsim

namespace excelsim {

CellValue EnteredValue(const std::u16string& text, bool textFormat)
{
    CellValue out;
    if (text.empty())
        return out;
    out.kind = CellKind::Text;
    if (textFormat) {
        out.text = text;
        return out;
    }
    if (text.front() == u'\'') {
        out.text = text.substr(1);
        if (out.text.empty())
            out.kind = CellKind::Empty;
        return out;
    }
    if (SCODE error = ErrorValueFromText(text)) {
        out.kind = CellKind::Error;
        out.error = error;
        return out;
    }
    VARIANT in, number;
    VariantInit(&in);
    VariantInit(&number);
    in.vt = VT_BSTR;
    in.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    HRESULT hr = VariantChangeType(&number, &in, 0, VT_R8);
    VariantClear(&in);
    if (SUCCEEDED(hr)) {
        out.kind = CellKind::Number;
        out.number = number.dblVal;
    } else {
        out.text = text;
    }
    return out;
}


std::array<int, 4> Sheet::UsedExtent() const
{
    if (cellCount_ == 0)
        return {1, 1, 1, 1};
    std::array<int, 4> extent{kMaxRows, kMaxColumns, 1, 1};
    ForEachCell([&](int row, int column, const Cell&) {
        extent[0] = std::min(extent[0], row);
        extent[1] = std::min(extent[1], column);
        extent[2] = std::max(extent[2], row);
        extent[3] = std::max(extent[3], column);
    });
    return extent;
}

} // namespace excelsim
