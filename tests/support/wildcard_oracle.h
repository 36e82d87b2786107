// A reference for the block-name pattern, written differently from the
// module's matcher on purpose: a table of which pattern prefixes match which
// name prefixes, filled row by row. Slow (pattern x name) and obviously right,
// which is what an oracle is for.
#pragma once
#include <string_view>
#include <vector>

inline bool WildcardOracle(std::string_view pattern, std::string_view name)
{
    // row[j]: the pattern prefix read so far matches the first j name characters.
    std::vector<char> row(name.size() + 1, 0);
    row[0] = 1;
    for (char p : pattern) {
        std::vector<char> next(name.size() + 1, 0);
        for (std::size_t j = 0; j <= name.size(); ++j) {
            if (p == '*')
                next[j] = row[j] || (j > 0 && next[j - 1]);
            else if (j > 0)
                next[j] = row[j - 1] && (p == '?' || p == name[j - 1]);
        }
        row.swap(next);
    }
    return row[name.size()] != 0;
}
