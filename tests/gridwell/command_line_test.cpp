// gridwell's command-line table: the help each command prints (run as the
// user runs it) names every option the parser takes, and the parser holds
// the line between a good and a bad argument; the option names and ranges
// come from the module's own settings table.
#include "support/leak_checked_test.h"

#include "arguments.h"
#include "settings_names.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace gridwell;

std::string HelpOf(const std::string& arguments)
{
    const std::string command = std::string(GW_BIN_DIR) + "/gridwell " + arguments + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string text;
    std::array<char, 4096> chunk;
    while (pipe && std::fgets(chunk.data(), chunk.size(), pipe.get()))
        text += chunk.data();
    return text;
}

bool Names(const std::string& help, const OptionDef& option)
{
    const auto has = [&](const std::string& word) {
        // A whole word: "--force" must not pass because "--force-x" is there.
        for (auto at = help.find(word); at != std::string::npos; at = help.find(word, at + 1)) {
            const char after = at + word.size() < help.size() ? help[at + word.size()] : ' ';
            if (after == ' ' || after == ',' || after == '\n')
                return true;
        }
        return false;
    };
    return has(option.name) && (!option.shortName || has(option.shortName)) && (!option.value || has(option.value));
}

ParsedArguments Parse(const char* command, std::vector<std::string> args, std::string& error, bool& ok)
{
    ParsedArguments parsed;
    ok = ParseArguments(*FindCommand(command), args, parsed, error);
    return parsed;
}

using CommandHelpTest = LeakCheckedTest;

TEST_F(CommandHelpTest, EachCommandsHelpNamesEveryOptionOfItsTable)
{
    ASSERT_EQ(Commands().size(), 4u);
    for (const CommandDef& command : Commands()) {
        const std::string help = HelpOf(std::string(command.name) + " --help");
        ASSERT_FALSE(help.empty()) << command.name;
        EXPECT_EQ(help, CommandHelp(command)) << command.name;
        for (const OptionDef& option : command.options)
            EXPECT_TRUE(Names(help, option)) << command.name << " --help lacks " << option.name;
    }
}

TEST_F(CommandHelpTest, TheProgramsHelpNamesEveryCommandAndGlobalOption)
{
    const std::string help = HelpOf("--help");
    EXPECT_EQ(help, GlobalHelp());
    for (const CommandDef& command : Commands())
        EXPECT_NE(help.find(std::string("  ") + command.name + " "), std::string::npos) << command.name;
    for (const OptionDef& option : GlobalOptions())
        EXPECT_TRUE(Names(help, option)) << option.name;
    EXPECT_EQ(HelpOf("--version").rfind("gridwell ", 0), 0u);
}

using ArgumentParserTest = LeakCheckedTest;

TEST_F(ArgumentParserTest, OptionsAndOperandsMixInEitherSpelling)
{
    std::string error;
    bool ok = false;
    ParsedArguments args = Parse("export", {"-b", "DOOR,WINDOW", "d.dxf", "--output=o.xlsx", "-O", "Sort=1",
                                            "--option", "JTSK=1", "--blocks", "TITLE", "--", "-odd.dxf"},
                                 error, ok);
    ASSERT_FALSE(ok) << "two drawings are one too many";
    EXPECT_NE(error.find("-odd.dxf"), std::string::npos) << error;
    args = Parse("export", {"-b", "DOOR,WINDOW", "d.dxf", "--output=o.xlsx", "-O", "Sort=1", "--option", "JTSK=1",
                            "--blocks", "TITLE"},
                 error, ok);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(args.operands, std::vector<std::string>{"d.dxf"});
    EXPECT_EQ(args.Value("--output"), "o.xlsx");
    EXPECT_EQ(args.Values("--blocks"), (std::vector<std::string>{"DOOR,WINDOW", "TITLE"}));
    EXPECT_EQ(args.Values("--option"), (std::vector<std::string>{"Sort=1", "JTSK=1"}));
    EXPECT_FALSE(args.Has("--force"));
}

TEST_F(ArgumentParserTest, BadArgumentsAreRefusedNamingThem)
{
    struct Case {
        const char* command;
        std::vector<std::string> args;
        const char* named;
    };
    const Case cases[] = {
        {"export", {"d.dxf", "--bogus"}, "--bogus"},
        {"export", {"d.dxf", "-x"}, "-x"},
        {"export", {"d.dxf", "-o"}, "--output needs a value"},
        {"export", {"d.dxf", "-o", ""}, "not an empty one"},
        {"export", {"d.dxf", "-o", "a.xlsx", "-o", "b.xlsx"}, "--output given twice"},
        {"export", {"d.dxf", "--force=yes"}, "--force takes no value"},
        {"export", {}, "missing DRAWING.dxf"},
        {"import", {"d.dxf"}, "missing"},
        {"import", {"d.dxf", "b.xlsx", "c.xlsx"}, "\"c.xlsx\""},
        {"options", {"stray"}, "\"stray\""},
        {"options", {"--all-sheets"}, "--all-sheets"},
        {"link", {"d.dxf", "b.xlsx", "--shared-sheet"}, "--shared-sheet"},
    };
    for (const Case& c : cases) {
        std::string error;
        bool ok = true;
        Parse(c.command, c.args, error, ok);
        EXPECT_FALSE(ok) << c.command << " " << c.named;
        EXPECT_NE(error.find(c.named), std::string::npos) << error;
    }
    std::string error;
    bool ok = false;
    Parse("import", {"--help"}, error, ok);
    EXPECT_TRUE(ok) << "--help needs no operands: " << error;
}

using SettingNamesTest = LeakCheckedTest;

TEST_F(SettingNamesTest, EveryStoredOptionHasOneNameAndItsDialogRange)
{
    EXPECT_EQ(NamedSettings().size(), ExportFields().size() + ImportFields().size());
    Settings settings;
    std::string error;
    for (const char* good : {"StartCol=256", "Import.StartCol=1", "Export.StartRow=65536", "Import.StartRow=1",
                             "Sort=1", "Export.Sort=0", "WorkbookSettings=1", "ImportSettings=0"})
        EXPECT_TRUE(ApplySetting(settings, good, error)) << good << ": " << error;
    EXPECT_EQ(settings.StartCol, 1);
    EXPECT_EQ(settings.ExportStartRow, 65536);
    EXPECT_EQ(settings.ImportStartRow, 1);
    EXPECT_FALSE(settings.Sort);

    const Settings before = settings;
    for (const char* bad : {"StartCol=257", "StartCol=0", "Export.StartRow=65537", "Sort=2", "Sort=-1", "Sort=",
                            "Sort=1x", "Sort= 1", "StartCol=99999999999", "WorksheetSettings=2", "Sort"}) {
        EXPECT_FALSE(ApplySetting(settings, bad, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(settings == before) << "a refused value changed nothing";
    EXPECT_FALSE(ApplySetting(settings, "StartCol=257", error));
    EXPECT_NE(error.find("1 to 256"), std::string::npos) << error;

    // StartRow is in both groups: the bare name is ambiguous, and refused
    // with the list of the names that are valid.
    EXPECT_FALSE(ApplySetting(settings, "StartRow=3", error));
    EXPECT_NE(error.find("Export.StartRow"), std::string::npos) << error;
    EXPECT_NE(error.find("Import.StartRow"), std::string::npos) << error;
    EXPECT_FALSE(ApplySetting(settings, "startcol=3", error)) << "names are the store's, letter case and all";
}

TEST_F(SettingNamesTest, RangesAreCheckedOnAWholeRecord)
{
    Settings settings;
    SetDefaults(settings);
    std::string error;
    EXPECT_TRUE(SettingsInRange(settings, error)) << "the defaults are in range: " << error;
    settings.StartCol = 300;
    EXPECT_FALSE(SettingsInRange(settings, error));
    EXPECT_NE(error.find("StartCol=300"), std::string::npos) << error;
    settings.StartCol = 1;
    settings.ExportStartRow = 0;
    EXPECT_FALSE(SettingsInRange(settings, error));
    EXPECT_NE(error.find("Export.StartRow=0"), std::string::npos) << error;
}

} // namespace
