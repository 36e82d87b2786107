#include "excel/acquire_excel.h"
#include "excel/excel_ops.h"
#include "export/worksheet_writer.h"

#include <mbstring.h>

void OpenBlockWorksheet(const std::string& blockName)
{
    Excel::_ApplicationPtr application;
    if (FAILED(AcquireExcel(AcquireMode::RunningOnly, application)))
        return;
    IDispatchPtr workbook = excel::GetActiveWorkbook(application);
    IDispatchPtr worksheets = excel::GetWorksheets(workbook);
    IDispatchPtr sheet = excel::AddWorksheet(worksheets);

    // The program compares sheet names without case; a name in use (also a
    // second export of the same block) leaves the new sheet its default name.
    bool taken = false;
    const auto* wanted = reinterpret_cast<const unsigned char*>(blockName.c_str());
    for (long n = 1; n <= excel::GetCount(worksheets); ++n) {
        const std::string name = excel::GetName(excel::GetItem(worksheets, _variant_t(n)));
        if (_mbsicoll(reinterpret_cast<const unsigned char*>(name.c_str()), wanted) == 0)
            taken = true;
    }
    if (!taken)
        excel::PutName(sheet, blockName.c_str());
    excel::Activate(sheet);
}
