// Stand-in for the runtime's multibyte string comparison (_mbsicmp): ASCII
// letters compare without regard to case; the bytes of a multibyte
// character compare as they are, as the runtime does for code pages whose
// lead bytes carry no case.
#pragma once

int _mbsicmp(const unsigned char* left, const unsigned char* right);


// Stand-in for the runtime's locale-aware, case-insensitive multibyte
// collation (_mbsicoll), in the host's ANSI code page.
//
// Imitation: letters compare first by their base letter without case or
// accent (so "e" < "é" < "f", as the user's locale sorts them), then by
// accent; case never counts. Simplifications: only Latin letters (ASCII,
// Latin-1 and Latin Extended-A) have base letters; other characters compare
// by their UTF-16 code after case folding of Greek and Cyrillic. Text that is
// not valid in the code page compares byte by byte, as _mbsicmp does.
int _mbsicoll(const unsigned char* left, const unsigned char* right);
