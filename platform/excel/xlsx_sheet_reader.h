// Parser of one worksheet part: cell values and formats, bold rows, column widths.
#pragma once
#include "xlsx_parts.h"

namespace excelsim::xlsx {

bool ParseSheet(const std::string& xml, const std::string& partName, const std::vector<std::u16string>& strings,
                const Styles& styles, Sheet& sheet, std::size_t& cellBudget, std::string& error);

} // namespace excelsim::xlsx
