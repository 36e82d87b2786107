// The block-name pattern is typed by the user and block names come from any
// drawing: whatever the bytes, the matcher must end quickly, never read past
// either text, and agree with the prefix-table oracle.
#include "support/wildcard_oracle.h"
#include "ui/match_wildcard.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Pattern and name, split at the first NUL (no NUL: all pattern).
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* split = std::memchr(bytes, 0, size);
    const std::size_t patternLength = split ? static_cast<std::size_t>(static_cast<const char*>(split) - bytes) : size;
    const std::string pattern(bytes, patternLength);
    std::string name;
    if (split) {
        name.assign(bytes + patternLength + 1, size - patternLength - 1);
        name = name.substr(0, name.find('\0'));
    }
    // The filter box takes 255 characters and a block name has at most 255.
    if (pattern.size() > 255 || name.size() > 255)
        return 0;
    if (MatchWildcard(pattern.c_str(), name.c_str()) != WildcardOracle(pattern, name))
        std::abort();
    return 0;
}
