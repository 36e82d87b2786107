// .xlsx files of the spreadsheet stand-in: saving with libxlsxwriter, opening
// with libzip and expat. Opening enforces hard limits (xlsx_limits.h) so that
// a damaged or hostile file ends in a clear error, never in a crash or in
// unbounded memory; a file that fails opens nothing.
#pragma once
#include "sheet_model.h"

#include <memory>
#include <string>

namespace excelsim {

bool WriteXlsx(const Workbook& book, const std::string& path, std::string& error);
// The workbook is named after the file's name ("data.xlsx").
std::shared_ptr<Workbook> ReadXlsx(const std::string& path, std::string& error);
// The same from bytes in memory (the fuzz target's entry).
std::shared_ptr<Workbook> ReadXlsxFromMemory(const void* data, std::size_t size, const std::u16string& name,
                                             std::string& error);

} // namespace excelsim
