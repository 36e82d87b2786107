// What every gridwell job shares: its failure lines and exit statuses, and
// the options of its run (the user's stored options with --option values
// over them, for this run only).
#pragma once
#include "arguments.h"
#include "settings/settings.h"

#include <string>

namespace gridwell {

enum ExitStatus { kDone = 0, kFailed = 1, kBadUsage = 2 };

// "gridwell: export: <message>" on standard error; returns `status`.
int Fail(const char* command, const std::string& message, int status);

// The options store of this user: --registry FILE, else the default
// (the same file gwhost uses).
bool StorePath(const ParsedArguments& args, std::string& path, std::string& error);
// The stored options, read without changing the store; damage in it is
// reported by the store's reader and the defaults stand.
bool LoadStoredSettings(const ParsedArguments& args, Settings& settings, std::string& error);
// LoadStoredSettings with every --option NAME=VALUE applied over it.
bool RunSettings(const ParsedArguments& args, Settings& settings, std::string& error);

// What an import and a link check before they start, on their operands
// DRAWING BOOK: both readable, the drawing writable in place (a file in a
// folder that takes the temporary file and the backup) or -o free to write
// (--force replaces it); then the options of the run.
bool CheckDrawingAndBookJob(const ParsedArguments& args, Settings& settings, std::string& error);

int RunExport(const ParsedArguments& args);
int RunImport(const ParsedArguments& args);
int RunLink(const ParsedArguments& args);
int RunOptions(const ParsedArguments& args);

} // namespace gridwell
