// An open POSIX file descriptor closed on every way out. The stand-ins read
// the user's files through it, and the host program uses the same holder to
// look at a file before it hands the path on.
#pragma once
#include <unistd.h>

class UniqueFd {
public:
    explicit UniqueFd(int fd)
        : m_fd(fd)
    {
    }
    ~UniqueFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    // Negative when the open failed (errno says why).
    int get() const { return m_fd; }

private:
    int m_fd;
};
