// Stand-in for the host's object id array (dbidar.h, AcArray<AcDbObjectId>).
#pragma once
#include "dbid.h"

#include <algorithm>
#include <vector>

class AcDbObjectIdArray {
public:
    int length() const { return static_cast<int>(m_ids.size()); }
    int logicalLength() const { return length(); }
    bool isEmpty() const { return m_ids.empty(); }
    const AcDbObjectId& at(int i) const { return m_ids.at(static_cast<std::size_t>(i)); }
    AcDbObjectId& at(int i) { return m_ids.at(static_cast<std::size_t>(i)); }
    const AcDbObjectId& operator[](int i) const { return m_ids[static_cast<std::size_t>(i)]; }
    AcDbObjectId& operator[](int i) { return m_ids[static_cast<std::size_t>(i)]; }
    AcDbObjectIdArray& append(const AcDbObjectId& id)
    {
        m_ids.push_back(id);
        return *this;
    }
    // Later entries move up by one.
    AcDbObjectIdArray& removeAt(int i)
    {
        m_ids.erase(m_ids.begin() + i);
        return *this;
    }
    AcDbObjectIdArray& setLogicalLength(int n)
    {
        m_ids.resize(static_cast<std::size_t>(n));
        return *this;
    }
    bool contains(const AcDbObjectId& id, int start = 0) const
    {
        return std::find(m_ids.begin() + start, m_ids.end(), id) != m_ids.end();
    }
    bool find(const AcDbObjectId& id, int& index, int start = 0) const
    {
        auto it = std::find(m_ids.begin() + start, m_ids.end(), id);
        if (it == m_ids.end())
            return false;
        index = static_cast<int>(it - m_ids.begin());
        return true;
    }
    void removeAll() { m_ids.clear(); }
    auto begin() const { return m_ids.begin(); }
    auto end() const { return m_ids.end(); }

private:
    std::vector<AcDbObjectId> m_ids;
};
