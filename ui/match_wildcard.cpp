#include "ui/match_wildcard.h"

bool MatchWildcard(const char* pattern, const char* name)
{
    if (!pattern || !name)
        return false;
    // A star is retried from the next name position only while the part of
    // the pattern after it fails; a later star replaces an earlier one, since
    // whatever the earlier star could still absorb the later one absorbs too.
    // That keeps a pattern with many stars linear in each retry instead of
    // exponential, with the result of trying every split.
    const char* p = pattern;
    const char* n = name;
    const char* afterStar = nullptr; // pattern position after the last star seen
    const char* retryAt = nullptr;   // name position that star's next try starts at
    while (*n != '\0') {
        if (*p == '*') {
            while (*p == '*')
                ++p;
            afterStar = p;
            retryAt = n;
        } else if (*p != '\0' && (*p == '?' || *p == *n)) {
            ++p;
            ++n;
        } else if (afterStar) {
            // The star takes one more character and the rest is tried again.
            p = afterStar;
            n = ++retryAt;
        } else {
            return false;
        }
    }
    while (*p == '*')
        ++p;
    return *p == '\0';
}
