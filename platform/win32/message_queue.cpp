#include "message_windows.h"

#include "errhandlingapi.h"
#include "synch.h"
#include "processthreadsapi.h"
#include "winerror.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct MessageQueue {
    std::mutex lock;
    std::condition_variable posted;
    std::deque<MSG> messages;
};

struct WindowEntry {
    WNDPROC procedure = nullptr;
    DWORD threadId = 0;
};

struct QueueTable {
    std::mutex lock;
    std::map<DWORD, std::shared_ptr<MessageQueue>> queues;
    std::map<HWND, WindowEntry> windows;
    std::uintptr_t nextWindow = 0x10000;
};

QueueTable& Table()
{
    static QueueTable table;
    return table;
}

// Removes the thread's queue and windows when the thread ends.
struct QueueOwner {
    DWORD threadId = 0;
    ~QueueOwner()
    {
        if (!threadId)
            return;
        QueueTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        table.queues.erase(threadId);
        for (auto it = table.windows.begin(); it != table.windows.end();)
            it = it->second.threadId == threadId ? table.windows.erase(it) : std::next(it);
    }
};
thread_local QueueOwner t_owner;

std::shared_ptr<MessageQueue> OwnQueue()
{
    QueueTable& table = Table();
    DWORD id = GetCurrentThreadId();
    std::lock_guard<std::mutex> guard(table.lock);
    auto& queue = table.queues[id];
    if (!queue) {
        queue = std::make_shared<MessageQueue>();
        t_owner.threadId = id;
    }
    return queue;
}

std::shared_ptr<MessageQueue> QueueOf(DWORD threadId)
{
    QueueTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.queues.find(threadId);
    return it == table.queues.end() ? nullptr : it->second;
}

DWORD Now()
{
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now().time_since_epoch())
                                  .count());
}

BOOL Post(const std::shared_ptr<MessageQueue>& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard<std::mutex> guard(queue->lock);
        queue->messages.push_back(MSG{window, message, wParam, lParam, Now(), POINT{0, 0}});
    }
    queue->posted.notify_all();
    return TRUE;
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (window && msg.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

// Takes (or, without `remove`, copies) the first matching message.
bool Take(MessageQueue& queue, LPMSG out, HWND window, UINT filterMin, UINT filterMax, bool remove)
{
    for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
        if (Matches(*it, window, filterMin, filterMax)) {
            *out = *it;
            if (remove)
                queue.messages.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<MessageQueue> queue = QueueOf(threadId);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return Post(queue, nullptr, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam);
    std::shared_ptr<MessageQueue> queue;
    {
        QueueTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.windows.find(window);
        if (it != table.windows.end()) {
            auto q = table.queues.find(it->second.threadId);
            if (q != table.queues.end())
                queue = q->second;
        }
    }
    if (!queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return Post(queue, window, message, wParam, lParam);
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!message)
        return FALSE;
    std::shared_ptr<MessageQueue> queue = OwnQueue();
    std::lock_guard<std::mutex> guard(queue->lock);
    return Take(*queue, message, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax)
{
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    std::shared_ptr<MessageQueue> queue = OwnQueue();
    std::unique_lock<std::mutex> guard(queue->lock);
    queue->posted.wait(guard, [&] { return Take(*queue, message, window, filterMin, filterMax, true); });
    return message->message == WM_QUIT ? FALSE : TRUE;
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (!message || !message->hwnd)
        return 0;
    WNDPROC procedure = nullptr;
    {
        QueueTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.windows.find(message->hwnd);
        // Only the owning thread's dispatch reaches a window's procedure.
        if (it != table.windows.end() && it->second.threadId == GetCurrentThreadId())
            procedure = it->second.procedure;
    }
    return procedure ? procedure(message->hwnd, message->message, message->wParam, message->lParam) : 0;
}

void PostQuitMessage(int exitCode)
{
    Post(OwnQueue(), nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

HWND CreateMessageWindow(WNDPROC procedure)
{
    if (!procedure) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    OwnQueue();
    QueueTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.nextWindow += 0x10;
    HWND window = reinterpret_cast<HWND>(table.nextWindow);
    table.windows[window] = WindowEntry{procedure, GetCurrentThreadId()};
    return window;
}

BOOL DestroyWindow(HWND window)
{
    QueueTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.windows.find(window);
    if (it == table.windows.end() || it->second.threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    table.windows.erase(it);
    return TRUE;
}
