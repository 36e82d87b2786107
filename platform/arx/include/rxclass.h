// Stand-in for the host's runtime class descriptions (rxclass.h): each
// database class has one AcRxClass naming it and its parent, so that
// isKindOf(desc()) and cast() work as the module expects.
#pragma once
#include "rxobject.h"

class AcRxClass {
public:
    AcRxClass(const char* name, const AcRxClass* parent)
        : m_name(name)
        , m_parent(parent)
    {
    }
    const char* name() const { return m_name; }
    const AcRxClass* myParent() const { return m_parent; }
    bool isDerivedFrom(const AcRxClass* other) const
    {
        for (const AcRxClass* c = this; c; c = c->m_parent)
            if (c == other)
                return true;
        return false;
    }

private:
    const char* m_name;
    const AcRxClass* m_parent;
};

// Declares desc(), cast() and isA() the way the host's headers do.
#define GW_DECLARE_MEMBERS(CLASS)                                                                  \
    static AcRxClass* desc();                                                                      \
    static CLASS* cast(const AcRxObject* object)                                                   \
    {                                                                                              \
        return dynamic_cast<CLASS*>(const_cast<AcRxObject*>(object));                              \
    }                                                                                              \
    AcRxClass* isA() const override { return desc(); }

#define GW_DEFINE_MEMBERS(CLASS, PARENT)                                                           \
    AcRxClass* CLASS::desc()                                                                       \
    {                                                                                              \
        static AcRxClass c(#CLASS, PARENT::desc());                                                \
        return &c;                                                                                 \
    }
