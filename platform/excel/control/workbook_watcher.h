// Follows a workbook's .xlsx file while another program edits it: each time
// the file is saved, the cells that differ from the workbook held are entered
// into it as that program's user would have typed them, so SheetChange goes
// out exactly for what changed.
//
// Spreadsheet programs save to a temporary file and rename it over the
// original, so the watch is on the file's folder (a watch on the file itself
// would follow the old inode into oblivion). A save is read only once the
// folder has been quiet for the settle time, and only when the file is a
// complete package; a file that stays unreadable is reported once through
// the warning callback and the workbook in memory stays as it is.
#pragma once
#include "excel_app.h"

#include <chrono>
#include <functional>
#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <thread>

namespace excelsim {

struct WatchOptions {
    std::chrono::milliseconds settle{200};
    int readAttempts = 3; // reads of one save before it is reported unreadable
};

class WorkbookWatcher {
public:
    // Called on the watcher's thread, with no lock held; one line, no newline.
    using Warning = std::function<void(const std::string&)>;

    WorkbookWatcher(std::shared_ptr<ExcelApp> app, std::u16string workbook, std::string path, Warning warning,
                    WatchOptions options = {});
    ~WorkbookWatcher(); // stops and joins
    WorkbookWatcher(const WorkbookWatcher&) = delete;
    WorkbookWatcher& operator=(const WorkbookWatcher&) = delete;

    bool Start(std::string& error);
    void Stop();
    // Saves of the file taken into the workbook so far (for tests and benchmarks).
    int SavesApplied() const { return applied_.load(); }
    // A save seen and not yet taken in, or one taken in less than `grace`
    // ago (its events may still be on their way through a client's queue):
    // a host about to end waits while this holds, so the save is not lost.
    bool SaveInFlight(std::chrono::milliseconds grace) const;

private:
    void Run();
    void TakeSave(int& failures);

    std::shared_ptr<ExcelApp> app_;
    std::u16string workbook_;
    std::string path_, folder_, fileName_;
    Warning warning_;
    WatchOptions options_;
    int inotify_ = -1, wake_ = -1;
    std::thread thread_;
    std::atomic<int> applied_{0};
    std::atomic<bool> pending_{false};
    std::atomic<std::chrono::steady_clock::rep> lastApplied_{0}; // steady clock ticks; 0: none yet
    std::set<std::string> told_; // warnings given: each once
};

} // namespace excelsim
