// The two reports every drawing operation uses: the silent status check and
// the assertion box for a missing internal object.
#pragma once
#include <acadstrc.h>

// The source module the drawing operations report as theirs.
extern const char* const kDrawingSourceModule;

// Returns `status` unchanged. A failure builds the diagnostic text
// "Acad::ErrorStatus = %d" and shows nothing: the caller decides what the
// failure means.
Acad::ErrorStatus CheckStatus(Acad::ErrorStatus status, int line, const char* module);
// The diagnostic text of the last failed status (empty when none failed yet).
const char* LastStatusDiagnostic();

// "Assertion failed" box with the error icon and no owner window.
void ShowAssertion(const char* module, int line, const char* condition);

#define GW_CHECK_STATUS(status) CheckStatus((status), __LINE__, kDrawingSourceModule)
// The conditions the callers pass (pRef != NULL, ...) are fixed texts of the
// box, not names in this code.
#define GW_ASSERT_OBJECT(condition) ShowAssertion(kDrawingSourceModule, __LINE__, #condition)
