// Stand-in for the runtime's multibyte string comparison (_mbsicmp): ASCII
// letters compare without regard to case; the bytes of a multibyte
// character compare as they are, as the runtime does for code pages whose
// lead bytes carry no case.
#pragma once

int _mbsicmp(const unsigned char* left, const unsigned char* right);

// Locale-aware collation: mbsicoll.h.
#include "mbsicoll.h"
