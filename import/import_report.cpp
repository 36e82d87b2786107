#include "import/import_report.h"

#include "common/resource_strings.h"
#include "res/resource.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

std::string ColumnLetters(long column)
{
    // Column letters count in base 26 without a zero: A..Z, AA..AZ, ...
    constexpr long kLetters = 26;
    std::string letters;
    for (; column > 0; column = (column - 1) / kLetters)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % kLetters));
    return letters;
}

// Names of letters, digits and underscores, not starting with a digit, stand
// bare in a reference; any other is quoted, its apostrophes doubled.
bool NeedsQuotes(const std::string& sheet)
{
    if (sheet.empty() || std::isdigit(static_cast<unsigned char>(sheet.front())))
        return true;
    for (char c : sheet)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return true;
    return false;
}

} // namespace

std::string CellAddress(const std::string& sheet, long row, long column)
{
    std::string name = sheet;
    if (NeedsQuotes(sheet)) {
        name = "'";
        for (char c : sheet)
            name += c == '\'' ? std::string("''") : std::string(1, c);
        name += "'";
    }
    return name + "!" + ColumnLetters(column) + std::to_string(row);
}

void ImportReport::CellUnreadable(const std::string& sheet, long row, long column)
{
    ++m_unreadable;
    if (m_named.size() < kCellsNamed)
        m_named.push_back(CellAddress(sheet, row, column));
}

void ImportReport::ReferenceChanged(const std::string& handle)
{
    // A reference on several sheets, or twice on one, is still one reference.
    if (m_changed.empty() || m_changed.back() != handle)
        m_changed.push_back(handle);
}

std::size_t ImportReport::ChangedCount() const
{
    std::vector<std::string_view> handles(m_changed.begin(), m_changed.end());
    std::sort(handles.begin(), handles.end());
    return static_cast<std::size_t>(std::unique(handles.begin(), handles.end()) - handles.begin());
}

std::string ImportReport::Line() const
{
    std::string line = FormatResource(IDS_IMPORT_SUMMARY, {std::to_string(m_rowsRead), std::to_string(ChangedCount())});
    if (m_unreadable > 0) {
        std::string cells = Joined(m_named);
        if (static_cast<std::size_t>(m_unreadable) > m_named.size())
            cells += ResourceString(IDS_IMPORT_MORE_CELLS);
        line += FormatResource(IDS_IMPORT_UNREADABLE, {std::to_string(m_unreadable), cells});
    }
    if (!m_sheetsWithoutHandles.empty())
        line += FormatResource(IDS_IMPORT_NO_HANDLES, {Joined(m_sheetsWithoutHandles)});
    return line;
}
