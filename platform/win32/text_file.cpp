#include "text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

ReadResult ReadWholeFile(const std::string& path, std::string& contents, std::string& error)
{
    contents.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        error = std::strerror(errno);
        return ReadResult::Failed;
    }
    char buffer[8192];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        contents.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int savedErrno = errno;
    std::fclose(file);
    if (failed) {
        error = std::strerror(savedErrno);
        return ReadResult::Failed;
    }
    return ReadResult::Ok;
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
