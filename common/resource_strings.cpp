#include "common/resource_strings.h"

#include <acdocman.h>
#include <afxwin.h>

namespace {

// Resource strings are short texts; this holds the longest with room.
constexpr int kLongestResourceString = 1024;

HINSTANCE& ResourceModule()
{
    static HINSTANCE resources = nullptr;
    return resources;
}

} // namespace

void SetResourceModule(HINSTANCE resources) { ResourceModule() = resources; }

ResourceSourceScope::ResourceSourceScope() { acDocManager->pushResourceHandle(ResourceModule()); }

ResourceSourceScope::~ResourceSourceScope() { acDocManager->popResourceHandle(); }

std::string ResourceString(UINT id)
{
    ResourceSourceScope resources;
    char buffer[kLongestResourceString];
    const int length = LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string FillFields(const std::string& pattern, std::initializer_list<std::string> values)
{
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto field = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (field < values.size())
                text += values.begin()[field];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string FormatResource(UINT id, std::initializer_list<std::string> values)
{
    return FillFields(ResourceString(id), values);
}
