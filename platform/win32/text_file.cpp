#include "text_file.h"

#include "unique_fd.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ReadResult ReadWholeFile(const std::string& path, std::string& contents, std::string& error, std::size_t maxBytes)
{
    contents.clear();
    // O_NONBLOCK: opening a FIFO must not wait for a writer that never comes.
    const UniqueFd file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.get() < 0) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        error = std::strerror(errno);
        return ReadResult::Failed;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        error = std::strerror(errno);
        return ReadResult::Failed;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "a directory, not a file";
        return ReadResult::Failed;
    }
    if (S_ISFIFO(info.st_mode)) {
        error = "a FIFO (named pipe), not a file";
        return ReadResult::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return ReadResult::Failed;
    }
    const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        error = tooLarge;
        return ReadResult::Failed;
    }
    contents.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = std::strerror(errno);
            contents.clear();
            return ReadResult::Failed;
        }
        if (got == 0)
            return ReadResult::Ok;
        // The file may grow while it is read: the limit holds for what is read.
        if (static_cast<std::size_t>(got) > maxBytes - contents.size()) {
            error = tooLarge;
            contents.clear();
            return ReadResult::Failed;
        }
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

bool ReplaceFileContents(const std::string& path, const std::string& contents, bool createFolders,
                         std::string& error)
{
    const std::filesystem::path target(path);
    if (createFolders && target.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        if (ec) {
            error = "cannot create " + target.parent_path().string() + ": " + ec.message();
            return false;
        }
    }
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    bool good = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    good = std::fflush(file) == 0 && good;
    good = fsync(fileno(file)) == 0 && good;
    const int savedErrno = errno;
    good = std::fclose(file) == 0 && good;
    if (!good) {
        error = "cannot write " + temporary + ": " + std::strerror(savedErrno);
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
