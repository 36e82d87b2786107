// Conversions of the values that come back from the spreadsheet program.
// A variant that already holds the target type gives its value directly;
// anything else is coerced with VariantChangeType (no flags, the user's
// locale), and a failed coercion raises _com_error with its HRESULT. Empty
// cells give 0 and "".
#pragma once
#include <comdef.h>

#include <string>

// The spreadsheet program's error values travel as VT_ERROR codes on this
// base; #N/A is its error 2042.
inline constexpr SCODE kSpreadsheetErrorBase = static_cast<SCODE>(0x800A0000);
inline constexpr SCODE kErrorNotAvailable = kSpreadsheetErrorBase + 2042;

long VariantToLong(const VARIANT& value);
// In the system ANSI code page.
std::string VariantToText(const VARIANT& value);
// An automation object; empty for an empty object ("Nothing").
IDispatchPtr VariantToObject(const VARIANT& value);
// The same from a call's result, whose reference it takes over.
IDispatchPtr VariantToObject(_variant_t&& value);
