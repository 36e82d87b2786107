// gwtest: a diagnostic that walks through the spreadsheet connection one
// step at a time, with a trace line before and after each step.
#include "cmd/command_guard.h"
#include "cmd/operations.h"

#include <adslib.h>

#define GWTEST_TRACE() acutPrintf("\nDEBUG: %s (%d)", ".\\cmd\\cmdtest", __LINE__)

namespace {

void GwtestSteps()
{
    GWTEST_TRACE();
    // The spreadsheet steps (acquire, interactive, visible, workbook,
    // activate) join here with the spreadsheet connection.
    GWTEST_TRACE();
}

} // namespace

void CommandGwtest() { GuardCommand(GwtestSteps, GuardFallback::FixedTexts); }
