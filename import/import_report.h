// What one Import run did, told on the command line when it ends: rows read,
// references changed, the cells that could not be read, and the worksheets
// that held no row of an export at all.
#pragma once
#include <string>
#include <vector>

class ImportReport {
public:
    // How many unreadable cells the line names; the count covers them all.
    static constexpr std::size_t kCellsNamed = 5;

    void RowRead() { ++m_rowsRead; }
    void ReferenceChanged(const std::string& handle);
    void CellUnreadable(const std::string& sheet, long row, long column);
    void SheetWithoutHandles(const std::string& sheet) { m_sheetsWithoutHandles.push_back(sheet); }

    // The one line, from the resource texts.
    std::string Line() const;

private:
    // How many distinct references changed.
    std::size_t ChangedCount() const;

    long m_rowsRead = 0;
    // Handle texts as they came, counted once each when the line is told:
    // a hash set of a hundred thousand handles cost more than the rest of
    // the row's bookkeeping, and nothing asks for the count before the end.
    std::vector<std::string> m_changed;
    long m_unreadable = 0;
    std::vector<std::string> m_named; // the first few, as Sheet!A1
    std::vector<std::string> m_sheetsWithoutHandles;
};

// A cell's address as the spreadsheet program writes it in a reference:
// Sheet1!B3, or 'My sheet'!B3 when the name needs quoting.
std::string CellAddress(const std::string& sheet, long row, long column);
