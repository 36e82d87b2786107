// Stand-in for the runtime's locale-aware, case-insensitive multibyte
// collation (_mbsicoll of mbstring.h), in the host's ANSI code page.
//
// Imitation: letters compare first by their base letter without case or
// accent (so "e" < "é" < "f", as the user's locale sorts them), then by
// accent; case never counts. Simplifications: only Latin letters (ASCII,
// Latin-1 and Latin Extended-A) have base letters; other characters compare
// by their UTF-16 code after case folding of Greek and Cyrillic. Text that is
// not valid in the code page compares byte by byte, as _mbsicmp does.
#pragma once

int _mbsicoll(const unsigned char* left, const unsigned char* right);
