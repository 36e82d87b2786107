#include "registry_tree.h"

std::string FoldRegistryName(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

RegNode::RegNode(std::string name, RegNode* parent)
    : name_(std::move(name))
    , parent_(parent)
{
}

RegNode* RegNode::Child(const std::string& name) const
{
    auto found = children_.find(FoldRegistryName(name));
    return found == children_.end() ? nullptr : found->second.get();
}

RegNode* RegNode::AddChild(const std::string& name, bool& created)
{
    auto [it, inserted] = children_.try_emplace(FoldRegistryName(name));
    if (inserted)
        it->second = std::make_unique<RegNode>(name, this);
    created = inserted;
    return it->second.get();
}

void RegNode::RemoveChild(const std::string& name) { children_.erase(FoldRegistryName(name)); }

const RegValue* RegNode::Value(const std::string& name) const
{
    auto found = valueIndex_.find(FoldRegistryName(name));
    return found == valueIndex_.end() ? nullptr : &values_[found->second];
}

void RegNode::SetValue(const std::string& name, DWORD type, std::vector<BYTE> data)
{
    auto [it, inserted] = valueIndex_.try_emplace(FoldRegistryName(name), values_.size());
    if (inserted)
        values_.push_back(RegValue{name, type, {}});
    RegValue& value = values_[it->second];
    value.type = type;
    value.data = std::move(data);
}

void RegNode::RemoveValue(const std::string& name)
{
    auto found = valueIndex_.find(FoldRegistryName(name));
    if (found == valueIndex_.end())
        return;
    const size_t index = found->second;
    valueIndex_.erase(found);
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& entry : valueIndex_) {
        if (entry.second > index)
            --entry.second;
    }
}

void RegNode::Clear()
{
    children_.clear();
    values_.clear();
    valueIndex_.clear();
}
