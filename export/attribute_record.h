// One attribute of a block reference as export sees it, and the merge of a
// reference's own attributes into the list its block's definitions give.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct AttributeRecord {
    std::string tag;    // from the attribute definition
    std::string prompt; // from the attribute definition
    std::string value;  // the reference's text, else the definition's own text
    bool constant = false;
};

// Walks the records of a reference, in definition order, while its own
// attributes are fed in one by one in the host's order. The host keeps a
// reference's attributes in definition order but leaves the constant ones
// out, so each attribute is matched against the next records in turn:
// records that do not match are passed over and keep their definition text.
class AttributeMerge {
public:
    explicit AttributeMerge(std::vector<AttributeRecord>& records)
        : m_records(records)
    {
    }
    // One attribute of the reference. Once every record has been passed,
    // further attributes change nothing.
    void take(const char* tag, const char* text);

private:
    std::vector<AttributeRecord>& m_records;
    std::size_t m_next = 0;
};
