#include "dxf_text.h"

#include "codepage.h"
#include "utf8_append.h"
#include "dxf_codepages.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsPlainAscii(std::string_view text)
{
    for (unsigned char c : text)
        if (c >= 0x80 || c < 0x20 || c == '^' || c == '\\')
            return false;
    return true;
}

void DecodeUtf8(std::string_view bytes, std::u32string& out)
{
    std::size_t i = 0, n = bytes.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC0 && c < 0xE0 ? 1 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= n) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = c & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok || cp > 0x10FFFF) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
}

void AppendEscape(char32_t cp, std::string& out)
{
    char buffer[16];
    if (cp > 0xFFFF) {
        // Characters beyond the basic plane are escaped as their UTF-16 halves.
        char32_t v = cp - 0x10000;
        AppendEscape(0xD800 + (v >> 10), out);
        AppendEscape(0xDC00 + (v & 0x3FF), out);
        return;
    }
    std::snprintf(buffer, sizeof buffer, "\\U+%04X", static_cast<unsigned>(cp));
    out += buffer;
}

int HexValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    return -1;
}

// Replaces \U+XXXX escapes by their characters (pairs of halves joined).
std::u32string Unescape(const std::u32string& in)
{
    std::u32string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\\' && i + 7 <= in.size() && (in[i + 1] == 'U' || in[i + 1] == 'u') && in[i + 2] == '+') {
            int value = 0;
            bool ok = true;
            for (std::size_t k = 3; ok && k < 7; ++k) {
                int h = HexValue(in[i + k]);
                ok = h >= 0;
                value = value * 16 + h;
            }
            if (ok) {
                char32_t cp = static_cast<char32_t>(value);
                if (!out.empty() && cp >= 0xDC00 && cp < 0xE000 && out.back() >= 0xD800 && out.back() < 0xDC00)
                    out.back() = 0x10000 + ((out.back() - 0xD800) << 10) + (cp - 0xDC00);
                else
                    out.push_back(cp);
                i += 6;
                continue;
            }
        }
        out.push_back(in[i]);
    }
    return out;
}

int ByteOf(const char16_t* table, char32_t cp)
{
    if (cp < 0x80)
        return static_cast<int>(cp);
    for (int b = 0; b < 128; ++b)
        if (table[b] == cp && cp != 0xFFFD)
            return 0x80 + b;
    return -1;
}

} // namespace

unsigned HostCodePage()
{
    return GetACP();
}

std::u32string HostToUnicode(std::string_view host)
{
    std::u32string text;
    text.reserve(host.size());
    const char16_t* table = DxfCodePageTable(HostCodePage());
    if (!table) {
        DecodeUtf8(host, text);
    } else {
        for (unsigned char c : host)
            text.push_back(c < 0x80 ? c : table[c - 0x80]);
    }
    return Unescape(text);
}

std::string UnicodeToHost(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    const char16_t* table = DxfCodePageTable(HostCodePage());
    for (char32_t cp : text) {
        if (!table) {
            AppendUtf8(cp, out);
            continue;
        }
        int b = ByteOf(table, cp);
        if (b >= 0)
            out.push_back(static_cast<char>(b));
        else
            AppendEscape(cp, out);
    }
    return out;
}

bool DxfCodecFor(std::string_view acadver, std::string_view dwgcodepage, DxfCodec& codec)
{
    // From AutoCAD 2007 (AC1021) on, DXF text is UTF-8 whatever the code page says.
    if (acadver.size() == 6 && acadver.substr(0, 2) == "AC" && std::atoi(std::string(acadver.substr(2)).c_str()) >= 1021) {
        codec = DxfCodec{true, nullptr};
        return true;
    }
    codec = DxfCodec{false, DxfCodePageTable(1252)};
    std::string name(dwgcodepage);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name.empty())
        return true;
    if (name.rfind("ANSI_", 0) == 0) {
        const char16_t* table = DxfCodePageTable(static_cast<unsigned>(std::atoi(name.c_str() + 5)));
        if (table) {
            codec.high = table;
            return true;
        }
    }
    return name == "ASCII" || name == "DOS437"; // plain ASCII text reads the same either way
}

std::string DxfDecodeText(std::string_view raw, const DxfCodec& codec)
{
    if (IsPlainAscii(raw))
        return std::string(raw);
    std::u32string text;
    text.reserve(raw.size());
    if (codec.utf8) {
        DecodeUtf8(raw, text);
    } else {
        for (unsigned char c : raw)
            text.push_back(c < 0x80 ? c : codec.high[c - 0x80]);
    }
    std::u32string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size()) {
            char32_t next = text[i + 1];
            if (next == ' ') {
                plain.push_back('^');
                ++i;
                continue;
            }
            if (next >= 0x40 && next <= 0x5F) {
                plain.push_back(next - 0x40);
                ++i;
                continue;
            }
        }
        plain.push_back(text[i]);
    }
    return UnicodeToHost(Unescape(plain));
}

std::string DxfEncodeText(std::string_view host, const DxfCodec& codec)
{
    if (IsPlainAscii(host))
        return std::string(host);
    std::u32string text = HostToUnicode(host);
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : text) {
        if (cp < 0x20) {
            out.push_back('^');
            out.push_back(static_cast<char>(cp + 0x40));
        } else if (cp == '^') {
            out += "^ ";
        } else if (codec.utf8) {
            AppendUtf8(cp, out);
        } else {
            int b = ByteOf(codec.high, cp);
            if (b >= 0)
                out.push_back(static_cast<char>(b));
            else
                AppendEscape(cp, out);
        }
    }
    return out;
}
