// Host control of the code-page stand-in (winnls.h): which ANSI code page
// CP_ACP stands for, and the user locale's number separators.
#pragma once
#include <winnls.h>

// Host control (not a Windows API): the ANSI code page CP_ACP stands for.
// Accepts 65001, 1250 and 1252; returns FALSE for anything else.
BOOL SetAnsiCodePageForHost(UINT codePage);

// Host control (not a Windows API): the user locale's decimal and thousands
// separators, which text-to-number and number-to-text coercions use.
// Defaults are '.' and ','.
void SetUserNumberSeparators(WCHAR decimalSeparator, WCHAR thousandSeparator);
WCHAR GetUserDecimalSeparator();
WCHAR GetUserThousandSeparator();
