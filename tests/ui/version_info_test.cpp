// CVersionInfo over the module files' version resources: the versions as
// "a.b.c.d" from the fixed information, one string-table text on request,
// empty texts when the file has no resource.
#include "support/leak_checked_test.h"

#include "ui/version_info.h"

namespace {

using CVersionInfoTest = LeakCheckedTest;

TEST_F(CVersionInfoTest, VersionsAndAStringValueOfAFile)
{
    const CVersionInfo info(GW_BIN_DIR "/version_test_module.so", "040904b0", "CompanyName");
    EXPECT_EQ(info.FileVersion(), "16.2.54.300");
    EXPECT_EQ(info.ProductVersion(), "7.0.9.1");
    EXPECT_EQ(info.StringValue(), "Test \"Quoted\" Co");
    const CVersionInfo other(GW_BIN_DIR "/version_test_module.so", "040704b0", "CompanyName");
    EXPECT_EQ(other.StringValue(), "Testfirma");
    const CVersionInfo none(GW_BIN_DIR "/version_test_module.so", "040904b0", "NoSuchValue");
    EXPECT_EQ(none.StringValue(), "");
    EXPECT_EQ(none.FileVersion(), "16.2.54.300");
}

TEST_F(CVersionInfoTest, TheLoadedModulesOwnVersion)
{
    HMODULE resources = LoadLibraryA(GW_BIN_DIR "/gwell16res.dll");
    ASSERT_NE(resources, nullptr);
    const CVersionInfo info(resources, "040904b0", "ProductName");
    FreeLibrary(resources);
    EXPECT_EQ(info.FileVersion(), GW_PROJECT_VERSION);
    EXPECT_EQ(info.StringValue(), "Gridwell");
}

TEST_F(CVersionInfoTest, NoResourceLeavesEveryTextEmpty)
{
    for (const char* file : {GW_BIN_DIR "/hhctrl.ocx", GW_BIN_DIR "/absent.dll"}) {
        const CVersionInfo info(file, "040904b0", "ProductName");
        EXPECT_EQ(info.FileVersion(), "") << file;
        EXPECT_EQ(info.ProductVersion(), "") << file;
        EXPECT_EQ(info.StringValue(), "") << file;
    }
}

} // namespace
