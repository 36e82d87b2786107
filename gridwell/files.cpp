#include "files.h"

#include <text_for_terminal.h>
#include <unique_fd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gridwell {

namespace {

std::string Shown(const std::string& path) { return TextForTerminal(path); }

std::string Why(int error) { return std::strerror(error); }

// The temporary files a signal is to remove. Lock-free atomics, so that the
// handler may read them whenever it runs.
std::atomic<const char*> g_temporaries[4];

extern "C" void RemoveTemporariesAndEnd(int signal)
{
    for (auto& slot : g_temporaries)
        if (const char* path = slot.load())
            ::unlink(path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Register(const std::string& path)
{
    for (auto& slot : g_temporaries) {
        const char* expected = nullptr;
        if (slot.compare_exchange_strong(expected, path.c_str()))
            return;
    }
}

void Unregister(const std::string& path)
{
    for (auto& slot : g_temporaries) {
        const char* expected = path.c_str();
        slot.compare_exchange_strong(expected, nullptr);
    }
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool CheckInputPath(const std::string& path, InputFileKind kind, std::string& error)
{
    const char* noun = kind == InputFileKind::Drawing ? "drawing" : "workbook";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = std::string("cannot open ") + noun + " " + Shown(path) + ": " + Why(errno);
        return false;
    }
    if (!CheckInputFile(path, kind, error))
        return false;
    const UniqueFd file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.get() < 0) {
        error = std::string("cannot open ") + noun + " " + Shown(path) + ": " + Why(errno);
        return false;
    }
    if (kind == InputFileKind::Workbook) {
        // Every .xlsx is a zip package; anything else (a .xls, a CSV, a
        // drawing given in the wrong place) is refused by name here rather
        // than by the package reader's account of its bytes.
        char head[4] = {};
        if (::read(file.get(), head, sizeof head) != 4 || std::memcmp(head, "PK\x03\x04", 4) != 0) {
            error = Shown(path) + " is not an .xlsx workbook (not a zip package)";
            return false;
        }
    }
    return true;
}

bool CheckOutputPath(const std::string& path, bool replace, std::string& error)
{
    const std::string folder = FolderOf(path);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        error = "cannot write " + Shown(path) + ": folder " + Shown(folder) + ": " + Why(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = "cannot write " + Shown(path) + ": " + Shown(folder) + " is not a folder";
        return false;
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        error = "cannot write " + Shown(path) + ": folder " + Shown(folder) + ": " + Why(errno);
        return false;
    }
    if (::lstat(path.c_str(), &info) != 0)
        return true;
    if (S_ISDIR(info.st_mode)) {
        error = Shown(path) + " is a folder";
        return false;
    }
    if (!replace) {
        error = Shown(path) + " exists; give --force to replace it";
        return false;
    }
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        error = Shown(path) + " is not a regular file";
        return false;
    }
    return true;
}

void RemoveTemporariesOnSignal()
{
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

// A symbolic link given as the target stays a link: the file it names is
// the one replaced, beside which the temporary file must then be.
static std::string LinkedFile(const std::string& target)
{
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return target;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(target.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : target;
}

TemporaryBeside::TemporaryBeside(const std::string& target)
    : target_(LinkedFile(target))
{
    const std::string folder = FolderOf(target_);
    const auto slash = target_.rfind('/');
    std::string name = folder + "/." + (slash == std::string::npos ? target_ : target_.substr(slash + 1)) + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd >= 0) {
        ::close(fd);
        path_ = name;
        Register(path_);
    }
}

TemporaryBeside::~TemporaryBeside()
{
    if (!path_.empty()) {
        ::unlink(path_.c_str());
        Unregister(path_);
    }
}

void TemporaryBeside::Forget()
{
    Unregister(path_);
    path_.clear();
}

bool TemporaryBeside::Publish(bool replace, std::string& error)
{
    if (::chmod(path_.c_str(), NewFileMode()) != 0) {
        error = "cannot write " + Shown(target_) + ": " + Why(errno);
        return false;
    }
    if (replace) {
        if (::rename(path_.c_str(), target_.c_str()) != 0) {
            error = "cannot write " + Shown(target_) + ": " + Why(errno);
            return false;
        }
        Forget();
        return true;
    }
    int status = ::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE);
    if (status != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without RENAME_NOREPLACE: a hard link refuses an
        // existing name as well.
        status = ::link(path_.c_str(), target_.c_str());
        if (status == 0)
            ::unlink(path_.c_str());
    }
    if (status != 0) {
        error = errno == EEXIST ? Shown(target_) + " exists; give --force to replace it"
                                : "cannot write " + Shown(target_) + ": " + Why(errno);
        return false;
    }
    Forget();
    return true;
}

Backup::Backup(const std::string& file)
    : file_(file)
    , temporary_(file + ".bak")
{
    if (!temporary_.Ok()) {
        error_ = "cannot keep a backup of " + Shown(file) + ": " + Why(errno);
        return;
    }
    // The link holds the old file whatever the save then puts in its place.
    ::unlink(temporary_.Path().c_str());
    // A drawing reached through a symbolic link is saved into the file the
    // link names: that file is the one to keep.
    if (::linkat(AT_FDCWD, file.c_str(), AT_FDCWD, temporary_.Path().c_str(), AT_SYMLINK_FOLLOW) != 0)
        error_ = "cannot keep a backup of " + Shown(file) + ": " + Why(errno) + " (give --no-backup to go without)";
}

Backup::~Backup() = default;

bool Backup::Keep(std::string& error)
{
    if (::rename(temporary_.Path().c_str(), (file_ + ".bak").c_str()) != 0) {
        error = "the drawing was saved, but " + Shown(file_) + ".bak could not be kept: " + Why(errno);
        return false;
    }
    temporary_.Forget();
    return true;
}

} // namespace gridwell
