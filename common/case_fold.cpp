#include "common/case_fold.h"

#include <mbstring.h>

std::string FoldedAscii(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = FoldAscii(c);
    return folded;
}

bool StartsWithFolded(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (FoldAscii(text[i]) != FoldAscii(prefix[i]))
            return false;
    return true;
}

namespace {
const unsigned char* Bytes(const char* text) { return reinterpret_cast<const unsigned char*>(text); }
} // namespace

bool EqualInCodePageIgnoringCase(const char* a, const char* b) { return _mbsicmp(Bytes(a), Bytes(b)) == 0; }

int CompareInUserCollation(const char* a, const char* b) { return _mbsicoll(Bytes(a), Bytes(b)); }
