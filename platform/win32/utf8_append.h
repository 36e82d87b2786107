// UTF-8 encoding shared by the stand-ins that decode text (code pages, DXF
// text escapes). Not part of any face: platform sources only. Inline: it
// runs once per character of every text the stand-ins convert.
#pragma once
#include <string>

// Hands the UTF-8 bytes of one code point to `put`, one by one.
template <class Put>
inline void EncodeUtf8CodePoint(char32_t cp, Put&& put)
{
    if (cp < 0x80) {
        put(static_cast<char>(cp));
    } else if (cp < 0x800) {
        put(static_cast<char>(0xC0 | (cp >> 6)));
        put(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        put(static_cast<char>(0xE0 | (cp >> 12)));
        put(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        put(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        put(static_cast<char>(0xF0 | (cp >> 18)));
        put(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        put(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        put(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Appends the UTF-8 bytes of one code point (not a Windows API).
inline void AppendUtf8(char32_t codePoint, std::string& out)
{
    EncodeUtf8CodePoint(codePoint, [&](char byte) { out.push_back(byte); });
}
