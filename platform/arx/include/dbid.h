// Stand-in for the host's object ids (dbid.h). An id names one object of one
// database for the database's lifetime; it stays valid after the object is
// erased.
#pragma once
#include "dbhandle.h"

#include <cstddef>
#include <functional>

class AcDbStub;
class AcDbDatabase;

class AcDbObjectId {
public:
    AcDbObjectId() = default;
    explicit AcDbObjectId(AcDbStub* stub)
        : m_stub(stub)
    {
    }
    bool isNull() const { return m_stub == nullptr; }
    bool isValid() const { return m_stub != nullptr; }
    bool isErased() const;
    AcDbHandle handle() const;
    void setNull() { m_stub = nullptr; }
    // The id as one integer, as entity names carry it.
    long long asOldId() const { return reinterpret_cast<long long>(m_stub); }
    AcDbObjectId& setFromOldId(long long oldId)
    {
        m_stub = reinterpret_cast<AcDbStub*>(oldId);
        return *this;
    }
    bool operator==(const AcDbObjectId& o) const { return m_stub == o.m_stub; }
    bool operator!=(const AcDbObjectId& o) const { return m_stub != o.m_stub; }
    bool operator<(const AcDbObjectId& o) const { return std::less<AcDbStub*>()(m_stub, o.m_stub); }
    AcDbStub* stub() const { return m_stub; }

private:
    AcDbStub* m_stub = nullptr;
};

template <>
struct std::hash<AcDbObjectId> {
    std::size_t operator()(const AcDbObjectId& id) const noexcept { return std::hash<AcDbStub*>()(id.stub()); }
};
