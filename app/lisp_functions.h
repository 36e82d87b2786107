// The module's LISP functions: each is defined in every document the host
// loads; an entry's index is its function code.
#pragma once
#include <cstddef>

struct LispFunctionEntry {
    const char* name;
    int (*function)();
    bool registerForInvocation;
};

extern const LispFunctionEntry LispFunctionTable[];
extern const std::size_t LispFunctionCount;
