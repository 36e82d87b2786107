// How a reference's own attributes fill the records its block's attribute
// definitions give.
#include "export/attribute_record.h"
#include "support/leak_checked_test.h"

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

using AttributeMergeTest = LeakCheckedTest;

TEST_F(AttributeMergeTest, ConstantDefinitionWithoutAttributeKeepsItsConstantText)
{
    auto records = Definitions({{"TAG1", true}, {"TAG2", false}, {"TAG3", false}});
    AttributeMerge merge(records);
    merge.take("TAG2", "two");
    merge.take("tag3", "three"); // tags compare without case
    EXPECT_EQ(Values(records), (std::vector<std::string>{"default of TAG1", "two", "three"}));
    EXPECT_TRUE(records[0].constant);
    EXPECT_EQ(records[2].tag, "TAG3") << "the definition's spelling of the tag stays";
}

TEST_F(AttributeMergeTest, AttributesFindTheirDefinitionsByTagInAnyOrder)
{
    auto records = Definitions({{"A", false}, {"B", false}, {"C", false}});
    AttributeMerge merge(records);
    merge.take("C", "c");
    merge.take("a", "a");
    merge.take("B", "b");
    EXPECT_EQ(Values(records), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(merge.leftOver().empty());

    // A drawing from elsewhere: the reference keeps its attributes in
    // another order than its block's definitions.
    auto title = Definitions({{"Title", false}, {"Date", false}, {"Filename", false}, {"Scale", false}});
    AttributeMerge flange(title);
    flange.take("Filename", "flange.dxf");
    flange.take("Title", "Flange");
    flange.take("Date", "11/10/2017");
    EXPECT_EQ(Values(title), (std::vector<std::string>{"Flange", "11/10/2017", "flange.dxf", "default of Scale"}));
}

TEST_F(AttributeMergeTest, UnknownTagIsLeftOverAndDisturbsNoOtherRecord)
{
    auto records = Definitions({{"A", false}, {"B", false}});
    AttributeMerge merge(records);
    merge.take("NOSUCH", "x");
    merge.take("B", "b");
    EXPECT_EQ(Values(records), (std::vector<std::string>{"default of A", "b"}));
    ASSERT_EQ(merge.leftOver().size(), 1u);
    EXPECT_EQ(merge.leftOver()[0], (std::pair<std::string, std::string>{"NOSUCH", "x"}));
}

TEST_F(AttributeMergeTest, DuplicateTagsMatchTheirDefinitionsInTurn)
{
    auto records = Definitions({{"X", false}, {"Y", false}, {"X", false}});
    AttributeMerge merge(records);
    merge.take("x", "first");
    merge.take("X", "second"); // skips Y: the second X definition takes it
    merge.take("Y", "y");
    merge.take("X", "third"); // more X attributes than definitions
    EXPECT_EQ(Values(records), (std::vector<std::string>{"first", "y", "second"}));
    ASSERT_EQ(merge.leftOver().size(), 1u);
    EXPECT_EQ(merge.leftOver()[0].second, "third");
}

TEST_F(AttributeMergeTest, ExtraColumnsTakeTheLeftOverTextsInTurnAndStayEmptyWithout)
{
    auto records = Definitions({{"A", false}});
    AttributeMerge merge(records);
    merge.take("E", "e1");
    merge.take("A", "a");
    merge.take("F", "f");
    merge.take("e", "e2");
    // The block's extra columns, as gathered over all its references: this
    // reference has no G, and only two E.
    merge.appendExtraColumns({"E", "G", "E", "F", "E"});
    EXPECT_EQ(Values(records), (std::vector<std::string>{"a", "e1", "", "e2", "f", ""}));
    EXPECT_EQ(records[1].tag, "E");
    EXPECT_EQ(records[1].prompt, "");
    EXPECT_FALSE(records[1].constant);
}

using ExtraAttributeTagsTest = LeakCheckedTest;

TEST_F(ExtraAttributeTagsTest, EachTagGetsAsManyColumnsAsOneReferenceNeedsInFirstMetOrder)
{
    ExtraAttributeTags extras;
    extras.note({{"E", "1"}, {"F", "1"}});
    extras.note({{"f", "2"}, {"G", "2"}, {"F", "3"}});
    extras.note({});
    extras.note({{"E", "4"}});
    EXPECT_EQ(extras.tags(), (std::vector<std::string>{"E", "F", "G", "F"}));
}
