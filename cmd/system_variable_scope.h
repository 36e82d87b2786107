// Sets a host system variable for the length of a scope and gives it back
// its value at the end, on every way out: the menu set-up runs host commands
// quietly and must leave the user's CMDECHO and CMDDIA as they were.
#pragma once
#include <acedads.h>

class SystemVariableScope {
public:
    SystemVariableScope(const char* name, short value)
        : m_name(name)
    {
        m_saved = acedGetVar(name, &m_value) == RTNORM;
        resbuf set {};
        set.restype = RTSHORT;
        set.resval.rint = value;
        acedSetVar(name, &set);
    }
    ~SystemVariableScope()
    {
        // A variable that could not be read has no value to restore.
        if (m_saved)
            acedSetVar(m_name, &m_value);
    }
    SystemVariableScope(const SystemVariableScope&) = delete;
    SystemVariableScope& operator=(const SystemVariableScope&) = delete;

private:
    const char* m_name;
    resbuf m_value {};
    bool m_saved = false;
};
