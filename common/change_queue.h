// The live link's queue of edited cells. The worker thread appends; the main
// thread counts and takes. Each access holds the queue's one lock for its own
// duration only. The module's queue is part of its state (module_state.h).
#pragma once
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
