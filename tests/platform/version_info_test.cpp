// The version resource stand-in: what the resource script's VERSIONINFO
// block becomes and how GetFileVersionInfoA and VerQueryValueA answer for
// it, with Windows' errors for files without one.
#include "support/leak_checked_test.h"
#include "support/scratch_dir.h"

#include <windows.h>
#include <winver.h>

#include <vector>

namespace {

using VersionInfoTest = LeakCheckedTest;

const std::string kTestModule = GW_BIN_DIR "/version_test_module.so";

std::vector<BYTE> ReadBlock(const std::string& file)
{
    DWORD handle = 7;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    EXPECT_EQ(handle, 0u) << "the handle argument is always set to 0";
    std::vector<BYTE> block(size);
    if (size) {
        EXPECT_TRUE(GetFileVersionInfoA(file.c_str(), handle, size, block.data()));
    }
    return block;
}

std::string Text(const std::vector<BYTE>& block, const char* path, UINT* lengthOut = nullptr)
{
    LPVOID value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path, &value, &length))
        return "<none>";
    if (lengthOut)
        *lengthOut = length;
    return static_cast<const char*>(value);
}

// Native: "\" gives VS_FIXEDFILEINFO with the signature 0xFEEF04BD and the versions as high and low words.
TEST_F(VersionInfoTest, FixedInformationCarriesTheScriptsNumbers)
{
    const std::vector<BYTE> block = ReadBlock(kTestModule);
    ASSERT_FALSE(block.empty());
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, (16u << 16) | 2u);
    EXPECT_EQ(fixed->dwFileVersionLS, (54u << 16) | 300u);
    // A name defined on the compiler's command line (rc /D) is replaced.
    EXPECT_EQ(fixed->dwProductVersionLS, (9u << 16) | 1u);
    EXPECT_EQ(fixed->dwFileFlags, VS_FF_DEBUG);
    EXPECT_EQ(fixed->dwFileType, VFT_DLL);
}

// Native: a text's length counts characters with the terminator; Translation's counts bytes.
TEST_F(VersionInfoTest, StringTableValuesByBlockAndName)
{
    const std::vector<BYTE> block = ReadBlock(kTestModule);
    UINT length = 0;
    EXPECT_EQ(Text(block, "\\StringFileInfo\\040904b0\\CompanyName", &length), "Test \"Quoted\" Co");
    EXPECT_EQ(length, 17u) << "a text's length counts its terminator";
    EXPECT_EQ(Text(block, "\\StringFileInfo\\040704B0\\companyname"), "Testfirma") << "names ignore case";
    EXPECT_EQ(Text(block, "\\StringFileInfo\\040704b0\\FileVersion"), "<none>");
    EXPECT_EQ(Text(block, "\\StringFileInfo\\040904b0"), "<none>");
    LPVOID value = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 8u) << "two language and code-page pairs, in bytes";
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(value) % 4, 0u) << "values are DWORD-aligned";
    const auto* words = static_cast<const WORD*>(value);
    EXPECT_EQ(words[0], 0x409);
    EXPECT_EQ(words[1], 1200);
    EXPECT_EQ(words[2], 0x407);
}

// The build puts the script's VERSIONINFO into both modules.
TEST_F(VersionInfoTest, TheModuleCarriesTheProjectVersion)
{
    const std::vector<BYTE> block = ReadBlock(GW_BIN_DIR "/gwell16.arx");
    EXPECT_EQ(Text(block, "\\StringFileInfo\\040904b0\\FileVersion"), GW_PROJECT_VERSION);
    EXPECT_EQ(Text(block, "\\StringFileInfo\\040904b0\\OriginalFilename"), "gwell16.arx");
    // The resource module is built from the same script and says the same.
    const std::vector<BYTE> resources = ReadBlock(GW_BIN_DIR "/gwell16res.dll");
    EXPECT_EQ(Text(resources, "\\StringFileInfo\\040904b0\\ProductVersion"), GW_PROJECT_VERSION);
}

// Native: size 0 with ERROR_FILE_NOT_FOUND, ERROR_BAD_FORMAT or ERROR_RESOURCE_TYPE_NOT_FOUND.
TEST_F(VersionInfoTest, FilesWithoutVersionInformation)
{
    ScratchDir dir;
    DWORD handle = 0;
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSizeA(dir.File("absent.dll").c_str(), &handle), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    WriteFileBytes(dir.File("notes.txt"), "not a module");
    EXPECT_EQ(GetFileVersionInfoSizeA(dir.File("notes.txt").c_str(), &handle), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
    // A module built without a VERSIONINFO block.
    EXPECT_EQ(GetFileVersionInfoSizeA(GW_BIN_DIR "/hhctrl.ocx", &handle), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

// Native: GetFileVersionInfoA copies what fits; VerQueryValueA never reads past the copy.
TEST_F(VersionInfoTest, AShortBufferTakesWhatFits)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(kTestModule.c_str(), &handle);
    ASSERT_GT(size, 100u);
    std::vector<BYTE> block(size - 20);
    ASSERT_TRUE(GetFileVersionInfoA(kTestModule.c_str(), 0, size - 20, block.data()));
    LPVOID value = nullptr;
    UINT length = 0;
    EXPECT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length)) << "the fixed part is whole";
    // The last values were cut off; reading them finds nothing rather than
    // reading past the buffer.
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
}

} // namespace
