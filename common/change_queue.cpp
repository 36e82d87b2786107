#include "common/change_queue.h"

void ChangeQueue::Append(CellChange change)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_changes.push_back(std::move(change));
}

std::size_t ChangeQueue::Count() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_changes.size();
}

std::optional<CellChange> ChangeQueue::TakeNewest()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_changes.empty())
        return std::nullopt;
    CellChange change = std::move(m_changes.back());
    m_changes.pop_back();
    return change;
}

void ChangeQueue::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_changes.clear();
}
