// The live link's queue of edited cells and the signal that is set while an
// incremental import runs. The worker thread appends; the main thread counts
// and takes. Each access holds the queue's one lock for its own duration only.
#pragma once
#include <windows.h>

#include <deque>
#include <mutex>
#include <optional>
#include <string>

struct CellChange {
    long column = 0;
    long row = 0;
    std::string worksheet;
    std::string workbook;

    bool operator==(const CellChange&) const = default;
};

class ChangeQueue {
public:
    void Append(CellChange change);
    std::size_t Count() const;
    bool Empty() const { return Count() == 0; }
    // Removes and returns the newest change; empty when there is none.
    std::optional<CellChange> TakeNewest();
    void Clear();

private:
    mutable std::mutex m_lock;
    std::deque<CellChange> m_changes;
};

ChangeQueue& TheChangeQueue();

// Manual-reset signal, set while an incremental import runs; created at
// initialisation, closed at unload (null outside that span).
HANDLE& ImportRunning();

// The one-second timer callback: asks the current document to run the
// incremental import when changes wait and nothing else runs.
void CALLBACK ImportTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
