// The in-memory shape of one registry tree: keys with sub-keys and typed
// values. Used by the registry stand-in and its file format; the module never
// sees it.
#pragma once
#include "windef.h"

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Windows compares key and value names after upper-casing them.
std::string FoldRegistryName(const std::string& name);

struct RegValue {
    std::string name; // as first spelled; empty for the default value
    DWORD type = 0;
    std::vector<BYTE> data;
};

class RegNode {
public:
    explicit RegNode(std::string name, RegNode* parent = nullptr);

    const std::string& Name() const { return name_; }
    RegNode* Parent() const { return parent_; }

    RegNode* Child(const std::string& name) const;
    // Returns the child, creating it when missing; `created` tells which.
    RegNode* AddChild(const std::string& name, bool& created);
    void RemoveChild(const std::string& name);
    // Sub-keys in the order regedit lists them: by upper-cased name.
    const std::map<std::string, std::unique_ptr<RegNode>>& Children() const { return children_; }

    const RegValue* Value(const std::string& name) const;
    // Values keep the order in which they were first set, as Windows keeps them.
    const std::vector<RegValue>& Values() const { return values_; }
    void SetValue(const std::string& name, DWORD type, std::vector<BYTE> data);
    void RemoveValue(const std::string& name);
    // Drops every sub-key and value.
    void Clear();

private:
    std::string name_;
    RegNode* parent_;
    std::map<std::string, std::unique_ptr<RegNode>> children_;
    std::vector<RegValue> values_;
    std::unordered_map<std::string, size_t> valueIndex_;
};
