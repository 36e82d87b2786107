#include "support/host_fixture.h"
#include "support/leak_checked_test.h"

#include "common/resource_strings.h"
#include "cmd/dispatch_keyword.h"
#include "res/resource.h"

#include <loader.h>

#include <set>

namespace {

class DispatchKeywordTest : public AttachedModuleFixture {
protected:
    std::string Prompt() const { return ResourceString(IDS_GWELL_PROMPT); }
};

TEST_F(DispatchKeywordTest, Export4AndEscapeShowNothingButThePrompt)
{
    for (const char* answer : {"Export4", "export4", "^C"}) {
        commandLine.output.clear();
        Type({answer});
        EXPECT_FALSE(DispatchKeyword()) << answer;
        EXPECT_EQ(commandLine.output, Prompt()) << answer;
    }
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(DispatchKeywordTest, EndOfInputAtThePromptIsACancel)
{
    EXPECT_FALSE(DispatchKeyword());
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(DispatchKeywordTest, UnknownKeywordIsAskedAgainAndRunsNothing)
{
    Type({"Frobnicate", "Export4"});
    EXPECT_FALSE(DispatchKeyword());
    EXPECT_EQ(commandLine.output, Prompt() + "\nInvalid option keyword." + Prompt());
    EXPECT_TRUE(commandLine.input.empty());
}

TEST_F(DispatchKeywordTest, ConnectDisconnectAndHelpAlwaysSucceed)
{
    for (const char* keyword : {"Connect", "disconnect", "HELP", "_Help"}) {
        Type({keyword});
        EXPECT_TRUE(DispatchKeyword()) << keyword;
    }
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(DispatchKeywordTest, KeywordListHasEveryGlobalNameOfTheDispatchTable)
{
    const std::string list = ResourceString(IDS_GWELL_KEYWORDS);
    const std::string globals = list.substr(list.find(" _") + 2);
    EXPECT_EQ(globals,
        "Export Export2 Selection+export Export3 Export4 Import Options Connect Disconnect Import2 Toolbar Help");
}

using ResourceModuleTest = LeakCheckedTest;

TEST_F(ResourceModuleTest, PropertyColumnMarkersArePairwiseDistinct)
{
    // Import tells the property columns apart by these comments alone.
    HINSTANCE resources = LoadLibraryA(GW_BIN_DIR "/gwell16res.dll");
    ASSERT_NE(resources, nullptr);
    std::set<std::string> markers;
    for (UINT id = IDS_MARKER_X; id <= IDS_MARKER_LAYER; id += 2) {
        char text[256];
        ASSERT_GT(LoadStringA(resources, id, text, sizeof text), 0) << id;
        markers.insert(text);
    }
    EXPECT_EQ(markers.size(), 8u);
    // Every id the module asks for is there.
    for (UINT id : {1u, 2u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 29u, 30u, 31u, 35u, 36u, 37u, 38u, 39u, 40u, 41u,
             42u, 43u, 53u, 54u}) {
        char text[256];
        EXPECT_GT(LoadStringA(resources, id, text, sizeof text), 0) << id;
    }
    FreeLibrary(resources);
}

} // namespace
