// The workbooks the spreadsheet program holds after a job, as the front end
// needs them: which one an export filled, and what it holds.
#pragma once
#include <excel_app.h>

#include <cstdint>
#include <memory>
#include <string>

namespace gridwell {

struct WorkbookCounts {
    std::uint64_t sheets = 0;
    std::uint64_t rows = 0;       // rows with any cell, headers included
    std::uint64_t references = 0; // rows whose first cell carries a comment (the reference's handle)
    std::uint64_t cells = 0;
};

struct FoundWorkbook {
    std::shared_ptr<excelsim::ExcelApp> app;
    std::u16string name;
    WorkbookCounts counts;
};

// The one workbook the spreadsheet program of this run holds; false when it
// holds none (or, never after one export, more than one).
bool TheWorkbook(FoundWorkbook& found);

} // namespace gridwell
