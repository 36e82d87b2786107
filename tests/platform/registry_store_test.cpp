// The per-user tree in its store file: the export format, the lossless round
// trip, damaged files and failed writes.
#include "windows.h"
#include "support/leak_checked_test.h"
#include "registry_context.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace {

struct Stored {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> Bytes(const std::string& text, bool terminator = true)
{
    std::vector<BYTE> bytes(text.begin(), text.end());
    if (terminator)
        bytes.push_back(0);
    return bytes;
}

// One value of every shape the format distinguishes.
std::vector<Stored> SampleValues()
{
    std::vector<BYTE> longBlob;
    for (int i = 0; i < 70; ++i)
        longBlob.push_back(static_cast<BYTE>(i * 37));
    return {
        {"Flag", REG_DWORD, {1, 0, 0, 0}},
        {"Max", REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
        {"Path", REG_SZ, Bytes("C:\\dir\\\"quoted\" text")},
        {"Empty", REG_SZ, Bytes("")},
        {"Unterminated", REG_SZ, Bytes("abc", false)},
        {"Two\nlines", REG_SZ, Bytes("a\r\nb")},
        {"Short dword", REG_DWORD, {7, 0}},
        {"Blob", REG_BINARY, longBlob},
        {"Nothing", REG_BINARY, {}},
        {"Expand", REG_EXPAND_SZ, Bytes("%TEMP%")},
        {"Multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}},
        {"Quad", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"None", REG_NONE, {}},
        {"Name \"with\" \\ marks", REG_DWORD, {2, 0, 0, 0}},
        {"", REG_SZ, Bytes("default")},
    };
}

class RegistryStore : public LeakCheckedTest {
protected:
    std::string StorePath() const { return scratch.File("config/gridwell/user.reg"); }

    static void WriteSamples(HKEY root, const char* path)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
        for (const Stored& value : SampleValues()) {
            if (std::string(value.name).find('\n') != std::string::npos)
                continue;
            ASSERT_EQ(RegSetValueExA(key, value.name, 0, value.type, value.data.data(),
                                     static_cast<DWORD>(value.data.size())),
                      ERROR_SUCCESS)
                << value.name;
        }
        RegCloseKey(key);
    }

    static void ExpectSamples(HKEY root, const char* path)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(root, path, 0, KEY_READ, &key), ERROR_SUCCESS);
        for (const Stored& value : SampleValues()) {
            if (std::string(value.name).find('\n') != std::string::npos)
                continue;
            DWORD type = 0;
            std::vector<BYTE> data(100);
            DWORD size = static_cast<DWORD>(data.size());
            ASSERT_EQ(RegQueryValueExA(key, value.name, nullptr, &type, data.data(), &size), ERROR_SUCCESS)
                << value.name;
            data.resize(size);
            EXPECT_EQ(type, value.type) << value.name;
            EXPECT_EQ(data, value.data) << value.name;
        }
        RegCloseKey(key);
    }

    ScratchDir scratch;
};

TEST_F(RegistryStore, WritesTheExportFormatOnTheFirstChangeOnly)
{
    RegistryContext registry(StorePath());
    registry.Install();
    EXPECT_TRUE(registry.LoadWarning().empty());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(FileExists(StorePath()));

    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Beta", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    ASSERT_EQ(RegSetValueExA(key, "On", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\alpha", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("a\\b\"c"), 6), ERROR_SUCCESS);
    const BYTE blob[] = {0x00, 0x7f, 0xff};
    ASSERT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, 3), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>("a\0\0"), 3),
              ERROR_SUCCESS);
    RegCloseKey(key);

    // Every key listed, sub-keys by name, values in the order they were set.
    EXPECT_EQ(ReadFileBytes(StorePath()),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\alpha]\r\n"
              "\"Text\"=\"a\\\\b\\\"c\"\r\n"
              "\"Blob\"=hex:00,7f,ff\r\n"
              "\"Multi\"=hex(7):61,00,00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Beta]\r\n"
              "\"On\"=dword:00000001\r\n\r\n");

    // Class registrations are not part of the user's store.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "Some.Class", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(ReadFileBytes(StorePath()).find("Some.Class"), std::string::npos);
}

TEST_F(RegistryStore, LoadingAndSavingAgainGivesTheSameBytesAndValues)
{
    std::string first;
    {
        RegistryContext registry(StorePath());
        registry.Install();
        WriteSamples(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Gridwell\\Settings\\Export");
        WriteSamples(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Gridwell\\Settings\\Import");
        WriteSamples(HKEY_CURRENT_USER, "");
        EXPECT_EQ(registry.OpenKeyCount(), 0);
        first = ReadFileBytes(StorePath());
    }
    // The long blob was broken over continuation lines.
    EXPECT_NE(first.find(",\\\r\n  "), std::string::npos);

    RegistryContext again(StorePath());
    again.Install();
    EXPECT_TRUE(again.LoadWarning().empty()) << again.LoadWarning();
    ExpectSamples(HKEY_CURRENT_USER, "SOFTWARE\\Norvale\\Gridwell\\Settings\\Export");
    ExpectSamples(HKEY_CURRENT_USER, "");
    std::string error;
    ASSERT_TRUE(again.Save(error)) << error;
    EXPECT_EQ(ReadFileBytes(StorePath()), first);
    EXPECT_EQ(again.OpenKeyCount(), 0);
}

TEST_F(RegistryStore, ReadsHandWrittenFiles)
{
    std::filesystem::create_directories(scratch.File("config/gridwell"));
    WriteFileBytes(StorePath(),
                   "Windows Registry Editor Version 5.00\n"
                   "\n"
                   "; written by hand, LF line ends\n"
                   "[HKEY_CURRENT_USER\\A\\B]\n"
                   "\"Wrapped\"=hex:01,02,\\\n"
                   "    03\n"
                   "\"Upper\"=dword:0000ABCD   \n"
                   "\"Path\"=\"C:\\Temp\"\n");
    RegistryContext registry(StorePath());
    registry.Install();
    ASSERT_TRUE(registry.LoadWarning().empty()) << registry.LoadWarning();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "a\\b", 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE data[16];
    DWORD size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(key, "Wrapped", nullptr, nullptr, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::vector<BYTE>(data, data + size), (std::vector<BYTE>{1, 2, 3}));
    DWORD number = 0;
    size = 4;
    ASSERT_EQ(RegQueryValueExA(key, "Upper", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(number, 0xABCDu);
    size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data)), "C:\\Temp");
    RegCloseKey(key);
}

TEST_F(RegistryStore, ADamagedFileGivesAnEmptyTreeAndIsKeptUntilAWrite)
{
    using namespace std::string_literals;
    const std::string damaged[] = {
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n",
        "Windows Registry Editor Version 5.00\r\n\"Orphan\"=dword:00000001\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\A]\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n\"V\"=dword:123\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n\"V\"=hex:1g\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n\"V\"=\"open\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n\"V\"=hex(zz):00\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\ngarbage\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A\\\\B]\r\n",
        "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n\"V\"=-\r\n",
        "\xff\xfe\x00\x01binary\x00"s,
    };
    const std::string path = scratch.File("user.reg");
    WriteFileBytes(path, "");
    EXPECT_TRUE(RegistryContext(path).LoadWarning().empty());
    for (const std::string& bytes : damaged) {
        SCOPED_TRACE(bytes);
        std::error_code ec;
        std::filesystem::remove(path + ".bad", ec);
        WriteFileBytes(path, bytes);
        RegistryContext registry(path);
        registry.Install();
        EXPECT_FALSE(registry.LoadWarning().empty());
        EXPECT_EQ(registry.LoadWarning().find('\n'), std::string::npos);
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(ReadFileBytes(path), bytes);

        // The first change writes a new store and keeps the old one aside.
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "New", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        EXPECT_EQ(ReadFileBytes(path + ".bad"), bytes);
        EXPECT_NE(ReadFileBytes(path).find("[HKEY_CURRENT_USER\\New]"), std::string::npos);
    }
}

TEST_F(RegistryStore, AChangeThatCannotBeSavedFailsAndIsUndone)
{
    // A plain file where the store's folder should be.
    WriteFileBytes(scratch.File("blocker"), "x");
    RegistryContext registry(scratch.File("blocker/user.reg"));
    registry.Install();
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A\\B", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);

    // Values: an existing one keeps its old data, a new one does not appear.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "C", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, nullptr, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const DWORD two = 2;
    EXPECT_EQ(RegSetValueExA(key, "V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4),
              ERROR_REGISTRY_IO_FAILED);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "V", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(RegistryStore, AFolderInPlaceOfTheStoreIsNeverMovedAside)
{
    const std::string path = scratch.File("store.reg");
    std::filesystem::create_directories(path);
    RegistryContext registry(path);
    registry.Install();
    EXPECT_FALSE(registry.LoadWarning().empty());
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_REGISTRY_IO_FAILED);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_FALSE(FileExists(path + ".bad"));
}

// regedit writes UTF-16LE with a byte-order mark; editors often save UTF-8
// with one. Both read as the same tree, and a change keeps the file's form.
TEST_F(RegistryStore, ReadsAndKeepsUtf16AndUtf8FilesWithByteOrderMarks)
{
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Gr\xC3\xB6\xC3\x9F" "e]\r\n"
                             "\"Caf\xC3\xA9\"=\"\xE2\x82\xAC 5\"\r\n"
                             "\"N\"=dword:0000002a\r\n\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t unit : u"Windows Registry Editor Version 5.00\r\n\r\n"
                         u"[HKEY_CURRENT_USER\\Gr\u00F6\u00DFe]\r\n"
                         u"\"Caf\u00E9\"=\"\u20AC 5\"\r\n"
                         u"\"N\"=dword:0000002a\r\n\r\n") {
        if (unit == 0)
            break;
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    struct Case {
        const char* form;
        std::string bytes;
        std::string bom;
    };
    const Case cases[] = {{"UTF-16LE", utf16, "\xFF\xFE"}, {"UTF-8", "\xEF\xBB\xBF" + text, "\xEF\xBB\xBF"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        std::filesystem::create_directories(scratch.File("config/gridwell"));
        WriteFileBytes(StorePath(), c.bytes);
        {
            RegistryContext registry(StorePath());
            registry.Install();
            ASSERT_TRUE(registry.LoadWarning().empty()) << registry.LoadWarning();
            HKEY key = nullptr;
            ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Gr\xC3\xB6\xC3\x9F" "e", 0, KEY_ALL_ACCESS, &key),
                      ERROR_SUCCESS);
            char data[32] = {};
            DWORD size = sizeof data;
            ASSERT_EQ(RegQueryValueExA(key, "Caf\xC3\xA9", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
                      ERROR_SUCCESS);
            EXPECT_EQ(std::string(data), "\xE2\x82\xAC 5");
            DWORD number = 0;
            size = 4;
            ASSERT_EQ(RegQueryValueExA(key, "N", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size),
                      ERROR_SUCCESS);
            EXPECT_EQ(number, 42u);
            const DWORD seven = 7;
            ASSERT_EQ(RegSetValueExA(key, "Added", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4),
                      ERROR_SUCCESS);
            RegCloseKey(key);
        }
        const std::string saved = ReadFileBytes(StorePath());
        EXPECT_EQ(saved.substr(0, c.bom.size()), c.bom);
        EXPECT_FALSE(FileExists(StorePath() + ".bad"));
        RegistryContext reread(StorePath());
        reread.Install();
        ASSERT_TRUE(reread.LoadWarning().empty()) << reread.LoadWarning();
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Gr\xC3\xB6\xC3\x9F" "e", 0, KEY_READ, &key), ERROR_SUCCESS);
        DWORD number = 0;
        DWORD size = 4;
        EXPECT_EQ(RegQueryValueExA(key, "Added", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(number, 7u);
        size = 4;
        EXPECT_EQ(RegQueryValueExA(key, "N", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(number, 42u);
        RegCloseKey(key);
    }
}

// Stores that are not files of settings: refused with the one-line warning
// and an empty tree, without reading them whole, crashing or waiting.
TEST_F(RegistryStore, DeepLargeAndSpecialStoresAreRefusedWithOneLine)
{
    std::string deep = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER";
    for (int level = 0; level < 513; ++level)
        deep += "\\K";
    deep += "]\r\n";
    std::string fine = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER";
    for (int level = 0; level < 512; ++level)
        fine += "\\K";
    fine += "]\r\n";
    std::string large = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n";
    while (large.size() <= (std::size_t(4) << 20))
        large += "; a comment line that only makes the file larger than any store of settings\r\n";

    const std::string path = scratch.File("special.reg");
    WriteFileBytes(path, fine);
    {
        RegistryContext registry(path);
        registry.Install();
        EXPECT_TRUE(registry.LoadWarning().empty()) << "512 levels are allowed";
        // Nor is a deeper key made, which the next start would refuse.
        std::string below = "K";
        for (int level = 1; level < 512; ++level)
            below += "\\K";
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (below + "\\L").c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key,
                                  nullptr),
                  ERROR_BAD_PATHNAME);
        EXPECT_EQ(key, nullptr);
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, below.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
        HKEY deeper = nullptr;
        EXPECT_EQ(RegCreateKeyExA(key, "L", 0, nullptr, 0, KEY_READ, nullptr, &deeper, nullptr), ERROR_BAD_PATHNAME);
        RegCloseKey(key);
        EXPECT_EQ(ReadFileBytes(path), fine);
    }

    for (const std::string* bytes : {&deep, &large}) {
        WriteFileBytes(path, *bytes);
        RegistryContext registry(path);
        registry.Install();
        EXPECT_NE(registry.LoadWarning().find("unusable"), std::string::npos);
        EXPECT_EQ(registry.LoadWarning().find('\n'), std::string::npos);
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, bytes == &deep ? "K" : "A", 0, KEY_READ, &key),
                  ERROR_FILE_NOT_FOUND);
    }
    EXPECT_NE(RegistryContext(path).LoadWarning().find("larger than"), std::string::npos);

    // A FIFO with no writer: opening it for reading must not wait.
    const std::string fifo = scratch.File("fifo.reg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    {
        RegistryContext registry(fifo);
        registry.Install();
        EXPECT_NE(registry.LoadWarning().find("FIFO"), std::string::npos) << registry.LoadWarning();
        HKEY key = nullptr;
        // Never replaced by a regular file behind the user's back.
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "A", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
                  ERROR_REGISTRY_IO_FAILED);
    }
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_FALSE(FileExists(fifo + ".bad"));
}

} // namespace
