// Text across the automation boundary: the module's narrow strings are in
// the system ANSI code page, the program's are UTF-16. A conversion failure
// raises _com_error with the system error mapped to its HRESULT (0x8007xxxx).
#pragma once
#include <comdef.h>

#include <string>

// Conversion buffers up to this many characters live on the stack; longer
// texts take theirs from the heap.
inline constexpr int kStackConversionChars = 4095;

_bstr_t AnsiToBstr(const char* text);
std::string BstrToAnsi(const WCHAR* text, UINT length);
inline std::string BstrToAnsi(const _bstr_t& text)
{
    return BstrToAnsi(static_cast<const WCHAR*>(text), text.length());
}
