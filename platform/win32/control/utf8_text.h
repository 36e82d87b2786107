// UTF-8 <-> UTF-16, the one conversion pair for the stand-ins that keep text
// as UTF-16 (the spreadsheet, the .xlsx parts), the host program and the
// tests. Invalid input becomes U+FFFD as MultiByteToWideChar and
// WideCharToMultiByte make it without MB_ERR_INVALID_CHARS.
#pragma once
#include <string>
#include <string_view>

std::string Utf8(std::u16string_view text);
std::u16string Utf16(const std::string& text);
