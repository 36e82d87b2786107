#include "export/attribute_record.h"

#include "common/case_fold.h"

namespace {

// A tag as the host compares it.
std::string FoldedTag(const std::string& tag) { return FoldedAscii(tag); }

} // namespace

AttributeMerge::AttributeMerge(std::vector<AttributeRecord>& records)
    : m_records(records)
{
    for (std::size_t i = 0; i < m_records.size(); ++i)
        m_definitions[FoldedTag(m_records[i].tag)].indices.push_back(i);
}

void AttributeMerge::take(const char* tag, const char* text)
{
    const std::string tagText = tag ? tag : "";
    const std::string value = text ? text : "";
    const auto it = m_definitions.find(FoldedTag(tagText));
    if (it != m_definitions.end() && it->second.next < it->second.indices.size()) {
        m_records[it->second.indices[it->second.next++]].value = value;
        return;
    }
    m_leftOver.emplace_back(tagText, value);
}

void AttributeMerge::appendExtraColumns(const std::vector<std::string>& extraTags)
{
    if (extraTags.empty())
        return;
    std::unordered_map<std::string, Slots> byTag;
    for (std::size_t i = 0; i < m_leftOver.size(); ++i)
        byTag[FoldedTag(m_leftOver[i].first)].indices.push_back(i);
    for (const std::string& tag : extraTags) {
        AttributeRecord record{.tag = tag, .prompt = {}, .value = {}, .constant = false};
        const auto it = byTag.find(FoldedTag(tag));
        if (it != byTag.end() && it->second.next < it->second.indices.size())
            record.value = m_leftOver[it->second.indices[it->second.next++]].second;
        m_records.push_back(std::move(record));
    }
}

void ExtraAttributeTags::note(const std::vector<std::pair<std::string, std::string>>& leftOver)
{
    std::unordered_map<std::string, std::size_t> inThisReference;
    for (const auto& [tag, text] : leftOver) {
        const std::string key = FoldedTag(tag);
        const std::size_t count = ++inThisReference[key];
        std::size_t& columns = m_columns[key];
        if (count > columns) {
            columns = count;
            m_tags.push_back(tag);
        }
    }
}
