#include "synch.h"

#include "errhandlingapi.h"
#include "winerror.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>

namespace {

struct EventObject {
    std::mutex lock;
    std::condition_variable changed;
    bool manualReset = false;
    bool signalled = false;
};

struct HandleTable {
    std::mutex lock;
    std::set<EventObject*> events;
};

HandleTable& Handles()
{
    static HandleTable table;
    return table;
}

// The event behind a handle; a handle that is not a live event sets the
// thread's last error as Windows does, so each caller only returns its own
// failure value.
EventObject* AsEvent(HANDLE handle)
{
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    auto* event = static_cast<EventObject*>(handle);
    if (table.events.count(event))
        return event;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

} // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR)
{
    auto* event = new EventObject;
    event->manualReset = manualReset != FALSE;
    event->signalled = initialState != FALSE;
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    table.events.insert(event);
    return event;
}

BOOL SetEvent(HANDLE handle)
{
    EventObject* event = AsEvent(handle);
    if (!event)
        return FALSE;
    {
        std::lock_guard<std::mutex> guard(event->lock);
        event->signalled = true;
    }
    event->changed.notify_all();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle)
{
    EventObject* event = AsEvent(handle);
    if (!event)
        return FALSE;
    std::lock_guard<std::mutex> guard(event->lock);
    event->signalled = false;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    EventObject* event = AsEvent(handle);
    if (!event)
        return WAIT_FAILED;
    std::unique_lock<std::mutex> guard(event->lock);
    auto isSignalled = [event] { return event->signalled; };
    if (milliseconds == INFINITE) {
        event->changed.wait(guard, isSignalled);
    } else if (!event->changed.wait_for(guard, std::chrono::milliseconds(milliseconds), isSignalled)) {
        return WAIT_TIMEOUT;
    }
    if (!event->manualReset)
        event->signalled = false;
    return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE handle)
{
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    auto* event = static_cast<EventObject*>(handle);
    if (!table.events.erase(event)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete event;
    return TRUE;
}

int OpenKernelHandleCount()
{
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    return static_cast<int>(table.events.size());
}
