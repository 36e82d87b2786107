// Stand-in for the root of the host's runtime class tree (rxobject.h). The
// module only needs objects it can look up and cast; C++ RTTI does the
// runtime class work here.
#pragma once

class AcRxObject {
public:
    virtual ~AcRxObject() = default;
};
