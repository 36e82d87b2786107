// gridwell: the command line people type to move block attributes between a
// DXF drawing and an .xlsx workbook. Each subcommand is one job of the
// module's, run in one host session as gwhost runs it.
#include "arguments.h"
#include "files.h"
#include "job.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    using namespace gridwell;
    if (argc < 2) {
        std::fputs(GlobalHelp().c_str(), stderr);
        return kBadUsage;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        std::fputs(GlobalHelp().c_str(), stdout);
        return kDone;
    }
    if (first == "--version" || first == "-V") {
        std::printf("gridwell %s\n", GRIDWELL_VERSION);
        return kDone;
    }
    const CommandDef* command = FindCommand(first);
    if (!command) {
        std::fprintf(stderr, "gridwell: %s \"%s\" (see gridwell --help)\n",
                     first.size() > 1 && first[0] == '-' ? "unknown option" : "no command", first.c_str());
        return kBadUsage;
    }
    ParsedArguments args;
    std::string error;
    if (!ParseArguments(*command, std::vector<std::string>(argv + 2, argv + argc), args, error))
        return Fail(command->name, error, kBadUsage);
    if (args.Has("--help")) {
        std::fputs(CommandHelp(*command).c_str(), stdout);
        return kDone;
    }
    const std::string name = command->name;
    if (name != "link") // the link ends on a signal of its own, through its last save
        RemoveTemporariesOnSignal();
    if (name == "export")
        return RunExport(args);
    if (name == "import")
        return RunImport(args);
    if (name == "link")
        return RunLink(args);
    return RunOptions(args);
}
