// How the registry functions behave: the native rules the module relies on,
// fault injection and handle accounting.
#include "windows.h"
#include "support/leak_checked_test.h"
#include "registry_context.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class Registry : public LeakCheckedTest {
protected:
    void SetUp() override { registry.Install(); }
    void TearDown() override { EXPECT_EQ(registry.OpenKeyCount(), 0); }

    HKEY Create(const char* path, REGSAM access = KEY_READ | KEY_WRITE)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    static LSTATUS SetDword(HKEY key, const char* name, DWORD value)
    {
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }

    RegistryContext registry;
};

TEST_F(Registry, CreateMakesTheWholePathAndNamesIgnoreCase)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vendor\\App", 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(SetDword(key, "Count", 7), ERROR_SUCCESS);
    EXPECT_EQ(registry.OpenKeyCount(), 1);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\vendor", 0, nullptr, 0, KEY_READ, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    HKEY app = nullptr;
    ASSERT_EQ(RegOpenKeyExA(key, "APP", 0, KEY_READ, &app), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(app, "count", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegCloseKey(app), ERROR_SUCCESS);

    // The same tree is not visible under the other root.
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
}

TEST_F(Registry, QueryFollowsTheBufferRules)
{
    HKEY key = Create("K");
    const BYTE blob[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);

    // No buffer: the size and type only.
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Blob", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    // Too small: nothing taken, the size needed reported.
    BYTE small[4];
    std::memset(small, 0xAA, sizeof small);
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "Blob", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    for (BYTE b : small)
        EXPECT_EQ(b, 0xAA);

    BYTE exact[6] = {};
    size = sizeof exact;
    EXPECT_EQ(RegQueryValueExA(key, "Blob", nullptr, nullptr, exact, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::memcmp(exact, blob, sizeof blob), 0);

    // String data comes back as stored, terminator only if it was stored.
    ASSERT_EQ(RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
    char text[8] = "zzzzzzz";
    size = sizeof text;
    EXPECT_EQ(RegQueryValueExA(key, "Bare", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(text), "abczzzz");

    EXPECT_EQ(RegQueryValueExA(key, "Blob", nullptr, nullptr, exact, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);

    // The default value has the empty (or null) name.
    ASSERT_EQ(SetDword(key, nullptr, 9), ERROR_SUCCESS);
    DWORD number = 0;
    size = sizeof number;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size), ERROR_SUCCESS);
    EXPECT_EQ(number, 9u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, HandlesOnlyAllowWhatTheyWereOpenedFor)
{
    RegCloseKey(Create("K"));
    HKEY reader = nullptr;
    HKEY writer = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_READ, &reader), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_WRITE, &writer), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(reader, "V", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(SetDword(writer, "V", 1), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(writer, "V", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegQueryValueExA(reader, "V", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyExA(reader, "Sub", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(sub, nullptr);
    EXPECT_EQ(RegCloseKey(reader), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(writer), ERROR_SUCCESS);
    // A closed handle is no handle.
    EXPECT_EQ(RegCloseKey(writer), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetDword(writer, "V", 2), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "\\K", 0, KEY_READ, &reader), ERROR_BAD_PATHNAME);
}

TEST_F(Registry, InjectedFaultsHitTheNthCallOfTheirKindAndChangeNothing)
{
    HKEY key = Create("K");
    registry.FailCall(RegCall::Set, 2, ERROR_WRITE_FAULT);
    EXPECT_EQ(SetDword(key, "A", 1), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(key, "B", 2), ERROR_WRITE_FAULT);
    EXPECT_EQ(SetDword(key, "C", 3), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "B", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.CallCount(RegCall::Set), 3);

    registry.FailCall(RegCall::Query, 1, ERROR_CANTREAD);
    EXPECT_EQ(RegQueryValueExA(key, "A", nullptr, nullptr, nullptr, &size), ERROR_CANTREAD);
    EXPECT_EQ(RegQueryValueExA(key, "A", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);

    HKEY other = nullptr;
    registry.FailCall(RegCall::Open, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "K", 0, KEY_READ, &other), ERROR_ACCESS_DENIED);
    EXPECT_EQ(other, nullptr);

    registry.FailCall(RegCall::Create, 1, ERROR_CANTWRITE);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "New", 0, nullptr, 0, KEY_READ, nullptr, &other, nullptr),
              ERROR_CANTWRITE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "New", 0, KEY_READ, &other), ERROR_FILE_NOT_FOUND);

    // A failed close still gives the handle up, so it is not counted as a leak.
    registry.FailCall(RegCall::Close, 1, ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(RegCloseKey(key), ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(Registry, WithoutACurrentRegistryNothingOpens)
{
    {
        RegistryContext other;
        other.Install();
        EXPECT_EQ(RegistryContext::Current(), &other);
    }
    EXPECT_EQ(RegistryContext::Current(), nullptr);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_INVALID_HANDLE);
    registry.Install();
}

TEST_F(Registry, LineBreaksInNamesAreRefused)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "a\nb", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER);
    key = Create("K");
    EXPECT_EQ(SetDword(key, "x\r\ny", 1), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

} // namespace

namespace {

// The classes root is seeded from a regedit export of the machine's file
// associations, read as the real one is and never written to the store.
class ClassesRootSeed : public LeakCheckedTest {
};

TEST_F(ClassesRootSeed, AnExportOfTheClassesRootIsReadAndNeverSaved)
{
    ScratchDir dir;
    WriteFileBytes(dir.File("classes.reg"),
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\.htm]\r\n@=\"htmlfile\"\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\htmlfile\\shell\\open\\command]\r\n@=\"\\\"C:\\\\b.exe\\\" \\\"%1\\\"\"\r\n");
    RegistryContext registry(dir.File("user.reg"));
    registry.Install();
    std::string error;
    ASSERT_TRUE(registry.LoadClassesRoot(dir.File("classes.reg"), error)) << error;
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    char text[64] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "\"C:\\b.exe\" \"%1\"");
    RegCloseKey(key);
    EXPECT_FALSE(registry.LoadClassesRoot(dir.File("classes.reg"), error)) << "only into an empty classes root";
    ASSERT_TRUE(registry.Save(error)) << error;
    EXPECT_EQ(ReadFileBytes(dir.File("user.reg")).find("CLASSES"), std::string::npos);

    RegistryContext other;
    WriteFileBytes(dir.File("user-tree.reg"),
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n");
    EXPECT_FALSE(other.LoadClassesRoot(dir.File("user-tree.reg"), error)) << "an export of another tree";
    EXPECT_FALSE(other.LoadClassesRoot(dir.File("absent.reg"), error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);
}

} // namespace
