// Stand-in for dbobjptr.h: holders that open a database object and close it
// when they go out of scope, on every path.
#pragma once
#include "dbents.h"
#include "dbmain.h"
#include "dbsymtb.h"

template <class T>
class AcDbObjectPointer {
public:
    AcDbObjectPointer() = default;
    AcDbObjectPointer(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false)
    {
        open(id, mode, openErased);
    }
    ~AcDbObjectPointer() { close(); }
    AcDbObjectPointer(const AcDbObjectPointer&) = delete;
    AcDbObjectPointer& operator=(const AcDbObjectPointer&) = delete;

    Acad::ErrorStatus open(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false)
    {
        close();
        m_status = acdbOpenObject(m_object, id, mode, openErased);
        return m_status;
    }
    // Takes over an object the caller opened.
    Acad::ErrorStatus acquire(T*& object)
    {
        close();
        m_object = object;
        object = nullptr;
        m_status = m_object ? Acad::eOk : Acad::eNullObjectPointer;
        return m_status;
    }
    // Gives up the object without closing it.
    Acad::ErrorStatus release(T*& object)
    {
        object = m_object;
        m_object = nullptr;
        m_status = Acad::eNullObjectPointer;
        return Acad::eOk;
    }
    Acad::ErrorStatus close()
    {
        if (!m_object)
            return Acad::eNullObjectPointer;
        Acad::ErrorStatus es = m_object->close();
        m_object = nullptr;
        m_status = Acad::eNullObjectPointer;
        return es;
    }
    Acad::ErrorStatus openStatus() const { return m_status; }
    T* object() const { return m_object; }
    T* operator->() const { return m_object; }
    operator T*() const { return m_object; }

private:
    T* m_object = nullptr;
    Acad::ErrorStatus m_status = Acad::eNullObjectPointer;
};

using AcDbEntityPointer = AcDbObjectPointer<AcDbEntity>;
using AcDbBlockReferencePointer = AcDbObjectPointer<AcDbBlockReference>;
using AcDbBlockTableRecordPointer = AcDbObjectPointer<AcDbBlockTableRecord>;
