// The host's menus as an application meets them: MENULOAD of a
// customization file (only while CMDDIA is 0), acedMenuCmd placing a
// pull-down on the main window's menu bar, -TOOLBAR, the system variables
// and acedCommand's echo, and a pick that types the item's macro.
#include "support/host_fixture.h"
#include "support/scratch_dir.h"

#include <acdocman.h>
#include <acedads.h>
#include <windows.h>

#include <vector>

namespace {

const char kCui[] = R"(<?xml version="1.0" encoding="utf-8"?>
<CustSection>
  <MenuGroup Name="TESTGRP">
    <MenuRoot>
      <PopMenuRoot>
        <PopMenu UID="POP1"><Alias>POP1</Alias><Name>&amp;Tools2</Name>
          <PopMenuItem><Name>Run &amp;it...</Name><MenuItem><MacroRef MenuMacroID="M1"/></MenuItem></PopMenuItem>
          <PopMenuItem Separator="true"/>
        </PopMenu>
      </PopMenuRoot>
      <ToolbarRoot>
        <Toolbar UID="TB1" ToolbarVisible="hide"><Alias>tb_one</Alias><Name>One</Name>
          <ToolbarButton><Name>Go</Name><MacroRef MenuMacroID="M1"/></ToolbarButton>
        </Toolbar>
      </ToolbarRoot>
    </MenuRoot>
    <MacroGroup Name="TESTGRP">
      <MenuMacro UID="M1"><Macro><Name>Run</Name><Command>^C^Cmycmd;Key;;</Command></Macro></MenuMacro>
    </MacroGroup>
  </MenuGroup>
</CustSection>
)";

class HostMenusTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        WriteFileBytes(dir.File("test.cui"), kCui);
    }
    static void SetVar(const char* name, short value)
    {
        resbuf rb {};
        rb.restype = RTSHORT;
        rb.resval.rint = value;
        ASSERT_EQ(acedSetVar(name, &rb), RTNORM);
    }
    int MenuLoad(const std::string& file)
    {
        return acedCommand(RTSTR, "_.menuload", RTSTR, file.c_str(), RTNONE);
    }
    static std::vector<std::string> BarTexts()
    {
        std::vector<std::string> texts;
        HMENU bar = GetMenu(adsw_acadMainWnd());
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            char text[64];
            GetMenuStringA(bar, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            texts.push_back(text);
        }
        return texts;
    }

    ScratchDir dir;
};

// Native: CMDECHO and CMDDIA are RTSHORT; a bad value is RTREJ, an unknown name RTERROR.
TEST_F(HostMenusTest, SystemVariablesAreSixteenBitSwitches)
{
    resbuf rb {};
    ASSERT_EQ(acedGetVar("cmdecho", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSHORT);
    EXPECT_EQ(rb.resval.rint, 1);
    SetVar("CMDDIA", 0);
    EXPECT_EQ(host.systemVariable("cmddia"), 0);
    rb.restype = RTSHORT;
    rb.resval.rint = 2;
    EXPECT_EQ(acedSetVar("cmddia", &rb), RTREJ) << "out of range";
    rb.restype = RTSTR;
    EXPECT_EQ(acedSetVar("cmddia", &rb), RTREJ) << "another type";
    EXPECT_EQ(host.systemVariable("cmddia"), 0);
    EXPECT_EQ(acedGetVar("NOSUCHVAR", &rb), RTERROR);
}

// Native: with CMDECHO 0 a command run from an application shows neither prompts nor answers.
TEST_F(HostMenusTest, MenuLoadNeedsCmddiaOffAndEchoesOnlyWithCmdecho)
{
    EXPECT_EQ(MenuLoad(dir.File("test.cui")), RTNORM);
    EXPECT_FALSE(acedIsMenuGroupLoaded("TESTGRP")) << "with CMDDIA 1 the command opens its dialog instead";
    SetVar("cmddia", 0);
    SetVar("cmdecho", 0);
    commandLine.output.clear();
    EXPECT_EQ(MenuLoad("Z:" + dir.File("test.cui")), RTNORM);
    EXPECT_TRUE(acedIsMenuGroupLoaded("testgrp"));
    EXPECT_EQ(commandLine.output, "") << "no echo and no report with CMDECHO 0";
    SetVar("cmdecho", 1);
    commandLine.output.clear();
    EXPECT_EQ(MenuLoad(dir.File("test.cui")), RTNORM);
    EXPECT_NE(commandLine.output.find("Command: _.menuload"), std::string::npos);
    EXPECT_NE(commandLine.output.find("already loaded"), std::string::npos);
    EXPECT_EQ(acedCommand(RTSTR, "nosuchcommand", RTNONE), RTERROR);
}

// Native: a customization file that cannot be read loads no part of its group.
TEST_F(HostMenusTest, DamagedFilesLoadNothingAndNestedMenusAreSkipped)
{
    SetVar("cmddia", 0);
    const std::string damaged[] = {
        "<CustSection><MenuGroup Name=\"TESTGRP\">",                         // cut short
        "<CustSection><MenuGroup><MenuRoot/></MenuGroup></CustSection>",      // no group name
        std::string(kCui).replace(std::string(kCui).find("MenuMacroID=\"M1\""), 16, "MenuMacroID=\"M9\""),
    };
    for (const std::string& bytes : damaged) {
        WriteFileBytes(dir.File("bad.cui"), bytes);
        commandLine.output.clear();
        EXPECT_EQ(MenuLoad(dir.File("bad.cui")), RTNORM);
        EXPECT_FALSE(acedIsMenuGroupLoaded("TESTGRP")) << bytes;
        EXPECT_NE(commandLine.output.find("Error loading customization file"), std::string::npos);
    }
    // A menu nested in an item, which the format does not have, is not read
    // and does not disturb the menu around it (a crash the fuzzer found).
    std::string nested = kCui;
    nested.insert(nested.find("</PopMenuItem>"), "<PopMenuRoot><PopMenu UID=\"IN\"><Name>In</Name></PopMenu></PopMenuRoot>");
    WriteFileBytes(dir.File("nested.cui"), nested);
    EXPECT_EQ(MenuLoad(dir.File("nested.cui")), RTNORM);
    ASSERT_TRUE(acedIsMenuGroupLoaded("TESTGRP"));
    EXPECT_EQ(acedMenuCmd("P0=+TESTGRP.IN"), RTERROR);
    EXPECT_EQ(acedMenuCmd("P0=+TESTGRP.POP1"), RTNORM);
    char text[32] = "";
    GetMenuStringA(GetSubMenu(GetMenu(adsw_acadMainWnd()), 0), 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Run &it...");
}

TEST_F(HostMenusTest, AMissingFileLoadsNothing)
{
    SetVar("cmddia", 0);
    EXPECT_EQ(MenuLoad(dir.File("absent.cui")), RTNORM);
    EXPECT_FALSE(acedIsMenuGroupLoaded("TESTGRP"));
    EXPECT_EQ(acedMenuCmd("P3=+TESTGRP.pop1"), RTERROR) << "a group that is not loaded";
}

// Native: "Pn=+GROUP.MENU" inserts at the host's position n; a maximised child's icon is not counted.
TEST_F(HostMenusTest, MenuCmdInsertsThePullDownAtItsPosition)
{
    host.setMenuBarTitles({"&File", "&Edit", "&Help"});
    SetVar("cmddia", 0);
    MenuLoad(dir.File("test.cui"));
    EXPECT_EQ(acedMenuCmd("P2=+TESTGRP.nosuchmenu"), RTERROR);
    EXPECT_EQ(acedMenuCmd("P2+TESTGRP.pop1"), RTERROR);
    EXPECT_EQ(acedMenuCmd("P2=+testgrp.POP1"), RTNORM);
    EXPECT_EQ(BarTexts(), (std::vector<std::string>{"&File", "&Edit", "&Tools2", "&Help"}));

    // A maximised document window: its icon first, its buttons last, all
    // untitled; the host's positions do not count them.
    host.setDocumentMaximised(true);
    EXPECT_EQ(BarTexts(), (std::vector<std::string>{"", "&File", "&Edit", "&Tools2", "&Help", "", "", ""}));
    HMENU popup = GetSubMenu(GetMenu(adsw_acadMainWnd()), 3);
    char text[32];
    EXPECT_EQ(GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION), 10);
    EXPECT_STREQ(text, "Run &it...");
    EXPECT_EQ(acedMenuCmd("P99=+TESTGRP.pop1"), RTNORM) << "past the end appends";
    EXPECT_EQ(BarTexts()[5], "&Tools2");
}

// Native: a macro's ^C cancels and ; is Enter; -TOOLBAR takes GROUP.NAME and Show/Hide.
TEST_F(HostMenusTest, ToolbarsShowAndPicksTypeTheirMacro)
{
    SetVar("cmddia", 0);
    MenuLoad(dir.File("test.cui"));
    std::string error;
    EXPECT_FALSE(host.pickMenuItem("Run it", false, error)) << "the pull-down is not on the bar yet";
    EXPECT_FALSE(host.pickMenuItem("Go", true, error)) << "a hidden toolbar has no buttons to click";
    EXPECT_FALSE(host.isToolbarVisible("TESTGRP.tb_one"));
    EXPECT_EQ(acedCommand(RTSTR, "_.-toolbar", RTSTR, "TESTGRP.tb_one", RTSTR, "_show", RTNONE), RTNORM);
    EXPECT_TRUE(host.isToolbarVisible("tb_one"));
    EXPECT_EQ(host.visibleToolbarLines(), std::vector<std::string>{"Toolbar One: [Go]"});
    commandLine.output.clear();
    acedCommand(RTSTR, "_.-toolbar", RTSTR, "gwell.nosuch", RTSTR, "_show", RTNONE);
    EXPECT_NE(commandLine.output.find("No toolbar named"), std::string::npos);

    ASSERT_TRUE(host.pickMenuItem("go", true, error)) << error;
    acedMenuCmd("P0=+TESTGRP.pop1");
    ASSERT_TRUE(host.pickMenuItem("RUN IT", false, error)) << "any case, without & and ...";
    // "^C^C" cancels; ";" is Enter, so "mycmd;Key;;" is three lines.
    std::vector<std::string> typed;
    std::string line;
    while (HostHasPendingInput() && HostReadInputLine(line) == HostInputResult::Line)
        typed.push_back(line);
    EXPECT_EQ(typed, (std::vector<std::string>{"mycmd", "Key", "", "mycmd", "Key", ""}));
    acedCommand(RTSTR, "_.-toolbar", RTSTR, "One", RTSTR, "_hide", RTNONE);
    EXPECT_FALSE(host.isToolbarVisible("TESTGRP.tb_one"));
}

} // namespace
