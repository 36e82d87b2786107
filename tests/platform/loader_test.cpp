#include "loader.h"
#include "windows.h"
#include "support/leak_checked_test.h"
#include "win32/dos_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kResourceModule = std::string(GW_BIN_DIR) + "/gwell16res.dll";

using LoaderTest = LeakCheckedTest;

TEST_F(LoaderTest, LoadsResourceStringsByIdAndCutsToTheBuffer)
{
    HMODULE res = LoadLibraryA(kResourceModule.c_str());
    ASSERT_NE(res, nullptr);
    char buffer[256];
    EXPECT_GT(LoadStringA(res, 12, buffer, sizeof buffer), 0);
    char small[4];
    EXPECT_EQ(LoadStringA(res, 12, small, sizeof small), 3);
    EXPECT_EQ(std::string(small).size(), 3u);
    EXPECT_EQ(LoadStringA(res, 9999, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(FreeLibrary(res));
    EXPECT_EQ(LoaderOpenModuleCount(), 0);
}

TEST_F(LoaderTest, ModuleFileNameIsADosPathThatLoadsAgain)
{
    HMODULE res = LoadLibraryA(kResourceModule.c_str());
    ASSERT_NE(res, nullptr);
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(res, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::string dos(path, length);
    EXPECT_EQ(dos.rfind("Z:\\", 0), 0u);
    EXPECT_EQ(dos.substr(dos.rfind('\\')), "\\gwell16res.dll");
    // Loading the same file through its DOS path hands back the same module.
    HMODULE again = LoadLibraryA(path);
    EXPECT_EQ(again, res);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_TRUE(FreeLibrary(res));
    EXPECT_FALSE(FreeLibrary(res));
}

TEST_F(LoaderTest, MissingModuleAndInjectedFailureSetTheLastError)
{
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("/nonexistent/nothing.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    LoaderFailLoadsOf("gwell16res.dll", 1);
    EXPECT_EQ(LoadLibraryA(kResourceModule.c_str()), nullptr);
    HMODULE res = LoadLibraryA(kResourceModule.c_str());
    EXPECT_NE(res, nullptr);
    FreeLibrary(res);
}

TEST_F(LoaderTest, ShortBufferCutsTheFileName)
{
    HMODULE res = LoadLibraryA(kResourceModule.c_str());
    ASSERT_NE(res, nullptr);
    char path[8];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(res, path, sizeof path), sizeof path);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(path).size(), 7u);
    FreeLibrary(res);
}

using DosPathTest = LeakCheckedTest;

TEST_F(DosPathTest, MapsBothWays)
{
    EXPECT_EQ(DosPathFromUnix("/a/b.dll"), "Z:\\a\\b.dll");
    EXPECT_EQ(UnixPathFromDos("Z:\\a\\b.dll"), "/a/b.dll");
    EXPECT_EQ(UnixPathFromDos("rel\\x.ini"), "rel/x.ini");
}

} // namespace
