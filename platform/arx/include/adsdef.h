// Stand-in for adsdef.h: the ADS value types (entity and selection-set
// names, result buffers).
#pragma once
#include <cstdint>

using ads_real = double;
using ads_point = ads_real[3];
using ads_name = std::intptr_t[2];

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char* rstring;
    std::intptr_t rlname[2];
    long rlong;
};

// One item of a list such as a selection filter: `restype` is a DXF group
// code (0 for the entity type) or a result type.
struct resbuf {
    resbuf* rbnext;
    short restype;
    ads_u_val resval;
};
