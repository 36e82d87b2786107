#include "mbstring.h"

namespace {
unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }
} // namespace

int _mbsicmp(const unsigned char* left, const unsigned char* right)
{
    for (;; ++left, ++right) {
        const unsigned char a = FoldAscii(*left);
        const unsigned char b = FoldAscii(*right);
        if (a != b)
            return a < b ? -1 : 1;
        if (a == 0)
            return 0;
    }
}
