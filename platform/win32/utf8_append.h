// UTF-8 encoding shared by the stand-ins that decode text (code pages, DXF
// text escapes). Not part of any face: platform sources only.
#pragma once
#include <string>

// Appends the UTF-8 bytes of one code point (not a Windows API; shared by
// the stand-ins that decode text).
void AppendUtf8(char32_t codePoint, std::string& out);
