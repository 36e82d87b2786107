// Parser of one worksheet part: cell values and formats, bold rows, column widths.
#pragma once
#include "xlsx_parts.h"
#include "xlsx_xml.h"

#include <functional>

namespace excelsim::xlsx {

bool ParseSheet(const std::string& xml, const std::string& partName, const std::vector<std::u16string>& strings,
                const Styles& styles, Sheet& sheet, std::size_t& cellBudget, std::string& error);
// The same, the part's text coming in pieces (Package::ReadInPieces): the
// cells go into the sheet as they are parsed, never the whole text at once.
bool ParseSheetInPieces(const std::function<bool(const XmlPieces&)>& read, const std::string& partName,
                        const std::vector<std::u16string>& strings, const Styles& styles, Sheet& sheet,
                        std::size_t& cellBudget, std::string& error);

} // namespace excelsim::xlsx
