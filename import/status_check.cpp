#include "import/status_check.h"

#include <windows.h>

#include <cstdio>

const char* const kDrawingSourceModule = "cmd\\cmdgwell";

namespace {
// Kept for a debugger or a trace; never shown to the user.
char g_lastDiagnostic[64] = "";
} // namespace

Acad::ErrorStatus CheckStatus(Acad::ErrorStatus status, int, const char*)
{
    if (status == Acad::eOk)
        return Acad::eOk;
    std::snprintf(g_lastDiagnostic, sizeof g_lastDiagnostic, "Acad::ErrorStatus = %d", static_cast<int>(status));
    return status;
}

const char* LastStatusDiagnostic() { return g_lastDiagnostic; }

void ShowAssertion(const char* module, int line, const char* condition)
{
    char text[512];
    std::snprintf(text, sizeof text, "Module: %s\nLine: %d\nCondition: %s", module ? module : "", line,
                  condition ? condition : "");
    MessageBoxA(nullptr, text, "Assertion failed", MB_OK | MB_ICONERROR);
}
