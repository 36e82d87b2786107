// The block-name pattern of the filter dialog.
#pragma once

// True when the whole `name` matches the whole `pattern`, byte by byte and
// case-sensitive: "?" matches exactly one character, "*" any run of
// characters (none too); every other character matches itself only.
// "*" matches every name, the empty one included; "a?b?c" every
// five-character name with a, b and c at positions 1, 3 and 5.
bool MatchWildcard(const char* pattern, const char* name);
