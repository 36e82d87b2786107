// gwhost's command line: input lines from standard input, output to
// standard output, and message boxes printed as "<caption>: <text>" with
// questions answered from the input.
#pragma once
#include <host_io.h>
#include <message_box.h>

#include <cstdio>
#include <iostream>
#include <string>

class StdioCommandLine : public HostCommandLine {
public:
    bool readLine(std::string& line) override
    {
        std::fflush(stdout);
        return static_cast<bool>(std::getline(std::cin, line));
    }
    void write(const std::string& text) override { std::fwrite(text.data(), 1, text.size(), stdout); }
};

class PrintingMessageBoxDriver : public MessageBoxDriver {
public:
    int show(HWND, const std::string& text, const std::string& caption, UINT type) override;
};
