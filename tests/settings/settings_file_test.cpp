// The settings file the options dialog loads and saves.
#include "settings/settings_file.h"
#include "support/leak_checked_test.h"

#include "win32/dos_path.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

Settings Unusual()
{
    Settings s;
    s.WorkbookSettings = 1;
    s.WorksheetSettings = 1;
    s.ExportStartRow = -7;
    s.AddHeader = true;
    s.BlockNames = false;
    s.YCoord = false;
    s.OddLine = true;
    s.IncludeConstant = true;
    s.Scale = false;
    s.JTSK = true;
    s.AsText = false;
    s.Selection = true;
    s.ImportSettings = 3;
    s.IgnoreProps = false;
    s.StartCol = 256;
    s.ImportStartRow = 65536;
    return s;
}

class SettingsFile : public LeakCheckedTest {
protected:
    ScratchDir scratch;
    std::string path = scratch.File("options.ini");
    std::string dosPath = DosPathFromUnix(path);
};

TEST_F(SettingsFile, SavesBothSectionsInOrderAndLoadsThemBack)
{
    ASSERT_TRUE(SaveSettingsFile(dosPath.c_str(), Unusual()));
    EXPECT_EQ(ReadFileBytes(path),
              "[Export]\r\nAddHeader=1\r\nAutoConnect=0\r\nBlockNames=0\r\nXCoord=1\r\nYCoord=0\r\nZCoord=1\r\n"
              "LayerNames=1\r\nLayoutNames=0\r\nOddLine=1\r\nRotation=1\r\nScale=0\r\nSort=0\r\nStartRow=-7\r\n"
              "WorkbookSettings=1\r\nWorksheetSettings=1\r\nIncludeConstant=1\r\nJTSK=1\r\nNoAutofit=0\r\n"
              "AsText=0\r\nFindNextBlankLine=0\r\nExportAttPrompts=0\r\nSelection=1\r\n"
              "[Import]\r\nImportSettings=3\r\nIgnoreProps=0\r\nStartCol=256\r\nStartRow=65536\r\n");
    Settings loaded;
    LoadSettingsFile(dosPath.c_str(), loaded);
    EXPECT_EQ(loaded, Unusual());

    // Saving over an existing file updates it in place.
    ASSERT_TRUE(SaveSettingsFile(dosPath.c_str(), Settings{}));
    LoadSettingsFile(dosPath.c_str(), loaded);
    EXPECT_EQ(loaded, Settings{});
}

TEST_F(SettingsFile, LoadsWhatItCanFromAnUntidyFile)
{
    WriteFileBytes(path,
                   "garbage before any section\n"
                   "[import]\n"
                   "startcol = 12abc\n"
                   "StartRow=\n"
                   "IgnoreProps= \"0\" \n"
                   "[Export]\n"
                   "~~~ not a line of ours ~~~\n"
                   "; StartRow=99\n"
                   "StartRow=  -3 rows\n"
                   "BlockNames=no\n"
                   "XCoord=2\n"
                   "WorkbookSettings=99999999999\n"
                   "WorksheetSettings=-99999999999\n"
                   "Sort=+1\n"
                   "AsText=\n"
                   "\x01\x02\xff=binary\n");
    Settings s = Unusual();
    LoadSettingsFile(path.c_str(), s);
    Settings expected = Unusual();
    expected.StartCol = 12;
    expected.IgnoreProps = false;
    expected.ExportStartRow = -3;
    expected.BlockNames = false; // text without a number counts as 0
    expected.XCoord = true;
    expected.WorkbookSettings = INT_MAX;
    expected.WorksheetSettings = INT_MIN;
    expected.Sort = true;
    // Missing or empty entries (Import StartRow, AsText, ...) leave their fields.
    EXPECT_EQ(s, expected);
}

TEST_F(SettingsFile, AMissingFileChangesNothingAndAnUnwritableOneFails)
{
    Settings s = Unusual();
    LoadSettingsFile(path.c_str(), s);
    EXPECT_EQ(s, Unusual());
    EXPECT_FALSE(SaveSettingsFile(scratch.File("missing/folder.ini").c_str(), s));
}

} // namespace
