// Saving a workbook opened from a file over a copy of that file's package,
// so that what the model does not hold (formulas, merged cells, styles,
// drawings, further parts) is kept. See xlsx_patch.cpp.
#pragma once
#include "sheet_model.h"

#include <string>

namespace excelsim::xlsx {

// The bytes of the patched package; false with `error` set when the changes
// cannot be carried over without losing content (new or renamed sheets,
// changed column widths or comments), or the file cannot be read again.
bool PatchXlsx(const Workbook& book, std::string& out, std::string& error);

} // namespace excelsim::xlsx
