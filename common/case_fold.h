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
