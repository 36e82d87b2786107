// Parsers of the .xlsx parts other than the sheets themselves.
#pragma once
#include "sheet_model.h"
#include "xlsx_package.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace excelsim::xlsx {

struct Relationship {
    std::string type;   // the type URI
    std::string target; // resolved part name
    bool external = false;
};
using Relationships = std::unordered_map<std::string, Relationship>;

bool TypeIs(const Relationship& relationship, const char* kind); // "worksheet", "comments", ...

// A missing relationships part is no error: the part simply has none.
bool ReadRelationships(Package& package, const std::string& part, Relationships& out, std::string& error);

// The package's workbook part, as its root relationships name it; the usual
// name when they name none. Empty when the relationships cannot be read.
std::string OfficeDocumentPart(Package& package, std::string& error);

struct WorkbookPart {
    struct SheetEntry {
        std::u16string name;
        std::string relationshipId;
    };
    std::vector<SheetEntry> sheets;
    std::size_t activeTab = 0;
};
bool ParseWorkbookPart(const std::string& xml, const std::string& partName, WorkbookPart& out, std::string& error);

bool ParseSharedStrings(const std::string& xml, const std::string& partName, std::vector<std::u16string>& out,
                        std::string& error);

// Per cell format (the "s" index of a cell): bold and number format.
struct Styles {
    std::vector<bool> bold;
    std::vector<std::u16string> numberFormat; // empty: General
};
bool ParseStyles(const std::string& xml, const std::string& partName, Styles& out, std::string& error);

bool ParseComments(const std::string& xml, const std::string& partName, Sheet& sheet, std::size_t& cellBudget,
                   std::string& error);

// "B3" (no $) to row and column inside the grid.
bool ParseCellReference(const std::string& text, int& row, int& column);
bool ParseCount(const std::string& text, long long& out);

} // namespace excelsim::xlsx
