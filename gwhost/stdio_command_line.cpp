#include "stdio_command_line.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

bool StdioCommandLine::readLine(std::string& line)
{
    std::fflush(stdout);
    for (;;) {
        if (stop && stop())
            return false;
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return true;
        }
        if (ended_) {
            if (buffer_.empty())
                return false;
            line.swap(buffer_); // a last line without its line end
            buffer_.clear();
            return true;
        }
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, 20);
        if (ready < 0 && errno != EINTR) {
            ended_ = true;
            continue;
        }
        if (ready > 0) {
            char chunk[4096];
            const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
            if (got > 0)
                buffer_.append(chunk, static_cast<std::size_t>(got));
            else if (got == 0 || errno != EINTR)
                ended_ = true;
            continue;
        }
        if (idle && idle(line))
            return true;
    }
}
