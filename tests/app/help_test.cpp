// The keyword Help: hhctrl.ocx loaded on first use and kept until the module
// goes, its entry point found by ordinal, the help file beside the module;
// nothing shown when the viewer or its entry point is missing. And the
// manual itself: every keyword and every option of the module is in it.
#include "support/environment_scope.h"
#include "support/host_fixture.h"
#include "support/scratch_dir.h"

#include "app/gwell_app.h"
#include "app/help.h"
#include "cmd/dispatch_keyword.h"
#include "common/resource_strings.h"
#include "res/resource.h"
#include "settings/settings_fields.h"

#include <loader.h>
#include <shell.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

class HelpTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        environment.WithoutDesktop();
        // No viewer is ever started by these tests.
        before = SetShellLauncher(&launcher);
    }
    void TearDown() override
    {
        SetShellLauncher(before);
        if (module) {
            TheGwellApp().DetachProcess();
            FreeLibrary(module);
        }
        HostFixture::TearDown();
    }
    void AttachFrom(const std::string& folder)
    {
        if (folder != GW_BIN_DIR)
            std::filesystem::copy_file(GW_BIN_DIR "/gwell16res.dll", folder + "/gwell16res.dll");
        module = LoadLibraryA((folder + "/gwell16res.dll").c_str());
        ASSERT_NE(module, nullptr);
        ASSERT_TRUE(TheGwellApp().AttachProcess(module));
    }

    EnvironmentScope environment;
    RecordingShellLauncher launcher;
    ShellLauncher* before = nullptr;
    HMODULE module = nullptr;
    ScratchDir dir;
};

TEST_F(HelpTest, TheViewerIsLoadedOnceAndKeptUntilTheModuleGoes)
{
    AttachFrom(GW_BIN_DIR);
    const int modules = LoaderOpenModuleCount();
    OpenHelp();
    OpenHelp();
    EXPECT_EQ(LoaderOpenModuleCount(), modules + 1);
    EXPECT_NE(TheGwellApp().HelpLibrary(), nullptr);
    const std::string line = "\nHelp: " GW_BIN_DIR "/gwell.html\n";
    EXPECT_EQ(commandLine.output, line + line);
    EXPECT_TRUE(messageBoxes.boxes.empty());
    TheGwellApp().DetachProcess();
    EXPECT_EQ(LoaderOpenModuleCount(), modules) << "freed with the module";
    EXPECT_EQ(TheGwellApp().HelpLibrary(), nullptr);
    FreeLibrary(module);
    module = nullptr;
}

TEST_F(HelpTest, AMissingViewerOrEntryPointShowsNothing)
{
    AttachFrom(GW_BIN_DIR);
    LoaderFailLoadsOf("hhctrl.ocx", 1);
    OpenHelp();
    EXPECT_EQ(TheGwellApp().HelpLibrary(), nullptr);
    LoaderFailProcAddressOf("hhctrl.ocx", 1);
    OpenHelp();
    EXPECT_NE(TheGwellApp().HelpLibrary(), nullptr) << "the library stays loaded for the next time";
    EXPECT_EQ(commandLine.output, "");
    EXPECT_TRUE(messageBoxes.boxes.empty());
    OpenHelp();
    EXPECT_EQ(commandLine.output, "\nHelp: " GW_BIN_DIR "/gwell.html\n");
}

TEST_F(HelpTest, AMissingHelpFileIsTheViewersToReport)
{
    AttachFrom(dir.Path());
    Type({"help"});
    EXPECT_TRUE(DispatchKeyword()) << "Help always yields true";
    // The module names the file as its directory reads: a DOS path.
    std::string dosFolder = "Z:" + dir.Path();
    std::replace(dosFolder.begin(), dosFolder.end(), '/', '\\');
    const std::size_t report = commandLine.output.find("\nHTML Help:");
    ASSERT_NE(report, std::string::npos) << commandLine.output;
    EXPECT_EQ(commandLine.output.substr(report), "\nHTML Help: cannot open the file " + dosFolder + "\\gwell.chm.\n");
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

// The global keyword names of the keyword list (after its "_").
std::vector<std::string> GlobalKeywords(const std::string& list)
{
    std::istringstream words(list);
    std::vector<std::string> global;
    std::string word;
    bool inGlobal = false;
    while (words >> word) {
        if (word.front() == '_') {
            inGlobal = true;
            word.erase(0, 1);
        }
        if (inGlobal)
            global.push_back(word);
    }
    return global;
}

TEST_F(HelpTest, TheManualDocumentsEveryKeywordAndOption)
{
    AttachFrom(GW_BIN_DIR);
    const std::string manual = ReadFileBytes(GW_BIN_DIR "/gwell.html");
    ASSERT_FALSE(manual.empty());
    std::vector<std::string> keywords;
    {
        ResourceSourceScope resources;
        keywords = GlobalKeywords(ResourceString(IDS_GWELL_KEYWORDS));
    }
    ASSERT_GE(keywords.size(), 12u);
    for (const std::string& keyword : keywords)
        EXPECT_NE(manual.find("<code>" + keyword + "</code>"), std::string::npos) << "keyword " << keyword;
    std::size_t options = 0;
    for (const auto fields : {ExportFields(), ImportFields()}) {
        for (const SettingsField& field : fields) {
            EXPECT_NE(manual.find("<td><code>" + std::string(field.name) + "</code>"), std::string::npos)
                << "option " << field.name << " has no row in the options tables";
            ++options;
        }
    }
    EXPECT_EQ(options, 26u);
    for (const char* name : {"gwell", "gwtest", "--watch-book", "--registry", "menu pick ITEM", "Connect", "Disconnect"})
        EXPECT_NE(manual.find(name), std::string::npos) << name;
}

} // namespace
