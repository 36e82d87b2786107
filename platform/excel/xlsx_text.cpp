#include "xlsx_text.h"

namespace excelsim::xlsx {
namespace {

bool IsHex(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

int HexValue(char16_t c)
{
    if (c <= u'9')
        return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

// An escape "_xHHHH_" starts at `at`.
bool EscapeAt(std::u16string_view text, std::size_t at)
{
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_')
        return false;
    for (std::size_t i = at + 2; i < at + 6; ++i)
        if (!IsHex(text[i]))
            return false;
    return true;
}

void AppendEscape(std::u16string& out, char16_t c)
{
    static const char16_t kHex[] = u"0123456789ABCDEF";
    out += u"_x";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(c >> shift) & 0xF];
    out += u'_';
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// True when the code unit at `i` is half of a surrogate pair.
bool Paired(std::u16string_view text, std::size_t i)
{
    if (IsHighSurrogate(text[i]))
        return i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
    if (IsLowSurrogate(text[i]))
        return i > 0 && IsHighSurrogate(text[i - 1]);
    return true;
}

} // namespace

bool NeedsEscape(char16_t c)
{
    if (c < 0x20)
        return c != u'\t' && c != u'\n';
    return c == 0xFFFE || c == 0xFFFF;
}

bool HasLoneSurrogate(const std::u16string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!Paired(text, i))
            return true;
    return false;
}

bool TextNeedsEscape(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (NeedsEscape(c) || !Paired(text, i) || (c == u'_' && EscapeAt(text, i)))
            return true;
    }
    return false;
}

std::u16string EscapeText(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (NeedsEscape(c) || !Paired(text, i) || (c == u'_' && EscapeAt(text, i)))
            AppendEscape(out, c);
        else
            out += c;
    }
    return out;
}

std::u16string UnescapeText(const std::u16string& text)
{
    if (text.find(u"_x") == std::u16string::npos)
        return text;
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (EscapeAt(text, i)) {
            char16_t c = 0;
            for (std::size_t k = i + 2; k < i + 6; ++k)
                c = static_cast<char16_t>((c << 4) | HexValue(text[k]));
            out += c;
            i += 7;
        } else {
            out += text[i++];
        }
    }
    return out;
}

} // namespace excelsim::xlsx
