// C:init_gwell's menu set-up and the Toolbar keyword through the host: the
// group GWELL16 loaded once, its pull-down just before the last titled item
// of the menu bar (one position less with a maximised document window's
// icon), CMDECHO and CMDDIA given back, and nothing run for a menu file
// that is missing or damaged.
#include "support/host_fixture.h"
#include "support/scratch_dir.h"

#include "app/gwell_app.h"
#include "cmd/dispatch_keyword.h"
#include "cmd/menu_setup.h"

#include <acdocman.h>
#include <acedads.h>
#include <windows.h>

#include <filesystem>
#include <vector>

namespace {

// The module attached from `folder`, which holds the resource module and
// whatever menu file the test puts there.
class MenuSetupTest : public HostFixture {
protected:
    void TearDown() override
    {
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
    static void SetVar(const char* name, short value)
    {
        resbuf rb {};
        rb.restype = RTSHORT;
        rb.resval.rint = value;
        acedSetVar(name, &rb);
    }
    static std::vector<std::string> BarTexts()
    {
        std::vector<std::string> texts;
        HMENU bar = GetMenu(adsw_acadMainWnd());
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            char text[64] = "";
            GetMenuStringA(bar, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            texts.push_back(text);
        }
        return texts;
    }

    HMODULE module = nullptr;
    ScratchDir dir;
};

TEST_F(MenuSetupTest, ThePullDownLandsBeforeHelpOnceAndTheVariablesComeBack)
{
    AttachFrom(GW_BIN_DIR);
    SetVar("cmdecho", 1);
    SetVar("cmddia", 1);
    EXPECT_EQ(InitGwellMenu(), RSRSLT);
    EXPECT_TRUE(acedIsMenuGroupLoaded("GWELL16"));
    std::vector<std::string> bar = BarTexts();
    ASSERT_EQ(bar.size(), 12u);
    EXPECT_EQ(bar[10], "&Gridwell");
    EXPECT_EQ(bar[11], "&Help");
    EXPECT_EQ(host.systemVariable("cmdecho"), 1);
    EXPECT_EQ(host.systemVariable("cmddia"), 1);
    EXPECT_EQ(commandLine.output.find("Command:"), std::string::npos) << "the menu load was not echoed";

    // A second run (another document) finds the group loaded and does nothing.
    InitGwellMenu();
    EXPECT_EQ(BarTexts().size(), 12u);
}

TEST_F(MenuSetupTest, AMaximisedDocumentWindowCountsOneLess)
{
    AttachFrom(GW_BIN_DIR);
    host.setDocumentMaximised(true);
    EXPECT_EQ(MenuInsertionPosition(), 10) << "Help is item 11 after the untitled icon";
    InitGwellMenu();
    const std::vector<std::string> bar = BarTexts();
    ASSERT_EQ(bar.size(), 16u);
    EXPECT_EQ(bar[0], "");
    EXPECT_EQ(bar[11], "&Gridwell");
    EXPECT_EQ(bar[12], "&Help") << "still just before the last titled item";
}

TEST_F(MenuSetupTest, ShortAndOddMenuBars)
{
    host.setMenuBarTitles({"&File", "&Help"});
    EXPECT_EQ(MenuInsertionPosition(), 0) << "fewer than 3 items";
    host.setMenuBarTitles({"&File", "&Edit", "&View", "&Help"});
    EXPECT_EQ(MenuInsertionPosition(), 3);
    host.setMenuBarTitles({"&File", "&Edit", "", ""});
    EXPECT_EQ(MenuInsertionPosition(), 0) << "the last titled item is below 3";
    host.setMenuBarTitles({"", "", "", ""});
    EXPECT_EQ(MenuInsertionPosition(), 0) << "no titled item at all";
    SetMenu(adsw_acadMainWnd(), nullptr);
    EXPECT_EQ(MenuInsertionPosition(), -1) << "no menu bar";

    // Without a menu bar the pull-down goes to position 9 of the host's bar.
    AttachFrom(GW_BIN_DIR);
    host.setMenuBarTitles(AcadHost::defaultMenuBarTitles());
    SetMenu(adsw_acadMainWnd(), nullptr);
    InitGwellMenu();
    const std::vector<std::string> bar = BarTexts();
    ASSERT_EQ(bar.size(), 12u);
    EXPECT_EQ(bar[9], "&Gridwell");
    EXPECT_EQ(bar[10], "&Window");
}

TEST_F(MenuSetupTest, AMissingMenuFileLeavesTheGroupUnloadedAndTheToolbarUnasked)
{
    AttachFrom(dir.Path());
    // Whatever the user's values, they come back.
    SetVar("cmdecho", 0);
    SetVar("cmddia", 1);
    InitGwellMenu();
    EXPECT_FALSE(acedIsMenuGroupLoaded("GWELL16"));
    EXPECT_EQ(BarTexts().size(), 11u);
    EXPECT_EQ(host.systemVariable("cmdecho"), 0);
    EXPECT_EQ(host.systemVariable("cmddia"), 1);
    SetVar("cmdecho", 1);
    commandLine.output.clear();
    EXPECT_TRUE(ShowToolbar());
    EXPECT_EQ(commandLine.output.find("toolbar"), std::string::npos) << "-TOOLBAR did not run: " << commandLine.output;
}

TEST_F(MenuSetupTest, ADamagedMenuFileIsReportedOnceAndLoadsNothing)
{
    WriteFileBytes(dir.File("gwmenu16.cui"), "<CustSection><MenuGroup Name=\"GWELL16\"><MenuRoot>");
    AttachFrom(dir.Path());
    InitGwellMenu();
    EXPECT_FALSE(acedIsMenuGroupLoaded("GWELL16"));
    const std::string& out = commandLine.output;
    const std::size_t first = out.find("Error loading customization file");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(out.find("Error loading", first + 1), std::string::npos);
}

TEST_F(MenuSetupTest, TheToolbarKeywordShowsTheToolbarQuietly)
{
    AttachFrom(GW_BIN_DIR);
    SetVar("cmdecho", 1);
    Type({"Toolbar"});
    EXPECT_TRUE(DispatchKeyword());
    EXPECT_TRUE(host.isToolbarVisible("gwell.tb_gwell"));
    EXPECT_EQ(commandLine.output.find("Command: _.-toolbar"), std::string::npos);
    EXPECT_EQ(host.systemVariable("cmdecho"), 1);
    // Every button types gwell with one of its keywords.
    std::string error;
    ASSERT_TRUE(host.pickMenuItem("Import", true, error)) << error;
    std::string line;
    ASSERT_EQ(HostReadInputLine(line), HostInputResult::Line);
    EXPECT_EQ(line, "gwell");
    ASSERT_EQ(HostReadInputLine(line), HostInputResult::Line);
    EXPECT_EQ(line, "Import");
    while (HostHasPendingInput())
        HostReadInputLine(line);
}

} // namespace
