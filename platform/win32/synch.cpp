#include "synch.h"
#include "processthreadsapi.h"

#include "errhandlingapi.h"
#include "winerror.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Every waitable object's state sits under one lock with one condition, so
// that a wait for any of several objects cannot miss a signal between its
// check and its sleep.
std::mutex g_stateLock;
std::condition_variable g_stateChanged;

// State below is guarded by g_stateLock.
struct KernelObject {
    virtual ~KernelObject() = default;
    virtual bool Signalled() const = 0;
    virtual void Released() {} // a wait has been satisfied by this object
};

struct EventObject final : KernelObject {
    bool manualReset = true;
    bool signalled = false;
    bool Signalled() const override { return signalled; }
    void Released() override
    {
        if (!manualReset)
            signalled = false;
    }
};

struct ThreadState {
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    DWORD id = 0;
    bool resumed = false; // guarded by g_stateLock
    bool ended = false;   // guarded by g_stateLock
    DWORD exitCode = STILL_ACTIVE;
};

struct ThreadObject final : KernelObject {
    std::shared_ptr<ThreadState> state;
    std::thread thread;
    bool Signalled() const override { return state->ended; }
    ~ThreadObject() override
    {
        bool ended = false;
        {
            std::lock_guard<std::mutex> guard(g_stateLock);
            ended = state->ended;
            // A thread still suspended when its last handle goes would never
            // run; let it end without running instead of leaking it.
            if (!state->resumed) {
                state->resumed = true;
                state->start = nullptr;
            }
        }
        g_stateChanged.notify_all();
        if (ended || !state->start)
            thread.join();
        else
            thread.detach();
    }
};

struct HandleTable {
    std::mutex lock;
    std::map<HANDLE, std::shared_ptr<KernelObject>> objects;
    std::uintptr_t next = 0x100;
};

HandleTable& Handles()
{
    static HandleTable table;
    return table;
}

HANDLE AddHandle(std::shared_ptr<KernelObject> object)
{
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    table.next += 4; // handle values are multiples of 4, as on Windows
    HANDLE handle = reinterpret_cast<HANDLE>(table.next);
    table.objects[handle] = std::move(object);
    return handle;
}

std::shared_ptr<KernelObject> Find(HANDLE handle)
{
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.objects.find(handle);
    return it == table.objects.end() ? nullptr : it->second;
}

std::atomic<DWORD> g_nextThreadId{1000};
thread_local DWORD t_threadId = 0;

BOOL InvalidHandle()
{
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

} // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR)
{
    auto event = std::make_shared<EventObject>();
    event->manualReset = manualReset != FALSE;
    event->signalled = initialState != FALSE;
    return AddHandle(std::move(event));
}

BOOL SetEvent(HANDLE handle)
{
    auto event = std::dynamic_pointer_cast<EventObject>(Find(handle));
    if (!event)
        return InvalidHandle();
    {
        std::lock_guard<std::mutex> guard(g_stateLock);
        event->signalled = true;
    }
    g_stateChanged.notify_all();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle)
{
    auto event = std::dynamic_pointer_cast<EventObject>(Find(handle));
    if (!event)
        return InvalidHandle();
    std::lock_guard<std::mutex> guard(g_stateLock);
    event->signalled = false;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles || waitAll) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    // The objects are held for the wait, so a handle closed meanwhile by
    // another thread cannot free what this one sleeps on.
    std::shared_ptr<KernelObject> objects[MAXIMUM_WAIT_OBJECTS];
    for (DWORD i = 0; i < count; ++i) {
        objects[i] = Find(handles[i]);
        if (!objects[i]) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
    }
    std::unique_lock<std::mutex> guard(g_stateLock);
    DWORD found = WAIT_TIMEOUT;
    auto anySignalled = [&] {
        for (DWORD i = 0; i < count; ++i) {
            if (objects[i]->Signalled()) {
                found = i;
                return true;
            }
        }
        return false;
    };
    if (milliseconds == INFINITE)
        g_stateChanged.wait(guard, anySignalled);
    else if (!g_stateChanged.wait_for(guard, std::chrono::milliseconds(milliseconds), anySignalled))
        return WAIT_TIMEOUT;
    objects[found]->Released();
    return WAIT_OBJECT_0 + found;
}

BOOL CloseHandle(HANDLE handle)
{
    std::shared_ptr<KernelObject> doomed; // freed outside the table lock: a thread object joins
    {
        HandleTable& table = Handles();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.objects.find(handle);
        if (it == table.objects.end())
            return InvalidHandle();
        doomed = std::move(it->second);
        table.objects.erase(it);
    }
    return TRUE;
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, std::size_t, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD flags, LPDWORD threadId)
{
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<ThreadObject>();
    auto state = std::make_shared<ThreadState>();
    state->start = start;
    state->parameter = parameter;
    state->id = g_nextThreadId.fetch_add(1);
    state->resumed = (flags & CREATE_SUSPENDED) == 0;
    object->state = state;
    object->thread = std::thread([state] {
        t_threadId = state->id;
        LPTHREAD_START_ROUTINE routine = nullptr;
        {
            std::unique_lock<std::mutex> guard(g_stateLock);
            g_stateChanged.wait(guard, [&] { return state->resumed; });
            routine = state->start;
        }
        DWORD code = routine ? routine(state->parameter) : 0;
        {
            std::lock_guard<std::mutex> guard(g_stateLock);
            state->exitCode = code;
            state->ended = true;
        }
        g_stateChanged.notify_all();
    });
    if (threadId)
        *threadId = state->id;
    return AddHandle(std::move(object));
}

DWORD ResumeThread(HANDLE handle)
{
    auto thread = std::dynamic_pointer_cast<ThreadObject>(Find(handle));
    if (!thread) {
        InvalidHandle();
        return static_cast<DWORD>(-1);
    }
    DWORD previous = 0;
    {
        std::lock_guard<std::mutex> guard(g_stateLock);
        previous = thread->state->resumed ? 0 : 1;
        thread->state->resumed = true;
    }
    g_stateChanged.notify_all();
    return previous;
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode)
{
    auto thread = std::dynamic_pointer_cast<ThreadObject>(Find(handle));
    if (!thread || !exitCode)
        return InvalidHandle();
    std::lock_guard<std::mutex> guard(g_stateLock);
    *exitCode = thread->state->exitCode;
    return TRUE;
}

DWORD GetCurrentThreadId()
{
    if (t_threadId == 0)
        t_threadId = g_nextThreadId.fetch_add(1);
    return t_threadId;
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

int OpenKernelHandleCount()
{
    HandleTable& table = Handles();
    std::lock_guard<std::mutex> guard(table.lock);
    return static_cast<int>(table.objects.size());
}
