// Conversions of the values that come back from the spreadsheet program.
// A variant that already holds the target type gives its value directly;
// anything else is coerced with VariantChangeType (no flags, the user's
// locale), and a failed coercion raises _com_error with its HRESULT. Empty
// cells give 0 and "".
#pragma once
#include <comdef.h>

#include <string>

long VariantToLong(const VARIANT& value);
// In the system ANSI code page.
std::string VariantToText(const VARIANT& value);
// An automation object; empty for an empty object ("Nothing").
IDispatchPtr VariantToObject(const VARIANT& value);
