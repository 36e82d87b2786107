// The private-profile functions: Windows' reading rules, buffer cutting, and
// how a write changes an existing file.
#include "windows.h"
#include "support/leak_checked_test.h"
#include "win32/dos_path.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PrivateProfile : public LeakCheckedTest {
protected:
    std::string Get(const char* section, const char* key, const char* fallback = "(none)")
    {
        char buffer[64];
        const DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, path.c_str());
        EXPECT_EQ(length, std::string(buffer).size());
        return buffer;
    }

    ScratchDir scratch;
    std::string path = scratch.File("settings.ini");
};

TEST_F(PrivateProfile, ReadsByWindowsRules)
{
    WriteFileBytes(path,
                   "; a comment line\r\n"
                   "top=before any section\r\n"
                   "[Other]\r\n"
                   "Key=other section\r\n"
                   "  [ export ]  \r\n"
                   "  Key  =   padded value   \r\n"
                   ";Hidden=commented out\r\n"
                   "Quoted=\"  kept blanks  \"\r\n"
                   "Single='x'\r\n"
                   "Unpaired=\"x\r\n"
                   "Inner=a \"b\" c\r\n"
                   "Empty=\r\n"
                   "key=second of two\r\n"
                   "garbage line without equals\n"
                   "Equals=a=b\n"
                   "[EXPORT]\n"
                   "Later=second section of the same name\n");
    EXPECT_EQ(Get("Export", "KEY"), "padded value");
    EXPECT_EQ(Get("other", "key"), "other section");
    EXPECT_EQ(Get("Export", "Quoted"), "  kept blanks  ");
    EXPECT_EQ(Get("Export", "Single"), "x");
    EXPECT_EQ(Get("Export", "Unpaired"), "\"x");
    EXPECT_EQ(Get("Export", "Inner"), "a \"b\" c");
    EXPECT_EQ(Get("Export", "Empty"), "");
    EXPECT_EQ(Get("Export", "Equals"), "a=b");
    EXPECT_EQ(Get("Export", "Hidden"), "(none)");
    EXPECT_EQ(Get("Export", ";Hidden"), "(none)");
    EXPECT_EQ(Get("Export", "top"), "(none)");
    EXPECT_EQ(Get("Export", "Later"), "(none)");
    EXPECT_EQ(Get("Missing", "Key"), "(none)");
    // The default loses its trailing blanks.
    EXPECT_EQ(Get("Export", "Nothing", "fallback   "), "fallback");
    EXPECT_EQ(Get("Export", "Nothing", nullptr), "");
}

TEST_F(PrivateProfile, CutsToTheCallersBuffer)
{
    using namespace std::string_literals;
    WriteFileBytes(path, "[S]\nK=abcdef\nNul=ab\0cd\n"s);
    char buffer[4] = "zzz";
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", buffer, sizeof buffer, path.c_str()), 3u);
    EXPECT_EQ(std::string(buffer), "abc");
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", buffer, 1, path.c_str()), 0u);
    EXPECT_EQ(std::string(buffer), "");
    EXPECT_EQ(GetPrivateProfileStringA("S", "None", "default", buffer, sizeof buffer, path.c_str()), 3u);
    EXPECT_EQ(std::string(buffer), "def");
    // A NUL byte in the file ends the value the caller sees.
    EXPECT_EQ(GetPrivateProfileStringA("S", "Nul", "", buffer, sizeof buffer, path.c_str()), 2u);
    EXPECT_EQ(std::string(buffer), "ab");
}

TEST_F(PrivateProfile, AMissingFileReadsAsEmpty)
{
    SetLastError(0);
    EXPECT_EQ(Get("S", "K", "d"), "d");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(FileExists(path));
}

TEST_F(PrivateProfile, WritesCreateAndUpdateInPlace)
{
    ASSERT_TRUE(WritePrivateProfileStringA("Export", "A", "1", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Export", "B", "2", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Import", "C", "3", path.c_str()));
    EXPECT_EQ(ReadFileBytes(path), "[Export]\r\nA=1\r\nB=2\r\n[Import]\r\nC=3\r\n");

    // An existing file keeps its comments and spelling; a new key goes after
    // its section's last entry, before the blank line that separates sections.
    WriteFileBytes(path, "; mine\n[export]\n  a = old\n\n[Import]\nc=3\n");
    ASSERT_TRUE(WritePrivateProfileStringA("Export", "A", "new", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("EXPORT", "B", "2", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Third", "D", "4", path.c_str()));
    EXPECT_EQ(ReadFileBytes(path), "; mine\r\n[export]\r\na=new\r\nB=2\r\n\r\n[Import]\r\nc=3\r\n[Third]\r\nD=4\r\n");
    EXPECT_EQ(Get("Export", "a"), "new");
}

TEST_F(PrivateProfile, TakesDosPathsAndFailsWithoutTheFolder)
{
    const std::string dos = DosPathFromUnix(path);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "v", dos.c_str()));
    char buffer[8];
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", buffer, sizeof buffer, dos.c_str()), 1u);
    EXPECT_EQ(std::string(buffer), "v");

    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "v", scratch.File("no/such/dir.ini").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(FileExists(scratch.File("no")));
}

} // namespace
