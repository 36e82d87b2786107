#include "arguments.h"

#include <algorithm>

namespace gridwell {

namespace {

const OptionDef kHelp{"--help", "-h", nullptr, "show this text and exit"};
const OptionDef kQuiet{"--quiet", "-q", nullptr, "no progress line and no summary at a terminal"};
const OptionDef kRegistry{"--registry", nullptr, "FILE",
                           "the per-user options store (default: $XDG_CONFIG_HOME/gridwell/user.reg,\n"
                           "else ~/.config/gridwell/user.reg)"};
const OptionDef kOption{"--option", "-O", "NAME=VALUE",
                         "use this value of a stored option for this run only (repeatable;\n"
                         "`gridwell options` lists the names and ranges)",
                         true};
const OptionDef kModule{"--module", nullptr, "FILE", "the module to load (default: gwell16.arx beside gridwell)"};

const CommandDef kCommands[] = {
    {"export", "DRAWING.dxf [options]", "write the block references' attributes to a new workbook",
     "Runs the module's Export2 on the drawing and saves the workbook it fills.\n"
     "Without --blocks every block of the drawing is exported.",
     1, 1,
     {kHelp,
      {"--output", "-o", "BOOK.xlsx", "where to save the workbook (default: DRAWING.xlsx beside the drawing;\n"
                                      "its folder must exist)"},
      {"--force", "-f", nullptr, "replace an existing workbook"},
      {"--blocks", "-b", "NAME,...", "export only these blocks, in this order (repeatable)", true},
      {"--shared-sheet", nullptr, nullptr,
       "all blocks into one worksheet, each with its header row\n(WorksheetSettings=1, AddHeader=1)"},
      kOption, kRegistry, kQuiet, kModule}},
    {"import", "DRAWING.dxf BOOK.xlsx [options]", "write edited worksheet rows back into the drawing",
     "Runs the module's Import on the workbook and saves the drawing: in place,\n"
     "through a temporary file, keeping the previous file as DRAWING.dxf.bak.\n"
     "A drawing the import did not change is not rewritten.",
     2, 2,
     {kHelp,
      {"--output", "-o", "OUT.dxf", "save the drawing here instead (its folder must exist)"},
      {"--force", "-f", nullptr, "replace an existing --output file"},
      {"--no-backup", nullptr, nullptr, "keep no DRAWING.dxf.bak"},
      {"--all-sheets", nullptr, nullptr, "read every worksheet, not only the active one (ImportSettings=1)"},
      {"--properties", nullptr, nullptr,
       "apply position, rotation, scale and layer columns too (IgnoreProps=0)"},
      kOption, kRegistry, kQuiet, kModule}},
    {"link", "DRAWING.dxf BOOK.xlsx [options]", "follow a workbook's saves into the drawing until Ctrl-C",
     "Connects the live link to the workbook and follows its file: each save by\n"
     "another program (LibreOffice Calc, ...) reaches the drawing within about a\n"
     "second, and the drawing is saved after each change (through a temporary\n"
     "file; the first save keeps the previous file as DRAWING.dxf.bak). One line\n"
     "on standard output per change set applied. Ctrl-C or SIGTERM ends it.",
     2, 2,
     {kHelp,
      {"--output", "-o", "OUT.dxf", "save the drawing here instead (its folder must exist)"},
      {"--force", "-f", nullptr, "replace an existing --output file"},
      {"--no-backup", nullptr, nullptr, "keep no DRAWING.dxf.bak"},
      kOption, kRegistry, kQuiet, kModule}},
    {"options", "[--get NAME | --set NAME=VALUE ... | --reset | --export FILE.ini | --import FILE.ini]",
     "show or change the stored options",
     "Without an action, lists every option as NAME=VALUE with its range. Names are\n"
     "those of the options store; StartRow exists for export and import, so it is\n"
     "written Export.StartRow or Import.StartRow (any name may take its group).\n"
     "--reset puts the options to their defaults as the Options dialog's reset\n"
     "does: IncludeConstant and ExportAttPrompts keep their values.",
     0, 0,
     {kHelp,
      {"--get", nullptr, "NAME", "print one option's value"},
      {"--set", nullptr, "NAME=VALUE", "store a value (repeatable; all are checked before any is stored)", true},
      {"--reset", nullptr, nullptr, "store the defaults"},
      {"--export", nullptr, "FILE.ini", "save the options to a settings file"},
      {"--import", nullptr, "FILE.ini", "store the options a settings file holds"},
      {"--force", "-f", nullptr, "let --export replace an existing file"},
      kRegistry}},
};

const OptionDef kGlobalOptions[] = {
    kHelp,
    {"--version", "-V", nullptr, "print the version and exit"},
};

std::string OptionLines(std::span<const OptionDef> options)
{
    std::string text;
    for (const OptionDef& option : options) {
        std::string left = "  ";
        left += option.shortName ? std::string(option.shortName) + ", " : "    ";
        left += option.name;
        if (option.value)
            left += std::string(" ") + option.value;
        constexpr std::size_t kColumn = 28;
        const std::string indent(kColumn, ' ');
        left += left.size() < kColumn ? std::string(kColumn - left.size(), ' ') : "\n" + indent;
        std::string help = option.help;
        for (std::size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
            help.insert(at + 1, indent);
        text += left + help + "\n";
    }
    return text;
}

const OptionDef* FindOption(const CommandDef& command, const std::string& name)
{
    for (const OptionDef& option : command.options)
        if (name == option.name || (option.shortName && name == option.shortName))
            return &option;
    return nullptr;
}

} // namespace

std::span<const CommandDef> Commands() { return kCommands; }

std::span<const OptionDef> GlobalOptions() { return kGlobalOptions; }

const CommandDef* FindCommand(const std::string& name)
{
    for (const CommandDef& command : kCommands)
        if (name == command.name)
            return &command;
    return nullptr;
}

std::string ParsedArguments::Value(const std::string& name, const std::string& otherwise) const
{
    auto it = options.find(name);
    return it == options.end() || it->second.empty() ? otherwise : it->second.back();
}

std::vector<std::string> ParsedArguments::Values(const std::string& name) const
{
    auto it = options.find(name);
    return it == options.end() ? std::vector<std::string>{} : it->second;
}

bool ParseArguments(const CommandDef& command, const std::vector<std::string>& args, ParsedArguments& parsed,
                    std::string& error)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& argument = args[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            parsed.operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = argument;
        std::string inlineValue;
        bool hasInline = false;
        if (const auto eq = argument.find('='); argument.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = argument.substr(0, eq);
            inlineValue = argument.substr(eq + 1);
            hasInline = true;
        }
        const OptionDef* option = FindOption(command, name);
        if (!option) {
            error = "unknown option " + name + " for " + command.name + " (see gridwell " + command.name + " --help)";
            return false;
        }
        std::vector<std::string>& values = parsed.options[option->name];
        if (!values.empty() && !option->repeatable) {
            error = std::string(option->name) + " given twice";
            return false;
        }
        if (!option->value) {
            if (hasInline) {
                error = std::string(option->name) + " takes no value";
                return false;
            }
            values.emplace_back();
            continue;
        }
        if (!hasInline) {
            if (i + 1 >= args.size()) {
                error = std::string(option->name) + " needs a value (" + option->value + ")";
                return false;
            }
            inlineValue = args[++i];
        }
        if (inlineValue.empty()) {
            error = std::string(option->name) + " needs a value (" + option->value + "), not an empty one";
            return false;
        }
        values.push_back(inlineValue);
    }
    const int count = static_cast<int>(parsed.operands.size());
    if (!parsed.Has("--help") && (count < command.minOperands || count > command.maxOperands)) {
        error = count < command.minOperands ? std::string("missing ") + command.synopsis
                                            : "unexpected argument \"" + parsed.operands[command.maxOperands] + "\"";
        error += " (see gridwell " + std::string(command.name) + " --help)";
        return false;
    }
    return true;
}

std::string CommandHelp(const CommandDef& command)
{
    std::string text = std::string("usage: gridwell ") + command.name + " " + command.synopsis + "\n\n";
    text += std::string(command.summary) + ".\n";
    if (command.details)
        text += std::string(command.details) + "\n";
    text += "\noptions:\n" + OptionLines(command.options);
    return text;
}

std::string GlobalHelp()
{
    std::string text = "usage: gridwell [--help | --version]\n"
                       "       gridwell COMMAND [options] [arguments]\n\n"
                       "Keeps the attributes of block references in DXF drawings and the rows of\n"
                       ".xlsx workbooks in step.\n\ncommands:\n";
    for (const CommandDef& command : kCommands) {
        std::string left = std::string("  ") + command.name;
        left += std::string(std::max<std::size_t>(2, 12 - left.size()), ' ');
        text += left + command.summary + "\n";
    }
    text += "\noptions:\n" + OptionLines(kGlobalOptions);
    text += "\n`gridwell COMMAND --help` describes a command and its options.\n"
            "Exit status: 0 when the job was done, 1 when it failed, 2 for bad usage or\n"
            "input found unfit before the job began (nothing is written then).\n";
    return text;
}

} // namespace gridwell
