// gwtest: a diagnostic that walks through the spreadsheet connection one
// step at a time, with a trace line before and after each step.
#include "cmd/command_gwtest.h"

#include "cmd/command_guard.h"
#include "automation/acquire_excel.h"
#include "automation/excel_ops.h"

#include <acdocman.h>
#include <adslib.h>

// The trace's source name ".\cmd\cmdtest" is part of the required output.
#define GWTEST_TRACE() acutPrintf("\nDEBUG: %s (%d)", ".\\cmd\\cmdtest", __LINE__)

namespace {

void GwtestSteps()
{
    Excel::_ApplicationPtr application;
    GWTEST_TRACE();
    const HRESULT acquired = AcquireExcel(AcquireMode::RunningOrNew, application);
    GWTEST_TRACE();
    if (FAILED(acquired)) {
        // The doubled "to" belongs to the required text; do not correct it.
        MessageBoxA(adsw_acadMainWnd(), "ERROR: Failed to to obtain Excel object.", "Error", MB_ICONERROR);
        return;
    }
    if (!application) {
        acutPrintf("\nDEBUG: pExcel == NULL"); // a fixed trace text, not a name in this code
        return;
    }
    GWTEST_TRACE();
    automation::PutInteractive(application, true);
    GWTEST_TRACE();
    automation::PutVisible(application, true);
    GWTEST_TRACE();
    IDispatchPtr workbook = automation::GetActiveWorkbook(application);
    GWTEST_TRACE();
    if (!workbook) {
        GWTEST_TRACE();
        workbook = automation::AddWorkbook(automation::GetWorkbooks(application));
        GWTEST_TRACE();
    }
    GWTEST_TRACE();
    automation::Activate(workbook);
    GWTEST_TRACE();
}

} // namespace

void CommandGwtest() { GuardCommand(GwtestSteps, GuardFallback::FixedTexts); }
