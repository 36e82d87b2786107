#include "timers.h"

#include "errhandlingapi.h"
#include "winerror.h"

#include <chrono>
#include <map>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Timer {
    UINT elapse = 0;
    TIMERPROC callback = nullptr;
    Clock::time_point lastFired;
};

struct TimerTable {
    std::mutex lock;
    std::map<UINT_PTR, Timer> timers;
    UINT_PTR nextId = 1;
};

TimerTable& Table()
{
    static TimerTable table;
    return table;
}

DWORD TickCount()
{
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

} // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMilliseconds, TIMERPROC callback)
{
    TimerTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    if (window) {
        // Window timers need a window procedure; no window exists here.
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    (void)id;
    if (!callback) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const UINT_PTR newId = table.nextId++;
    table.timers[newId] = Timer{elapseMilliseconds, callback, Clock::now()};
    return newId;
}

BOOL KillTimer(HWND, UINT_PTR id)
{
    TimerTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    return table.timers.erase(id) ? TRUE : FALSE;
}

int DispatchDueTimers(bool all)
{
    TimerTable& table = Table();
    std::vector<std::pair<UINT_PTR, TIMERPROC>> due;
    {
        std::lock_guard<std::mutex> guard(table.lock);
        const Clock::time_point now = Clock::now();
        for (auto& [id, timer] : table.timers) {
            if (all || now - timer.lastFired >= std::chrono::milliseconds(timer.elapse)) {
                timer.lastFired = now;
                due.emplace_back(id, timer.callback);
            }
        }
    }
    // Callbacks run without the table lock: they may set or kill timers.
    for (auto& [id, callback] : due)
        callback(nullptr, WM_TIMER, id, TickCount());
    return static_cast<int>(due.size());
}

int ActiveTimerCount()
{
    TimerTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    return static_cast<int>(table.timers.size());
}
