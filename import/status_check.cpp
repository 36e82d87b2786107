#include "import/status_check.h"

#include <windows.h>

#include "common/module_state.h"

#include <cstdio>
#include <string>

// The source name the assertions give is a fixed text, not this file's path.
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
    constexpr std::size_t kAssertionTextBuffer = 512; // longer texts are cut
    char text[kAssertionTextBuffer];
    std::snprintf(text, sizeof text, "Module: %s\nLine: %d\nCondition: %s", module ? module : "", line,
                  condition ? condition : "");
    MessageBoxA(nullptr, text, "Assertion failed", MB_OK | MB_ICONERROR);
}
