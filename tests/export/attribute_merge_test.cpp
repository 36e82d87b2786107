// How a reference's own attributes fill the records its block's attribute
// definitions give.
#include "export/attribute_record.h"

#include <gtest/gtest.h>

namespace {

std::vector<AttributeRecord> Definitions(std::initializer_list<std::pair<const char*, bool>> tags)
{
    std::vector<AttributeRecord> records;
    for (const auto& [tag, constant] : tags)
        records.push_back({tag, std::string("prompt of ") + tag, std::string("default of ") + tag, constant});
    return records;
}

std::vector<std::string> Values(const std::vector<AttributeRecord>& records)
{
    std::vector<std::string> values;
    for (const AttributeRecord& record : records)
        values.push_back(record.value);
    return values;
}

} // namespace

TEST(AttributeMerge, ConstantDefinitionWithoutAttributeKeepsItsConstantText)
{
    auto records = Definitions({{"TAG1", true}, {"TAG2", false}, {"TAG3", false}});
    AttributeMerge merge(records);
    merge.take("TAG2", "two");
    merge.take("tag3", "three"); // tags compare without case
    EXPECT_EQ(Values(records), (std::vector<std::string>{"default of TAG1", "two", "three"}));
    EXPECT_TRUE(records[0].constant);
    EXPECT_EQ(records[2].tag, "TAG3") << "the definition's spelling of the tag stays";
}

TEST(AttributeMerge, OutOfOrderAttributesLeaveThePassedDefinitionsAtTheirDefaults)
{
    auto records = Definitions({{"A", false}, {"B", false}, {"C", false}});
    AttributeMerge merge(records);
    merge.take("C", "c"); // passes A and B on its way to C
    merge.take("A", "a"); // nothing is left after C: no effect
    merge.take("B", "b");
    EXPECT_EQ(Values(records), (std::vector<std::string>{"default of A", "default of B", "c"}));
}

TEST(AttributeMerge, UnknownTagUsesUpTheRestOfTheRecords)
{
    auto records = Definitions({{"A", false}, {"B", false}});
    AttributeMerge merge(records);
    merge.take("NOSUCH", "x");
    merge.take("B", "b");
    EXPECT_EQ(Values(records), (std::vector<std::string>{"default of A", "default of B"}));
}

TEST(AttributeMerge, DuplicateTagsMatchTheirDefinitionsInTurn)
{
    auto records = Definitions({{"X", false}, {"X", false}});
    AttributeMerge merge(records);
    merge.take("X", "first");
    merge.take("X", "second");
    EXPECT_EQ(Values(records), (std::vector<std::string>{"first", "second"}));
}
