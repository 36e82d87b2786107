// Names as the host compares them: ASCII letters without case, every other
// byte (or UTF-16 unit) as it is. Tags, block names, layer names and the
// spreadsheet program's reserved sheet name all compare this way.
#pragma once
#include <string>
#include <string_view>

template <class Unit>
constexpr Unit FoldAscii(Unit c)
{
    return c >= Unit('A') && c <= Unit('Z') ? static_cast<Unit>(c - Unit('A') + Unit('a')) : c;
}

// `text` with its ASCII capitals made small.
std::string FoldedAscii(std::string_view text);

// Whether `text` begins with `prefix`, compared without ASCII case.
bool StartsWithFolded(std::string_view text, std::string_view prefix);

// The runtime's multibyte comparisons, for the places that compare as the
// user's code page and locale do rather than as the host does:
// without case in the code page (keywords, attribute tags on import) ...
bool EqualInCodePageIgnoringCase(const char* a, const char* b);
// ... and in the user's collation without case (sheet names, typed block
// names, the tag sort): negative, zero or positive as strcmp.
int CompareInUserCollation(const char* a, const char* b);
