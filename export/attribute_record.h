// One attribute of a block reference as export sees it, and the merge of a
// reference's own attributes into the list its block's definitions give.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct AttributeRecord {
    std::string tag;    // from the attribute definition
    std::string prompt; // from the attribute definition
    std::string value;  // the reference's text, else the definition's own text
    bool constant = false;
};

// Matches a reference's own attributes to the records its block's
// definitions give, by tag. The host keeps attributes in whatever order they
// were added (a drawing edited elsewhere need not follow the definitions),
// so the order they come in decides nothing; only the tag does, compared
// without regard to ASCII case as the host compares tags. A tag that several
// definitions share is matched in turn: the first attribute with that tag
// goes to the first such definition, the second to the second. Attributes
// that no definition takes are kept aside as left over, so that their texts
// can get columns of their own instead of being lost.
class AttributeMerge {
public:
    explicit AttributeMerge(std::vector<AttributeRecord>& records);
    AttributeMerge(const AttributeMerge&) = delete;
    AttributeMerge& operator=(const AttributeMerge&) = delete;

    // One attribute of the reference.
    void take(const char* tag, const char* text);

    // The attributes no definition took, as {tag, text}, in the order taken.
    const std::vector<std::pair<std::string, std::string>>& leftOver() const { return m_leftOver; }

    // Appends one record per tag of `extraTags` (the block's columns for
    // left-over attributes, a tag repeated once per column it needs): its
    // value is the next left-over text with that tag, or empty when this
    // reference has no more of them. Call after the last take().
    void appendExtraColumns(const std::vector<std::string>& extraTags);

private:
    struct Slots {
        std::vector<std::size_t> indices; // record or left-over positions, in turn
        std::size_t next = 0;
    };
    std::vector<AttributeRecord>& m_records;
    std::unordered_map<std::string, Slots> m_definitions; // folded tag -> records
    std::vector<std::pair<std::string, std::string>> m_leftOver;
};

// The columns a block needs for attributes that its definitions lack, over
// all its exported references: each left-over tag once for every attribute
// with that tag that one reference holds at most, in the order first met.
// Every reference of the block then writes the same columns under one header.
class ExtraAttributeTags {
public:
    void note(const std::vector<std::pair<std::string, std::string>>& leftOver);
    const std::vector<std::string>& tags() const { return m_tags; }

private:
    std::vector<std::string> m_tags;
    std::unordered_map<std::string, std::size_t> m_columns; // folded tag -> columns so far
};
