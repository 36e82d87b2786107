// Names that many objects of a drawing share: layers, text styles and
// attribute tags. A million references with three attributes each name the
// same few layers and tags millions of times; each object keeps a pointer
// to the one copy here instead of a string of its own.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

class DbNames {
public:
    // The one copy of `name`; it lives as long as this set.
    const std::string* intern(std::string_view name)
    {
        auto it = m_names.find(name);
        if (it == m_names.end())
            it = m_names.emplace(name).first;
        return &*it;
    }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    // Node-based, so a name never moves while the set grows.
    std::unordered_set<std::string, Hash, std::equal_to<>> m_names;
};
