#include "excel/excel_connection.h"
#include "excel/excel_ops.h"
#include "export/worksheet_writer.h"

#include <mbstring.h>

void OpenBlockWorksheet(const std::string& blockName)
{
    ExcelApplicationPtr application;
    if (FAILED(AcquireExcel(ExcelAcquireMode::RunningOnly, application)))
        return;
    IDispatchPtr workbook = ExcelGetActiveWorkbook(application);
    IDispatchPtr worksheets = ExcelGetWorksheets(workbook);
    IDispatchPtr sheet = ExcelAddWorksheet(worksheets);

    // The program compares sheet names without case; a name in use (also a
    // second export of the same block) leaves the new sheet its default name.
    bool taken = false;
    const auto* wanted = reinterpret_cast<const unsigned char*>(blockName.c_str());
    for (long n = 1; n <= ExcelGetCount(worksheets); ++n) {
        const std::string name = ExcelGetName(ExcelGetItem(worksheets, _variant_t(n)));
        if (_mbsicoll(reinterpret_cast<const unsigned char*>(name.c_str()), wanted) == 0)
            taken = true;
    }
    if (!taken)
        ExcelSetName(sheet, blockName);
    ExcelActivate(sheet);
}
