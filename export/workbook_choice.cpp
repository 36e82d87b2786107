#include "export/workbook_choice.h"

#include "automation/excel_ops.h"
#include "export/worksheet_writer.h"

void PrepareWorkbook(IDispatch* application, const Settings& settings)
{
    IDispatchPtr workbook;
    // Only the explicit choice writes into a workbook the user has open.
    if (settings.WorkbookSettings == 1)
        workbook = automation::GetActiveWorkbook(application);
    if (!workbook)
        workbook = automation::AddWorkbook(automation::GetWorkbooks(application));
    automation::Activate(workbook);

    if (SharesActiveWorksheet(settings))
        TheModuleState().currentRow = settings.FindNextBlankLine ? FindBlankRow(workbook) : settings.ExportStartRow;
}
