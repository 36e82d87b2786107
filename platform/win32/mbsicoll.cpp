#include "mbstring.h"

#include "codepage.h"

#include <cstring>
#include <string>

namespace {

// Lower case of one UTF-16 unit for the scripts the host's code pages carry.
char16_t FoldCase(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char16_t>(c + 32);
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs upper/lower as even/odd, except in the
        // stretch 0x139-0x148 and 0x179-0x17E where the upper is odd.
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (c == 0x178)
            return 0xFF;
        return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return static_cast<char16_t>(c + 32);
    if (c >= 0x410 && c <= 0x42F)
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 80);
    return c;
}

// The base letter of a folded Latin letter, or the letter itself.
char16_t BaseLetter(char16_t c)
{
    // Latin-1 lower-case letters 0xE0..0xFF.
    static const char kLatin1[] = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
    // Latin Extended-A 0x100..0x17F, both cases, by code.
    static const char kExtendedA[] = "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkklllllll"
                                     "lllnnnnnnnnnoooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
    if (c >= 0xE0 && c <= 0xFF && c != 0xF7)
        return static_cast<char16_t>(kLatin1[c - 0xE0]);
    if (c >= 0x100 && c <= 0x17F)
        return static_cast<char16_t>(kExtendedA[c - 0x100]);
    return c;
}

bool ToFoldedWide(const unsigned char* text, std::u16string& out)
{
    const int length = static_cast<int>(std::strlen(reinterpret_cast<const char*>(text)));
    if (length == 0) {
        out.clear();
        return true;
    }
    const int units =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(text), length, nullptr, 0);
    if (units <= 0)
        return false;
    out.assign(static_cast<std::size_t>(units), u'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(text), length, out.data(), units);
    for (char16_t& c : out)
        c = FoldCase(c);
    return true;
}

int Sign(int value) { return (value > 0) - (value < 0); }

int ByteFoldCompare(const unsigned char* left, const unsigned char* right)
{
    for (;; ++left, ++right) {
        const int a = (*left >= 'A' && *left <= 'Z') ? *left + 32 : *left;
        const int b = (*right >= 'A' && *right <= 'Z') ? *right + 32 : *right;
        if (a != b || a == 0)
            return Sign(a - b);
    }
}

} // namespace

int _mbsicoll(const unsigned char* left, const unsigned char* right)
{
    std::u16string a, b;
    if (!ToFoldedWide(left, a) || !ToFoldedWide(right, b))
        return ByteFoldCompare(left, right);
    // Primary difference: base letters.
    const std::size_t shorter = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < shorter; ++i) {
        const char16_t x = BaseLetter(a[i]), y = BaseLetter(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    // Secondary difference: accents.
    return a == b ? 0 : (a < b ? -1 : 1);
}
