// .xlsx files of the spreadsheet stand-in: saving with a streaming writer of
// its own (zlib), opening with libzip and expat. Opening enforces hard
// limits (xlsx_limits.h) so that a damaged or hostile file ends in a clear
// error, never in a crash or in unbounded memory; a file that fails opens
// nothing.
#pragma once
#include "sheet_model.h"

#include <functional>
#include <memory>
#include <string>

namespace excelsim {

// Writes the whole model as a new package.
bool WriteXlsx(const Workbook& book, const std::string& path, std::string& error);

enum class SaveResult { Failed, Written, Unchanged };
// Saves as the user's program does: a new workbook in full; one opened from
// a file over a copy of that file's package, changing only what changed
// (xlsx_patch.h); an opened workbook nothing changed is not written over its
// own file at all (Unchanged) and is copied as it is anywhere else.
SaveResult SaveXlsx(Workbook& book, const std::string& path, std::string& error);

// Replaces `path` with what `write` puts in a fresh file beside it, keeping
// the permissions of the file replaced and writing through a symbolic link.
bool ReplaceFile(const std::string& path, const std::function<bool(const std::string&, std::string&)>& write,
                 std::string& error);
// The workbook is named after the file's name ("data.xlsx").
std::shared_ptr<Workbook> ReadXlsx(const std::string& path, std::string& error);
// The same from bytes in memory (the fuzz target's entry).
std::shared_ptr<Workbook> ReadXlsxFromMemory(const void* data, std::size_t size, const std::u16string& name,
                                             std::string& error);

} // namespace excelsim
