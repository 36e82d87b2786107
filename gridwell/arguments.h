// gridwell's command line: one table of subcommands and their options, which
// both the parser and the help text are made from, so that help never names
// an option the parser does not take or leaves one out.
#pragma once
#include <map>
#include <span>
#include <string>
#include <vector>

namespace gridwell {

struct OptionDef {
    const char* name;      // "--output"
    const char* shortName; // "-o", or null
    const char* value;     // "FILE" when the option takes a value; null for a switch
    const char* help;
    bool repeatable = false;
};

struct CommandDef {
    const char* name;     // "export"
    const char* synopsis; // what follows "gridwell export"
    const char* summary;  // one line for gridwell --help
    const char* details;  // more text after the options, or null
    int minOperands;
    int maxOperands;
    std::vector<OptionDef> options;
};

// The subcommands in the order gridwell --help lists them.
std::span<const CommandDef> Commands();
const CommandDef* FindCommand(const std::string& name);
// The options gridwell takes before a command (--help, --version).
std::span<const OptionDef> GlobalOptions();

struct ParsedArguments {
    std::vector<std::string> operands;
    // Each option given, by its long name, with the values in the order
    // given (a switch has one empty value per use).
    std::map<std::string, std::vector<std::string>> options;

    bool Has(const std::string& name) const { return options.count(name) != 0; }
    // The last value given, or `otherwise`.
    std::string Value(const std::string& name, const std::string& otherwise = {}) const;
    std::vector<std::string> Values(const std::string& name) const;
};

// Reads `args` (after the command name) for `command`. Options and operands
// may mix; "--" ends the options; "--name=value" and "-o value" both work.
// False with a one-line `error` naming the bad argument.
bool ParseArguments(const CommandDef& command, const std::vector<std::string>& args, ParsedArguments& parsed,
                    std::string& error);

std::string CommandHelp(const CommandDef& command);
std::string GlobalHelp();

} // namespace gridwell
