// Threads, waits and per-thread message queues behave as the Win32 calls do.
#include "support/leak_checked_test.h"

#include <windows.h>
#include <message_windows.h>

#include <atomic>
#include <thread>

namespace {

using ThreadMessages = LeakCheckedTest;

TEST_F(ThreadMessages, QueueExistsOnlyOnceTheThreadAsksForMessages)
{
    HANDLE haveQueue = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE mayRead = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD workerId = 0;
    std::atomic<bool> posted{false};
    std::vector<UINT> seen;
    std::thread worker([&] {
        workerId = GetCurrentThreadId();
        SetEvent(haveQueue); // not yet a queue: only the id is known
        WaitForSingleObject(mayRead, INFINITE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // creates the queue
        posted = true;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            seen.push_back(message.message);
        seen.push_back(message.message);
    });
    WaitForSingleObject(haveQueue, INFINITE);
    // A thread that never called a message function has no queue.
    EXPECT_FALSE(PostThreadMessageA(workerId, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
    SetEvent(mayRead);
    while (!posted)
        std::this_thread::yield();
    EXPECT_TRUE(PostThreadMessageA(workerId, WM_USER + 1, 0, 0));
    EXPECT_TRUE(PostThreadMessageA(workerId, WM_USER + 2, 0, 0));
    EXPECT_TRUE(PostThreadMessageA(workerId, WM_QUIT, 0, 0));
    worker.join();
    // Messages come in the order posted; GetMessage answers 0 for WM_QUIT.
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_QUIT}));
    // The queue ends with its thread.
    EXPECT_FALSE(PostThreadMessageA(workerId, WM_USER, 0, 0));
    CloseHandle(haveQueue);
    CloseHandle(mayRead);
}

LRESULT CountingProcedure(HWND, UINT message, WPARAM wParam, LPARAM)
{
    return message == WM_USER ? static_cast<LRESULT>(wParam) + 1 : 0;
}

TEST_F(ThreadMessages, PeekFiltersAndDispatchReachesOnlyWindows)
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // whatever earlier tests on this thread left behind
    }
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)); // empty queue answers at once
    HWND window = CreateMessageWindow(CountingProcedure);
    ASSERT_NE(window, nullptr);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 7, 0);
    PostMessageA(window, WM_USER, 41, 0);
    // PM_NOREMOVE leaves the message; a window filter skips thread messages.
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_APP));
    ASSERT_TRUE(PeekMessageA(&message, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&message), 42); // the window procedure's answer
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&message), 0); // a thread message has no procedure
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(DestroyWindow(window));
    // A destroyed window takes no more messages.
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    PostQuitMessage(3);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
}

DWORD RecordAndExit(LPVOID parameter)
{
    static_cast<std::atomic<int>*>(parameter)->store(1);
    return 5;
}

TEST_F(ThreadMessages, SuspendedThreadRunsAfterResumeAndSignalsItsEnd)
{
    std::atomic<int> ran{0};
    HANDLE never = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, RecordAndExit, &ran, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    // A suspended thread does not run and is not signalled.
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    EXPECT_EQ(ran.load(), 0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(ResumeThread(thread), 1u);
    // Waiting for any of several objects names the one that was signalled.
    HANDLE both[2] = {never, thread};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(ran.load(), 1);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 5u);
    // An ended thread stays signalled for every later wait.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_FAILED) << "waiting for all is not offered";
    CloseHandle(thread);
    CloseHandle(never);
}

TEST_F(ThreadMessages, AutoResetEventReleasesOneWaiter)
{
    HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT); // cleared by the wait that it released
    CloseHandle(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED); // a closed handle is invalid
}

} // namespace
