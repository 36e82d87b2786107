// Saving a workbook: where it goes and how the file is replaced.
#include "xlsx_file.h"
#include "xlsx_patch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace excelsim {

namespace fs = std::filesystem;

bool ReplaceFile(const std::string& path, const std::function<bool(const std::string&, std::string&)>& write,
                 std::string& error)
{
    // A link is written through: the file it names is replaced, the link stays.
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    struct stat existing {};
    bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        error = path + " is not a regular file";
        return false;
    }
    // A fresh name beside the target, so the rename is atomic and no file of
    // the user's (say "Book1.xlsx.part") is ever written over.
    std::random_device entropy;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = (target.parent_path() / ("." + target.filename().string() + "." +
                                             std::to_string(entropy() % 1000000) + ".tmp"))
                        .string();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (fd < 0) {
        error = "cannot create a file beside " + path;
        return false;
    }
    // The saved file keeps the permissions of the one it replaces; a new one
    // gets the user's default (0666 less the umask, as open applied).
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        ::close(fd);
        std::remove(temporary.c_str());
        error = "cannot keep the permissions of " + path;
        return false;
    }
    ::close(fd);
    if (!write(temporary, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot replace " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

namespace {

bool WriteBytes(const std::string& path, const std::string& bytes, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return !a.empty() && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

} // namespace

SaveResult SaveXlsx(Workbook& book, const std::string& path, std::string& error)
{
    if (!book.opened) {
        if (!WriteXlsx(book, path, error))
            return SaveResult::Failed;
        return SaveResult::Written;
    }
    std::string bytes;
    if (!book.Changed()) {
        // Nothing changed: its own file stays untouched, another gets a copy.
        if (SameFile(book.opened->path, path))
            return SaveResult::Unchanged;
        bytes = book.opened->bytes;
    } else if (!xlsx::PatchXlsx(book, bytes, error)) {
        error = path + ": " + error;
        return SaveResult::Failed;
    }
    if (!ReplaceFile(path, [&](const std::string& temporary, std::string& e) { return WriteBytes(temporary, bytes, e); },
                     error))
        return SaveResult::Failed;
    book.opened = std::make_shared<const Workbook::OpenedFile>(Workbook::OpenedFile{path, std::move(bytes)});
    book.MarkSaved();
    return SaveResult::Written;
}

} // namespace excelsim
