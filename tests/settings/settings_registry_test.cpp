// LoadSettings and SaveSettings against the registry stand-in: defaults, the
// reading rules for odd stored values, and every failure path of saving.
#include "settings/settings_registry.h"
#include "support/leak_checked_test.h"

#include "registry_context.h"
#include "windows.h"

#include "support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char kExport[] = "SOFTWARE\\Norvale\\Gridwell\\Settings\\Export";
const char kImport[] = "SOFTWARE\\Norvale\\Gridwell\\Settings\\Import";

// Which field each stored name holds, in the order LoadSettings queries
// them: the Export key (Coords included), then the Import key.
struct Named {
    const char* name;
    bool Settings::*flag;
    int Settings::*number;
};
const Named kQueryOrder[] = {
    {"AddHeader", &Settings::AddHeader, nullptr},
    {"AutoConnect", &Settings::AutoConnect, nullptr},
    {"BlockNames", &Settings::BlockNames, nullptr},
    {"Coords", nullptr, nullptr},
    {"XCoord", &Settings::XCoord, nullptr},
    {"YCoord", &Settings::YCoord, nullptr},
    {"ZCoord", &Settings::ZCoord, nullptr},
    {"LayerNames", &Settings::LayerNames, nullptr},
    {"LayoutNames", &Settings::LayoutNames, nullptr},
    {"OddLine", &Settings::OddLine, nullptr},
    {"Rotation", &Settings::Rotation, nullptr},
    {"Scale", &Settings::Scale, nullptr},
    {"Sort", &Settings::Sort, nullptr},
    {"StartRow", nullptr, &Settings::ExportStartRow},
    {"WorkbookSettings", nullptr, &Settings::WorkbookSettings},
    {"WorksheetSettings", nullptr, &Settings::WorksheetSettings},
    {"IncludeConstant", &Settings::IncludeConstant, nullptr},
    {"JTSK", &Settings::JTSK, nullptr},
    {"NoAutofit", &Settings::NoAutofit, nullptr},
    {"AsText", &Settings::AsText, nullptr},
    {"FindNextBlankLine", &Settings::FindNextBlankLine, nullptr},
    {"ExportAttPrompts", &Settings::ExportAttPrompts, nullptr},
    {"Selection", &Settings::Selection, nullptr},
    {"ImportSettings", nullptr, &Settings::ImportSettings},
    {"IgnoreProps", &Settings::IgnoreProps, nullptr},
    {"StartCol", nullptr, &Settings::StartCol},
    {"StartRow", nullptr, &Settings::ImportStartRow},
};
const size_t kExportQueries = 23;

// The names SaveSettings writes under each key, in writing order.
std::vector<std::string> WrittenNames(bool import)
{
    std::vector<std::string> names;
    for (size_t i = import ? kExportQueries : 0; i < (import ? std::size(kQueryOrder) : kExportQueries); ++i) {
        if (std::string(kQueryOrder[i].name) != "Coords")
            names.push_back(kQueryOrder[i].name);
    }
    return names;
}

// The value names of one key in the order the store file lists them, which
// is the order they were first written.
std::vector<std::string> NamesInStore(const std::string& text, const std::string& key)
{
    std::vector<std::string> names;
    size_t at = text.find("[HKEY_CURRENT_USER\\" + key + "]\r\n");
    if (at == std::string::npos)
        return names;
    for (at = text.find('\n', at) + 1; at < text.size() && text[at] == '"'; at = text.find('\n', at) + 1)
        names.push_back(text.substr(at + 1, text.find('"', at + 1) - at - 1));
    return names;
}

// A record with every field away from its default.
Settings Changed()
{
    Settings s;
    s.WorkbookSettings = 1;
    s.WorksheetSettings = 1;
    s.ExportStartRow = 40;
    s.AddHeader = true;
    s.BlockNames = false;
    s.XCoord = false;
    s.YCoord = false;
    s.ZCoord = false;
    s.OddLine = true;
    s.Rotation = false;
    s.LayerNames = false;
    s.AutoConnect = true;
    s.IncludeConstant = true;
    s.Scale = false;
    s.Sort = true;
    s.LayoutNames = true;
    s.NoAutofit = true;
    s.JTSK = true;
    s.AsText = false;
    s.FindNextBlankLine = true;
    s.ExportAttPrompts = true;
    s.Selection = true;
    s.ImportSettings = 1;
    s.IgnoreProps = false;
    s.StartCol = 3;
    s.ImportStartRow = -5;
    return s;
}

class SettingsRegistry : public LeakCheckedTest {
protected:
    void SetUp() override { registry.Install(); }
    void TearDown() override { EXPECT_EQ(registry.OpenKeyCount(), 0); }

    void Store(const char* path, const char* name, DWORD type, std::vector<BYTE> data)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void StoreDword(const char* path, const char* name, DWORD value)
    {
        Store(path, name, REG_DWORD,
              {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
               static_cast<BYTE>(value >> 24)});
    }
    void StoreText(const char* path, const char* name, const std::string& text)
    {
        std::vector<BYTE> data(text.begin(), text.end());
        data.push_back(0);
        Store(path, name, REG_SZ, data);
    }

    // Those of the candidate names stored under a key, each checked to be a
    // 4-byte REG_DWORD.
    std::vector<std::string> StoredNames(const char* path, const std::vector<std::string>& candidates)
    {
        std::vector<std::string> names;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return names;
        for (const std::string& name : candidates) {
            DWORD type = 0;
            DWORD size = 0;
            if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
                EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
                EXPECT_EQ(size, 4u) << name;
                names.push_back(name);
            }
        }
        RegCloseKey(key);
        return names;
    }

    RegistryContext registry;
};

// The field order is part of the record's contract with the dialogs.
constexpr size_t kFieldOffsets[] = {
    offsetof(Settings, WorkbookSettings), offsetof(Settings, WorksheetSettings), offsetof(Settings, ExportStartRow),
    offsetof(Settings, AddHeader), offsetof(Settings, BlockNames), offsetof(Settings, XCoord),
    offsetof(Settings, YCoord), offsetof(Settings, ZCoord), offsetof(Settings, OddLine),
    offsetof(Settings, Rotation), offsetof(Settings, LayerNames), offsetof(Settings, AutoConnect),
    offsetof(Settings, IncludeConstant), offsetof(Settings, Scale), offsetof(Settings, Sort),
    offsetof(Settings, LayoutNames), offsetof(Settings, NoAutofit), offsetof(Settings, JTSK),
    offsetof(Settings, AsText), offsetof(Settings, FindNextBlankLine), offsetof(Settings, ExportAttPrompts),
    offsetof(Settings, Selection), offsetof(Settings, ImportSettings), offsetof(Settings, IgnoreProps),
    offsetof(Settings, StartCol), offsetof(Settings, ImportStartRow)};
static_assert(std::is_sorted(std::begin(kFieldOffsets), std::end(kFieldOffsets)));

TEST_F(SettingsRegistry, WithoutKeysEverythingIsDefault)
{
    Settings s = Changed();
    LoadSettings(s);
    EXPECT_EQ(s.WorkbookSettings, 0);
    EXPECT_EQ(s.WorksheetSettings, 0);
    EXPECT_EQ(s.ExportStartRow, 1);
    EXPECT_TRUE(s.BlockNames && s.XCoord && s.YCoord && s.ZCoord && s.Rotation && s.Scale && s.LayerNames);
    EXPECT_TRUE(s.AsText);
    EXPECT_FALSE(s.AddHeader || s.OddLine || s.AutoConnect || s.IncludeConstant || s.Sort || s.LayoutNames
                 || s.NoAutofit || s.JTSK || s.FindNextBlankLine || s.ExportAttPrompts || s.Selection);
    EXPECT_EQ(s.ImportSettings, 0);
    EXPECT_TRUE(s.IgnoreProps);
    EXPECT_EQ(s.StartCol, 1);
    EXPECT_EQ(s.ImportStartRow, 2);

    Settings reset = Changed();
    SetDefaults(reset);
    EXPECT_EQ(reset, s);
    EXPECT_EQ(registry.CallCount(RegCall::Query), 0);
}

TEST_F(SettingsRegistry, SavedValuesLoadBackAndAreAllFourByteDwords)
{
    const Settings saved = Changed();
    ASSERT_TRUE(SaveSettings(saved));
    Settings loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(registry.CallCount(RegCall::Query), 27);

    std::vector<std::string> exportNames = WrittenNames(false);
    exportNames.push_back("Coords"); // only read, never written
    EXPECT_EQ(StoredNames(kExport, exportNames), WrittenNames(false));
    EXPECT_EQ(StoredNames(kImport, {"ImportSettings", "IgnoreProps", "StartCol", "StartRow"}).size(), 4u);
}

TEST_F(SettingsRegistry, ValuesAreQueriedInTheirOrder)
{
    // Failing the nth query leaves exactly the nth name's field at its
    // default, which pins the reading order.
    ASSERT_TRUE(SaveSettings(Changed()));
    const Settings defaults;
    for (size_t n = 1; n <= std::size(kQueryOrder); ++n) {
        const Named& named = kQueryOrder[n - 1];
        SCOPED_TRACE(named.name);
        Settings expected = Changed();
        if (named.flag)
            expected.*named.flag = defaults.*named.flag;
        if (named.number)
            expected.*named.number = defaults.*named.number;
        registry.FailCall(RegCall::Query, static_cast<int>(n), ERROR_FILE_NOT_FOUND);
        Settings loaded;
        LoadSettings(loaded);
        EXPECT_EQ(loaded, expected);
    }
}

TEST_F(SettingsRegistry, CoordsSetsAllThreeAndTheSingleValuesWin)
{
    StoreDword(kExport, "Coords", 0);
    Settings s;
    LoadSettings(s);
    EXPECT_FALSE(s.XCoord || s.YCoord || s.ZCoord);
    EXPECT_TRUE(s.BlockNames);

    StoreDword(kExport, "YCoord", 1);
    LoadSettings(s);
    EXPECT_FALSE(s.XCoord);
    EXPECT_TRUE(s.YCoord);
    EXPECT_FALSE(s.ZCoord);

    StoreDword(kExport, "Coords", 7);
    StoreDword(kExport, "ZCoord", 0);
    LoadSettings(s);
    EXPECT_TRUE(s.XCoord);
    EXPECT_TRUE(s.YCoord);
    EXPECT_FALSE(s.ZCoord);
}

TEST_F(SettingsRegistry, StoredDataCountsByItsFirstFourBytesWhateverItsType)
{
    // Any non-zero number is on; integers are taken unchanged, out of range
    // or not.
    StoreDword(kExport, "AddHeader", 2);
    StoreDword(kExport, "Sort", 255);
    StoreDword(kExport, "JTSK", 0xFFFFFFFF);
    StoreDword(kExport, "StartRow", 0);
    StoreDword(kExport, "WorkbookSettings", 0xFFFFFFFF);
    // Longer than four bytes: ignored, the default stands.
    StoreText(kExport, "BlockNames", "false");
    StoreText(kExport, "WorksheetSettings", "12345");
    Store(kExport, "AsText", REG_BINARY, {0, 0, 0, 0, 0});
    // Four bytes or fewer: taken as a little-endian number, type unchecked.
    Store(kExport, "Rotation", REG_BINARY, {0});
    StoreText(kExport, "OddLine", "");
    StoreText(kExport, "LayoutNames", "0");
    Store(kExport, "ZCoord", REG_BINARY, {0, 0, 0, 0});

    Settings s;
    LoadSettings(s);
    EXPECT_TRUE(s.AddHeader);
    EXPECT_TRUE(s.Sort);
    EXPECT_TRUE(s.JTSK);
    EXPECT_EQ(s.ExportStartRow, 0);
    EXPECT_EQ(s.WorkbookSettings, -1);
    EXPECT_TRUE(s.BlockNames);
    EXPECT_EQ(s.WorksheetSettings, 0);
    EXPECT_TRUE(s.AsText);
    EXPECT_FALSE(s.Rotation);
    EXPECT_FALSE(s.OddLine);
    EXPECT_TRUE(s.LayoutNames); // the text "0" is the byte 0x30
    EXPECT_FALSE(s.ZCoord);

    // A short value is not mixed with what an earlier query left behind.
    Store(kImport, "StartCol", REG_BINARY, {5});
    LoadSettings(s);
    EXPECT_EQ(s.StartCol, 5);
}

TEST_F(SettingsRegistry, ImportKeyAloneIsIgnored)
{
    StoreDword(kImport, "StartCol", 9);
    StoreDword(kImport, "IgnoreProps", 0);
    Settings s;
    LoadSettings(s);
    EXPECT_EQ(s, Settings{});
}

TEST_F(SettingsRegistry, FailuresWhileReadingKeepTheDefaults)
{
    ASSERT_TRUE(SaveSettings(Changed()));
    Settings s;

    registry.FailCall(RegCall::Open, 1, ERROR_ACCESS_DENIED);
    LoadSettings(s);
    EXPECT_EQ(s, Settings{});

    // An error closing the Export key keeps what was read and stops there.
    registry.FailCall(RegCall::Close, 1, ERROR_REGISTRY_IO_FAILED);
    LoadSettings(s);
    Settings expected = Changed();
    expected.ImportSettings = 0;
    expected.IgnoreProps = true;
    expected.StartCol = 1;
    expected.ImportStartRow = 2;
    EXPECT_EQ(s, expected);

    registry.FailCall(RegCall::Open, 2, ERROR_ACCESS_DENIED);
    LoadSettings(s);
    EXPECT_EQ(s, expected);
}

TEST_F(SettingsRegistry, AFailedWriteStopsSavingAndKeepsWhatWasWritten)
{
    registry.FailCall(RegCall::Set, 5, ERROR_WRITE_FAULT);
    EXPECT_FALSE(SaveSettings(Changed()));
    EXPECT_EQ(registry.CallCount(RegCall::Set), 5);
    std::vector<std::string> all;
    for (const Named& named : kQueryOrder)
        all.push_back(named.name);
    EXPECT_EQ(StoredNames(kExport, all), (std::vector<std::string>{"AddHeader", "AutoConnect", "BlockNames", "XCoord"}));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kImport, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);

    // What was written is what the next load sees.
    Settings s;
    LoadSettings(s);
    EXPECT_TRUE(s.AddHeader && s.AutoConnect);
    EXPECT_FALSE(s.BlockNames || s.XCoord);
    EXPECT_TRUE(s.YCoord);
}

TEST_F(SettingsRegistry, SavingOpensOrCreatesAndChecksEveryClose)
{
    // The keys are missing at first: the open fails and they are created.
    ASSERT_TRUE(SaveSettings(Changed()));
    EXPECT_EQ(registry.CallCount(RegCall::Create), 2);

    // Now they exist: a failed open still gets them through create.
    registry.FailCall(RegCall::Open, 1, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(SaveSettings(Settings{}));
    EXPECT_EQ(registry.CallCount(RegCall::Create), 3);

    registry.FailCall(RegCall::Open, 1, ERROR_ACCESS_DENIED);
    registry.FailCall(RegCall::Create, 1, ERROR_ACCESS_DENIED);
    const int setsBefore = registry.CallCount(RegCall::Set);
    EXPECT_FALSE(SaveSettings(Changed()));
    EXPECT_EQ(registry.CallCount(RegCall::Set), setsBefore);

    // A close error on the Export key ends the save before the Import key.
    registry.FailCall(RegCall::Close, 1, ERROR_REGISTRY_IO_FAILED);
    EXPECT_FALSE(SaveSettings(Changed()));
    EXPECT_EQ(registry.CallCount(RegCall::Set), setsBefore + 22);

    registry.FailCall(RegCall::Close, 2, ERROR_REGISTRY_IO_FAILED);
    EXPECT_FALSE(SaveSettings(Changed()));
    EXPECT_EQ(registry.CallCount(RegCall::Set), setsBefore + 22 + 26);
    Settings s;
    LoadSettings(s);
    EXPECT_EQ(s, Changed());
}

TEST_F(SettingsRegistry, TheStoreFileHoldsTheSavedSettingsAcrossRuns)
{
    ScratchDir scratch;
    const std::string store = scratch.File("gridwell/user.reg");
    std::string written;
    {
        RegistryContext run(store);
        run.Install();
        ASSERT_TRUE(SaveSettings(Changed()));
        written = ReadFileBytes(store);
        EXPECT_EQ(NamesInStore(written, kExport), WrittenNames(false));
        EXPECT_EQ(NamesInStore(written, kImport), WrittenNames(true));
        EXPECT_EQ(run.OpenKeyCount(), 0);
    }
    RegistryContext next(store);
    next.Install();
    Settings s;
    LoadSettings(s);
    EXPECT_EQ(s, Changed());
    std::string error;
    ASSERT_TRUE(next.Save(error));
    EXPECT_EQ(ReadFileBytes(store), written);
    EXPECT_EQ(next.OpenKeyCount(), 0);
    registry.Install();
}

} // namespace
