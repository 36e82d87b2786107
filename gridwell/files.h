// The files a gridwell job reads and writes. Everything is checked before the
// job starts, so that a bad name costs nothing and leaves nothing behind; the
// results are written beside their target and renamed into place, so that no
// one ever sees half a file, and a file of the user's is replaced only when
// asked (--force) or when it is the drawing an import updates in place.
#pragma once
#include "input_file_check.h"

#include <string>

namespace gridwell {

// An existing, readable regular file that can be `kind`: a workbook must
// also be a zip package, as every .xlsx is. False with a one-line `error`.
bool CheckInputPath(const std::string& path, InputFileKind kind, std::string& error);
// A file can be made at `path`: its folder exists and may be written, and
// nothing is there, or (with `replace`) a regular file is.
bool CheckOutputPath(const std::string& path, bool replace, std::string& error);
// The folder of `path` ("." for a bare name).
std::string FolderOf(const std::string& path);

// From now on SIGINT, SIGTERM and SIGHUP remove the temporary files of
// TemporaryBeside that are still there before they end the process, so that
// a job interrupted while saving leaves nothing half-written behind.
void RemoveTemporariesOnSignal();

// A free temporary name beside `target`, removed with this object unless
// Publish moved it into place.
class TemporaryBeside {
public:
    explicit TemporaryBeside(const std::string& target);
    ~TemporaryBeside();
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    const std::string& Path() const { return path_; }
    bool Ok() const { return !path_.empty(); }
    // Renames the file to the target: over an existing file only when
    // `replace`, else refused (atomically: a file that appeared meanwhile is
    // kept). The file gets the mode a new file takes (0666 less the umask).
    bool Publish(bool replace, std::string& error);
    // The file was moved away by other means: nothing to remove.
    void Forget();

private:
    std::string target_;
    std::string path_;
};

// The previous content of `file` kept as FILE.bak once the new content is in
// place: a hard link to the old file taken before the save, renamed to
// FILE.bak by Keep; dropped (the old .bak stays) when the save failed.
class Backup {
public:
    explicit Backup(const std::string& file);
    ~Backup();
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;

    bool Ok() const { return temporary_.Ok() && error_.empty(); }
    const std::string& Error() const { return error_; }
    bool Keep(std::string& error);

private:
    std::string file_;
    TemporaryBeside temporary_;
    std::string error_;
};

} // namespace gridwell
