// The columns, labels, markers and values one reference becomes.
#include "common/number_text.h"
#include "export/export_rows.h"
#include "support/leak_checked_test.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Texts = std::vector<std::string>;

// Resource texts stand in as "#<id>", so a test sees which string went where.
std::string IdText(unsigned id) { return "#" + std::to_string(id); }

ValueFormats Formats()
{
    return {[](double v) {
                char buffer[64];
                std::snprintf(buffer, sizeof buffer, "L%.2f", v);
                return std::string(buffer);
            },
            [](double v) {
                char buffer[64];
                std::snprintf(buffer, sizeof buffer, "A%.3f", v);
                return std::string(buffer);
            }};
}

Settings ColumnsOff()
{
    Settings settings;
    settings.BlockNames = settings.XCoord = settings.YCoord = settings.ZCoord = false;
    settings.Rotation = settings.Scale = settings.LayerNames = settings.LayoutNames = false;
    return settings;
}

ReferenceData Door()
{
    ReferenceData door;
    door.handle = "2F4";
    door.blockName = "DOOR";
    door.attributes = {{"NUMBER", "Door number?", "12", false}, {"WIDTH", "Width?", "0.9", false}};
    door.position[0] = 1.5;
    door.position[1] = -2;
    door.position[2] = 3;
    door.rotation = 0.5;
    door.scale[0] = -1;
    door.scale[1] = 2;
    door.scale[2] = 3;
    door.layer = "Doors";
    door.layout = "Model";
    return door;
}

} // namespace

using ExportRowsTest = LeakCheckedTest;

TEST_F(ExportRowsTest, BlockNameAttributesAndTwoCoordinates)
{
    Settings settings = ColumnsOff();
    settings.BlockNames = settings.XCoord = settings.YCoord = true;
    ExportRows rows = BuildExportRows(Door(), settings, Formats(), IdText);
    EXPECT_EQ(rows.labels, (Texts{"#12", "NUMBER", "WIDTH", "#13", "#15"}));
    EXPECT_EQ(rows.notes, (Texts{"", "", "", "#14", "#16"}));
    EXPECT_EQ(rows.values, (Texts{"2F4", "DOOR", "12", "0.9", "L1.50", "L-2.00"}));
    EXPECT_EQ(rows.prompts, (Texts{"", "Door number?", "Width?"}));
}

TEST_F(ExportRowsTest, EveryPropertyColumnInItsPlace)
{
    Settings settings = ColumnsOff();
    settings.XCoord = settings.YCoord = settings.ZCoord = settings.Rotation = true;
    settings.Scale = settings.LayerNames = settings.LayoutNames = true;
    ExportRows rows = BuildExportRows(Door(), settings, Formats(), IdText);
    EXPECT_EQ(rows.labels, (Texts{"NUMBER", "WIDTH", "#13", "#15", "#17", "#19", "#21", "#23", "#25", "#27", "#29"}));
    EXPECT_EQ(rows.notes, (Texts{"", "", "#14", "#16", "#18", "#20", "#22", "#24", "#26", "#28", "#30"}));
    EXPECT_EQ(rows.values, (Texts{"2F4", "12", "0.9", "L1.50", "L-2.00", "L3.00", "A0.500", "L-1.00", "L2.00",
                                  "L3.00", "Doors", "Model"}));
    EXPECT_EQ(rows.prompts.size(), 2u) << "property columns have no prompt";

    // Without a layout name from the host the column is left out.
    ReferenceData noLayout = Door();
    noLayout.layout.reset();
    EXPECT_EQ(BuildExportRows(noLayout, settings, Formats(), IdText).labels.back(), "#27");
}

TEST_F(ExportRowsTest, NoColumnsLeavesOnlyTheHandle)
{
    ReferenceData bare = Door();
    bare.attributes.clear();
    ExportRows rows = BuildExportRows(bare, ColumnsOff(), Formats(), IdText);
    EXPECT_EQ(rows.values, Texts{"2F4"});
    EXPECT_TRUE(rows.labels.empty());
    EXPECT_TRUE(rows.notes.empty());
    EXPECT_TRUE(rows.prompts.empty());
}

TEST_F(ExportRowsTest, JtskDropsTheSignOfCoordinatesOnly)
{
    Settings settings = ColumnsOff();
    settings.XCoord = settings.YCoord = settings.ZCoord = settings.Rotation = settings.Scale = true;
    settings.JTSK = true;
    ReferenceData door = Door();
    door.attributes.clear();
    door.position[0] = -7.5;
    door.position[1] = -10.25;
    door.position[2] = -12;
    door.rotation = -0.25;
    ExportRows rows = BuildExportRows(door, settings, Formats(), IdText);
    EXPECT_EQ(rows.values, (Texts{"2F4", "L7.50", "L10.25", "L12.00", "A-0.250", "L-1.00", "L2.00", "L3.00"}));
    EXPECT_TRUE(std::isnan(JtskCoordinate(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(JtskCoordinate(0.0), 0.0);
}

TEST_F(ExportRowsTest, SortOrdersAttributeColumnsByTagWithoutCase)
{
    Settings settings = ColumnsOff();
    settings.BlockNames = true;
    settings.Sort = true;
    ReferenceData reference = Door();
    reference.attributes = {{"beta", "b?", "2", false}, {"Alpha", "a?", "1", false}, {"gamma", "g?", "3", false}};
    ExportRows rows = BuildExportRows(reference, settings, Formats(), IdText);
    EXPECT_EQ(rows.labels, (Texts{"#12", "Alpha", "beta", "gamma"}));
    EXPECT_EQ(rows.values, (Texts{"2F4", "DOOR", "1", "2", "3"}));
    EXPECT_EQ(rows.prompts, (Texts{"", "a?", "b?", "g?"}));

    settings.Sort = false;
    EXPECT_EQ(BuildExportRows(reference, settings, Formats(), IdText).labels,
              (Texts{"#12", "beta", "Alpha", "gamma"}));
}

TEST_F(ExportRowsTest, ConstantAttributesOnlyWithIncludeConstant)
{
    Settings settings = ColumnsOff();
    ReferenceData reference = Door();
    reference.attributes.insert(reference.attributes.begin(), {"KIND", "Kind?", "fire door", true});
    settings.IncludeConstant = false;
    ExportRows rows = BuildExportRows(reference, settings, Formats(), IdText);
    EXPECT_EQ(rows.labels, (Texts{"NUMBER", "WIDTH"}));
    EXPECT_EQ(rows.prompts, (Texts{"Door number?", "Width?"}));
    settings.IncludeConstant = true;
    rows = BuildExportRows(reference, settings, Formats(), IdText);
    EXPECT_EQ(rows.labels, (Texts{"KIND", "NUMBER", "WIDTH"}));
    EXPECT_EQ(rows.values, (Texts{"2F4", "fire door", "12", "0.9"}));
}
