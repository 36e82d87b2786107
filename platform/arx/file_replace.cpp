#include "file_replace.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// More links than this in a chain is a loop, as the kernel's own limit says.
constexpr int kMaxLinkHops = 40;

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at, the last one possibly missing.
// realpath() cannot be used: it fails for a link to a file not yet made.
bool FollowLinks(std::string path, std::string& target, std::string& error)
{
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = path;
            return true;
        }
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
            error = path + ": cannot read the symbolic link";
            return false;
        }
        std::string next(buffer, static_cast<std::size_t>(length));
        path = next[0] == '/' ? next : DirectoryOf(path) + "/" + next;
    }
    error = path + ": too many levels of symbolic links";
    return false;
}

// A write past the file-size limit raises SIGXFSZ, whose default action ends
// the process and leaves the temporary file behind. Ignored for the length
// of the save, the write fails with EFBIG instead and is reported.
class FileSizeSignalIgnored {
public:
    FileSizeSignalIgnored()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_saved = ::sigaction(SIGXFSZ, &ignore, &m_previous) == 0;
    }
    ~FileSizeSignalIgnored()
    {
        if (m_saved)
            ::sigaction(SIGXFSZ, &m_previous, nullptr);
    }
    FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
    FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

private:
    struct sigaction m_previous {};
    bool m_saved = false;
};

// The temporary file: removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string pattern) : m_path(std::move(pattern)) { m_fd = ::mkstemp(m_path.data()); }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_kept && m_fd != kNeverMade)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool made() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    // Closes the descriptor; the close result is what a late write error
    // (NFS, a full disk) reports.
    bool close()
    {
        const int fd = m_fd;
        m_fd = kClosed;
        return ::close(fd) == 0;
    }
    void keep() { m_kept = true; }

private:
    static constexpr int kNeverMade = -1;
    static constexpr int kClosed = -2;
    std::string m_path;
    int m_fd = kNeverMade;
    bool m_kept = false;
};

} // namespace

bool WriteAll(int fd, std::string_view contents)
{
    const char* p = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        p += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

namespace {

std::string Reason(int err)
{
    if (err == EFBIG)
        return "the file-size limit stopped the save";
    if (err == ENOSPC)
        return "the disk is full";
    return std::strerror(err);
}

// The mode open(O_CREAT, 0666) would give: mkstemp makes its file 0600,
// which would hide a new drawing from the user's group. umask() can only be
// read by setting it; the save runs on the host's one main thread.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool ReplaceFileKeepingItsMode(const std::string& path, const std::string& contents, std::string& error)
{
    return ReplaceFileKeepingItsMode(path, [&contents](int fd) { return WriteAll(fd, contents); }, error);
}

bool ReplaceFileKeepingItsMode(const std::string& path, const std::function<bool(int fd)>& writeContents,
                               std::string& error)
{
    std::string target;
    if (!FollowLinks(path, target, error))
        return false;

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    mode_t mode = NewFileMode();
    if (exists) {
        if (S_ISDIR(existing.st_mode)) {
            error = path + ": is a directory";
            return false;
        }
        if (!S_ISREG(existing.st_mode)) {
            error = path + ": is not a regular file";
            return false;
        }
        if ((existing.st_mode & 0222) == 0 || (::access(target.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS))) {
            error = path + ": the file is read-only";
            return false;
        }
        mode = existing.st_mode & 07777;
    }

    FileSizeSignalIgnored noSignal;
    TemporaryFile temporary(target + ".XXXXXX");
    if (!temporary.made()) {
        error = path + ": " + Reason(errno);
        return false;
    }
    if (!writeContents(temporary.fd())) {
        error = path + ": " + Reason(errno);
        return false;
    }
    // Owner and group can only be kept by a process allowed to give them;
    // for anyone else the new file is theirs, as any editor's save makes it.
    if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()))
        if (::fchown(temporary.fd(), existing.st_uid, existing.st_gid) != 0) {
            // Not permitted: the save goes on with this process's ownership.
        }
    if (::fchmod(temporary.fd(), mode) != 0 || ::fsync(temporary.fd()) != 0) {
        error = path + ": " + Reason(errno);
        return false;
    }
    if (!temporary.close()) {
        error = path + ": " + Reason(errno);
        return false;
    }
    if (std::rename(temporary.path().c_str(), target.c_str()) != 0) {
        error = path + ": " + Reason(errno);
        return false;
    }
    temporary.keep();
    return true;
}
