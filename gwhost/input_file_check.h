// A first look at a drawing or workbook named on gwhost's command line, so
// that a directory, a FIFO or an OpenDocument file gets a message that says
// what it is instead of a reader's complaint about its bytes (or, for a
// FIFO, a wait for a writer that never comes).
#pragma once
#include <string>

enum class InputFileKind { Drawing, Workbook };

// False with a one-line `error` when `path` cannot be a `kind`. A missing or
// unreadable file passes: the reader reports that in its own words.
bool CheckInputFile(const std::string& path, InputFileKind kind, std::string& error);
