// The watcher's thread: inotify on the file's folder and an eventfd that
// Stop() signals, both waited on with poll so that stopping never waits for
// the next save.
#include "workbook_watcher.h"
#include "utf8_text.h"
#include "xlsx_file.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace excelsim {
namespace {

// Size and modification time: a file still being written shows a change in
// one of them between the start and the end of a read.
struct Stamp {
    off_t size = -1;
    timespec modified{};
    ino_t inode = 0;
    bool operator==(const Stamp& other) const
    {
        return size == other.size && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec && inode == other.inode;
    }
};

bool StampOf(const std::string& path, Stamp& stamp)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return false;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    stamp.inode = info.st_ino;
    return true;
}

} // namespace

WorkbookWatcher::WorkbookWatcher(std::shared_ptr<ExcelApp> app, std::u16string workbook, std::string path,
                                 Warning warning, WatchOptions options)
    : app_(std::move(app)), workbook_(std::move(workbook)), path_(std::move(path)), warning_(std::move(warning)),
      options_(options)
{
    const auto slash = path_.rfind('/');
    folder_ = slash == std::string::npos ? "." : (slash == 0 ? "/" : path_.substr(0, slash));
    fileName_ = slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

WorkbookWatcher::~WorkbookWatcher() { Stop(); }

bool WorkbookWatcher::Start(std::string& error)
{
    if (thread_.joinable()) {
        error = "the workbook is already watched";
        return false;
    }
    inotify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    // IN_MODIFY keeps a save in progress from counting as quiet; the others
    // are the ends of a save in place and of a save through a renamed file.
    if (inotify_ < 0 || wake_ < 0 ||
        inotify_add_watch(inotify_, folder_.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MODIFY) < 0) {
        error = "cannot watch " + folder_ + ": " + std::strerror(errno);
        Stop();
        return false;
    }
    thread_ = std::thread([this] { Run(); });
    return true;
}

void WorkbookWatcher::Stop()
{
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto written = write(wake_, &one, sizeof one);
        thread_.join();
    }
    if (inotify_ >= 0)
        close(inotify_);
    if (wake_ >= 0)
        close(wake_);
    inotify_ = wake_ = -1;
}

void WorkbookWatcher::Run()
{
    using Clock = std::chrono::steady_clock;
    bool pending = false;
    int failures = 0;
    Clock::time_point quietFrom{};
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (;;) {
        int timeout = -1;
        if (pending) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                quietFrom + options_.settle - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, left.count()));
        }
        pollfd fds[2] = {{wake_, POLLIN, 0}, {inotify_, POLLIN, 0}};
        const int ready = poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            return;
        if (fds[1].revents & POLLIN) {
            for (;;) {
                const ssize_t length = read(inotify_, buffer, sizeof buffer);
                if (length <= 0)
                    break;
                for (ssize_t at = 0; at < length;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                    // A lost queue may have held the file's save: look at it anyway.
                    if ((event->mask & IN_Q_OVERFLOW) || (event->len > 0 && fileName_ == event->name)) {
                        pending = true;
                        pending_.store(true);
                        quietFrom = Clock::now();
                    }
                    if ((event->mask & IN_IGNORED) && warning_)
                        warning_("the folder " + folder_ + " is gone; " + path_ + " is no longer followed");
                    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                }
            }
            continue;
        }
        if (pending && Clock::now() >= quietFrom + options_.settle) {
            pending = false;
            TakeSave(failures);
            // An unreadable save is tried again after another settle time,
            // unless it has been tried often enough.
            if (failures > 0 && failures < options_.readAttempts) {
                pending = true;
                quietFrom = Clock::now();
            }
            pending_.store(pending);
        }
    }
}

void WorkbookWatcher::TakeSave(int& failures)
{
    Stamp before, after;
    std::string error;
    std::shared_ptr<Workbook> saved;
    if (!StampOf(path_, before))
        error = std::string("cannot find it: ") + std::strerror(errno);
    else if (!(saved = ReadXlsx(path_, error)))
        ;
    else if (!StampOf(path_, after) || !(before == after)) {
        error = "it changed while it was read";
        saved.reset();
    }
    if (!saved) {
        if (++failures == options_.readAttempts && warning_)
            warning_("cannot read the saved workbook " + path_ + " (" + error + "); the workbook in memory is kept");
        return;
    }
    failures = 0;
    std::vector<std::string> warnings;
    if (!app_->TakeSavedFile(workbook_, *saved, warnings, error))
        warnings.push_back("cannot follow " + path_ + ": " + error);
    for (const auto& line : warnings)
        if (told_.insert(line).second && warning_)
            warning_(line);
    lastApplied_.store(std::chrono::steady_clock::now().time_since_epoch().count());
    applied_.fetch_add(1);
}

bool WorkbookWatcher::SaveInFlight(std::chrono::milliseconds grace) const
{
    if (pending_.load())
        return true;
    const auto last = lastApplied_.load();
    if (last == 0)
        return false;
    const std::chrono::steady_clock::time_point at{std::chrono::steady_clock::duration{last}};
    return std::chrono::steady_clock::now() - at < grace;
}

} // namespace excelsim
