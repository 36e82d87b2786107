#include "import/status_check.h"

#include <windows.h>

#include "common/module_state.h"

#include "message_box.h"

#include <cstdio>
#include <string>

const char* const kDrawingSourceModule = "cmd\\cmdgwell";

Acad::ErrorStatus CheckStatus(Acad::ErrorStatus status, int, const char*)
{
    if (status == Acad::eOk)
        return Acad::eOk;
    TheModuleState().lastDiagnostic = "Acad::ErrorStatus = " + std::to_string(static_cast<int>(status));
    return status;
}

const char* LastStatusDiagnostic() { return TheModuleState().lastDiagnostic.c_str(); }

void ShowAssertion(const char* module, int line, const char* condition)
{
    char text[512];
    std::snprintf(text, sizeof text, "Module: %s\nLine: %d\nCondition: %s", module ? module : "", line,
                  condition ? condition : "");
    MessageBoxA(nullptr, text, "Assertion failed", MB_OK | MB_ICONERROR);
}
