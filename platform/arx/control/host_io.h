// The host's command line as the stand-ins see it: gwhost feeds it from
// standard input and prints to standard output; tests script it and read back
// what was printed. A line "^C" stands for Escape.
#pragma once
#include <string>

enum class HostInputResult { Line, Cancel, EndOfInput };

class HostCommandLine {
public:
    virtual ~HostCommandLine() = default;
    // Next line of input without its line end; false at the end of input.
    virtual bool readLine(std::string& line) = 0;
    virtual void write(const std::string& text) = 0;
};

// Reads the next input line for a prompt of the host's; "^C" is Cancel.
HostInputResult HostReadInputLine(std::string& line);
// Whether lines sent to the document (sendStringToExecute) wait to be read:
// the host's idle loop returns to the command prompt to run them.
bool HostHasPendingInput();
// Writes text to the command line, as acutPrintf does.
void HostWriteOutput(const std::string& text);
