#include "import/property_markers.h"
#include "support/leak_checked_test.h"

#include "common/resource_strings.h"
#include "res/resource.h"

#include "support/host_fixture.h"

#include <set>
#include <string>

namespace {

using MarkersFromResources = AttachedModuleFixture;

// Import must tell every property column from every other by its header
// comment alone, so the eight texts in the resource module must be there and
// distinct, and each must come back as its own column kind.
TEST_F(MarkersFromResources, EachResourceMarkerNamesItsColumn)
{
    const PropertyMarkers markers = PropertyMarkers::FromResources();
    const std::pair<UINT, PropertyColumn> expected[] = {
        {14, PropertyColumn::X},        {16, PropertyColumn::Y},     {18, PropertyColumn::Z},
        {20, PropertyColumn::Rotation}, {22, PropertyColumn::Scale}, {24, PropertyColumn::Scale},
        {26, PropertyColumn::Scale},    {28, PropertyColumn::Layer},
    };
    std::set<std::string> seen;
    for (const auto& [id, column] : expected) {
        const std::string text = ResourceString(id);
        ASSERT_FALSE(text.empty()) << "resource string " << id;
        EXPECT_TRUE(seen.insert(text).second) << "resource string " << id << " repeats another marker";
        EXPECT_EQ(markers.Classify(text), column) << text;
    }
    // The layout column's marker is export's only: import ignores that column.
    EXPECT_EQ(markers.Classify(ResourceString(IDS_MARKER_LAYOUT)), PropertyColumn::None);
}

using PropertyMarkersTest = LeakCheckedTest;

TEST_F(PropertyMarkersTest, MatchIsWholeTextAndCaseSensitive)
{
    const PropertyMarkers markers({"mx", "my", "mz", "rot", "sx", "sy", "sz", "layer"});
    EXPECT_EQ(markers.Classify("mx"), PropertyColumn::X);
    EXPECT_EQ(markers.Classify("MX"), PropertyColumn::None);
    EXPECT_EQ(markers.Classify("mx "), PropertyColumn::None);
    EXPECT_EQ(markers.Classify("m"), PropertyColumn::None);
    EXPECT_EQ(markers.Classify("layer"), PropertyColumn::Layer);
    EXPECT_EQ(markers.Classify(""), PropertyColumn::None);
}

TEST_F(PropertyMarkersTest, MissingMarkerTextMatchesNothing)
{
    const PropertyMarkers markers({"", "my", "mz", "rot", "sx", "sy", "sz", ""});
    EXPECT_EQ(markers.Classify(""), PropertyColumn::None);
    EXPECT_EQ(markers.Classify("my"), PropertyColumn::Y);
}

} // namespace
