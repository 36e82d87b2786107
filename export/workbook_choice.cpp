#include "excel/excel_ops.h"
#include "export/worksheet_writer.h"

void PrepareWorkbook(IDispatch* application, const Settings& settings)
{
    IDispatchPtr workbook;
    // Only the explicit choice writes into a workbook the user has open.
    if (settings.WorkbookSettings == 1)
        workbook = excel::GetActiveWorkbook(application);
    if (!workbook)
        workbook = excel::AddWorkbook(excel::GetWorkbooks(application));
    excel::Activate(workbook);

    if (SharesActiveWorksheet(settings))
        CurrentRow = settings.FindNextBlankLine ? FindBlankRow(workbook) : settings.ExportStartRow;
}
